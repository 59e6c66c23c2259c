#include "in_place_editor.h"

#include <QKeyEvent>
#include <QTextBlock>

namespace qx {

InPlaceEditor::InPlaceEditor(QWidget* parent) : QPlainTextEdit(parent) {
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    document()->setDocumentMargin(0);
    hide();
    connect(this, &QPlainTextEdit::textChanged, this, &InPlaceEditor::limitAndWrap);
}

void InPlaceEditor::limitAndWrap() {
    if (m_adjusting) {
        return;
    }
    m_adjusting = true;
    QString text = toPlainText();
    int caret = textCursor().position();
    if (m_multiLine && rewrap) {
        // Keep the caret on the same character across the new line breaks.
        const QString before = text.left(caret);
        int kept = 0;
        for (const QChar c : before) {
            kept += c == QLatin1Char('\n') ? 0 : 1;
        }
        const QString wrapped = rewrap(QString(text).remove(QLatin1Char('\n')));
        if (wrapped != text) {
            text = wrapped;
            caret = 0;
            for (int seen = 0; caret < text.size() && seen < kept; ++caret) {
                seen += text[caret] == QLatin1Char('\n') ? 0 : 1;
            }
            setPlainText(text);
        }
    }
    if (text.size() > kMaxLength) {
        text.truncate(kMaxLength);
        setPlainText(text);
        caret = std::min<int>(caret, kMaxLength);
    }
    QTextCursor cursor = textCursor();
    if (cursor.position() != caret) {
        cursor.setPosition(std::min<int>(caret, static_cast<int>(toPlainText().size())));
        setTextCursor(cursor);
    }
    m_adjusting = false;
}

void InPlaceEditor::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit commitRequested();
        return;
    case Qt::Key_Escape:
        emit cancelRequested();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (!m_multiLine) {
            emit commitAndKey(event->key(), event->modifiers());
            return;
        }
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        emit commitAndKey(event->key(), event->modifiers());
        return;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        if (m_multiLine && !textCursor().hasSelection()) {
            // Line breaks are the wrap's own: erasing at a line's edge takes the character
            // beyond the break.
            QTextCursor cursor = textCursor();
            const bool back = event->key() == Qt::Key_Backspace;
            if (back ? (cursor.atBlockStart() && !cursor.atStart())
                     : (cursor.atBlockEnd() && !cursor.atEnd())) {
                cursor.movePosition(back ? QTextCursor::PreviousCharacter
                                         : QTextCursor::NextCharacter);
                setTextCursor(cursor);
            }
        }
        break;
    default:
        break;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.front().isPrint() &&
        toPlainText().size() - textCursor().selectedText().size() >= kMaxLength) {
        return; // full
    }
    QPlainTextEdit::keyPressEvent(event);
}

void InPlaceEditor::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    // Switching to another window keeps the entry open, as it was typed; every command
    // commits it before it touches the document.
    if (isVisible() && event->reason() != Qt::ActiveWindowFocusReason) {
        emit focusLost();
    }
}

} // namespace qx
