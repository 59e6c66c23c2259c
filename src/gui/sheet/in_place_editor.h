#pragma once

#include <QPlainTextEdit>

#include <functional>

namespace qx {

// The borderless editor laid over a cell: no word wrap, at most 1024 characters. Multi-line
// editors (for `=` cells) re-wrap their text as it is typed.
class InPlaceEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kMaxLength = 1024;

    explicit InPlaceEditor(QWidget* parent);

    void setMultiLine(bool on) { m_multiLine = on; }
    bool multiLine() const { return m_multiLine; }
    // Re-wraps a multi-line text to a width; returns the wrapped text.
    std::function<QString(const QString&)> rewrap;

signals:
    void commitRequested();
    void cancelRequested();
    // Up or Down (single-line) or Page Up / Page Down: commit, then the grid moves.
    void commitAndKey(int key, Qt::KeyboardModifiers modifiers);
    void focusLost();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void limitAndWrap();
    bool m_multiLine = false;
    bool m_adjusting = false;
};

} // namespace qx
