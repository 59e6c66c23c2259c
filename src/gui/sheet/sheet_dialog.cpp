#include "sheet_dialog.h"

#include "app/code_page_text.h"
#include "base/text_lines.h"
#include "sheet/sheet.h"
#include "sheet_look.h"
#include "sheet_widget.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace qx {

SheetDialog::SheetDialog(cuiSheet& sheet, const SheetServices& services, const QString& caption,
                         QWidget* parent)
    : QDialog(parent), m_sheet(sheet) {
    setWindowTitle(caption);
    TextLines& lines = *m_sheet.environment().text;
    cmcFont dialogFont;
    dialogFont.face = m_sheet.parser().defaultFace();
    m_sheet.parser().applyFontSpec(dialogFont, lines.line("CellModel_BasicDialog", 0));
    setFont(services.look->font(dialogFont));

    auto* column = new QVBoxLayout(this);
    m_widget = new SheetWidget(m_sheet, services, this);
    m_widget->setFixedSize(m_widget->contentSize());
    column->addWidget(m_widget);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_ok = new QPushButton(
        services.look->codec().toQString(lines.line("GI_AppInd_Button_OkCancel", 0)), this);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(m_ok);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);
}

void SheetDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The sheet only shows; a grid with the focus would take Enter and Esc.
    m_ok->setFocus(Qt::OtherFocusReason);
}

SheetDialog::~SheetDialog() {
    delete m_widget; // the grid goes before the sheet it draws
}

} // namespace qx
