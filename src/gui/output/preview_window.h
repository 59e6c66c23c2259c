#pragma once

#include "output/print_dialogs.h"

#include <QDialog>
#include <QPicture>

#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace qx {

// Shows one page picture: fitted to the view, or at its own size when zoomed.
class PreviewPageView : public QWidget {
    Q_OBJECT
public:
    explicit PreviewPageView(QWidget* parent = nullptr) : QWidget(parent) {}
    void setPage(const QPicture* page, bool ownSize);
    const QPicture* page() const { return m_page; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QPicture* m_page = nullptr;
    bool m_ownSize = false;
};

// The pages before they are printed: page through them, zoom, change the font size; "Print"
// closes it with the pages to be printed.
class PreviewWindow : public QDialog {
    Q_OBJECT
public:
    // `rebuild` lays the pages out again at a font size (points) and hands them back.
    using Rebuild = std::function<std::vector<QPicture>(int fontPoints)>;
    PreviewWindow(QWidget* owner, const UiText& text, std::vector<QPicture> pages, int fontPoints,
                  Rebuild rebuild);

    int currentPage() const { return m_current; } // from 0
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    int fontPoints() const { return m_fontPoints; }
    void showPage(int index);
    // Opens the setting dialog; a new font size rebuilds the pages.
    void openSetting();
    // The setting dialog while it is open (for the tests).
    PreviewSettingDialog* settingDialog() const { return m_setting; }

    QPushButton* printButton() const { return m_buttons[0]; }
    QPushButton* settingButton() const { return m_buttons[1]; }
    QPushButton* topButton() const { return m_buttons[2]; }
    QPushButton* previousButton() const { return m_buttons[3]; }
    QPushButton* nextButton() const { return m_buttons[4]; }
    QPushButton* lastButton() const { return m_buttons[5]; }
    QPushButton* zoomButton() const { return m_buttons[6]; }
    QLineEdit* pageBox() const { return m_pageBox; }
    QLabel* statusLabel() const { return m_status; }
    PreviewPageView* pageView() const { return m_view; }

private:
    void setZoom(bool ownSize);

    UiText m_text;
    std::vector<QPicture> m_pages;
    int m_current = 0;
    int m_fontPoints;
    Rebuild m_rebuild;
    QPushButton* m_buttons[7] = {};
    QLineEdit* m_pageBox;
    QLabel* m_pageCount;
    QLabel* m_status;
    QScrollArea* m_scroll;
    PreviewPageView* m_view;
    PreviewSettingDialog* m_setting = nullptr;
};

} // namespace qx
