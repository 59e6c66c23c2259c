#pragma once

#include "base/cell_capsule.h"
#include "base/event_manager.h"
#include "sheet/cell_editors.h"
#include "sheet_services.h"

#include <QFrame>

#include <functional>

class QLineEdit;
class QPushButton;

namespace qx {

// The masked entry of a date, time, latitude or longitude: a small popup under the cell with
// a masked text box, OK (enabled only while the text is valid) and Cancel. OK, or closing it
// any other way than Cancel and Esc, hands the text back to the cell once.
class MaskedEntryPopup : public QFrame, private EvSubscriber {
    Q_OBJECT
public:
    MaskedEntryPopup(const SheetServices& services, const cmcCellCapsule& origin,
                     MaskedEntryKind kind, const std::string& text, std::int32_t typedKey,
                     const cmcFont& dialogFont, const QString& okCaption,
                     const QString& cancelCaption, int buttonWidth, QWidget* owner);
    ~MaskedEntryPopup() override;

    void popup(const ScreenRect& cellOnScreen, const ScreenRect& workArea);
    QLineEdit* edit() const { return m_edit; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    const cmcMaskedEntry& entry() const { return m_entry; }

signals:
    void committed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void onMessage(const EvMessage& message, cmcEvMan& bus) override;
    void validate();
    void commit();
    void cancel();

    SheetServices m_services;
    cmcCellCapsule m_origin;
    cmcMaskedEntry m_entry;
    cmcEvMan* m_bus = nullptr;
    QLineEdit* m_edit = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_done = false;
};

} // namespace qx
