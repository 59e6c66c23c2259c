#pragma once

#include "sheet_services.h"

#include <QDialog>

class QPushButton;

namespace qx {

class cuiSheet;
class SheetWidget;

// A small dialog that shows one sheet sized to its content, with an OK button at the bottom
// right that closes it (the clone information). OK has the focus, so Enter and Esc close it.
class SheetDialog : public QDialog {
    Q_OBJECT
public:
    SheetDialog(cuiSheet& sheet, const SheetServices& services, const QString& caption,
                QWidget* parent = nullptr);
    ~SheetDialog() override;

    cuiSheet& sheet() { return m_sheet; }
    SheetWidget& sheetWidget() { return *m_widget; }
    QPushButton* okButton() const { return m_ok; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    cuiSheet& m_sheet;
    SheetWidget* m_widget = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace qx
