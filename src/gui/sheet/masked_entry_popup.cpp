#include "masked_entry_popup.h"

#include "app/code_page_text.h"
#include "radio/cell_link_names.h"
#include "sheet_look.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace qx {

namespace {

// The entry's mask in the line edit's notation; fixed characters are escaped.
QString qtMask(const cmcMaskedEntry& entry, const CodePageText& codec) {
    QString mask;
    for (const cmcMaskedEntry::Position& p : entry.positions()) {
        switch (p.slot) {
        case cmcMaskedEntry::Slot::Digit:
            mask += QLatin1Char('0');
            break;
        case cmcMaskedEntry::Slot::Letter:
            mask += QStringLiteral(">a<");
            break;
        default:
            mask += QLatin1Char('\\') + codec.toQString(std::string(1, p.literal));
            break;
        }
    }
    return mask + QStringLiteral(";_");
}

char degreeSign(const CodePageText& codec) {
    const std::string bytes = codec.fromQString(QStringLiteral("°"));
    if (bytes.size() == 1) {
        return bytes.front();
    }
    return static_cast<char>(0xDF); // the half-width degree-like sign of Shift-JIS
}

} // namespace

MaskedEntryPopup::MaskedEntryPopup(const SheetServices& services, const cmcCellCapsule& origin,
                                   MaskedEntryKind kind, const std::string& text,
                                   std::int32_t typedKey, const cmcFont& dialogFont,
                                   const QString& okCaption, const QString& cancelCaption,
                                   int buttonWidth, QWidget* owner)
    : QFrame(owner, Qt::Popup | Qt::FramelessWindowHint), m_services(services), m_origin(origin),
      m_entry(kind, services.japaneseSystem, degreeSign(services.look->codec())),
      m_bus(services.environment.bus) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    const CodePageText& codec = services.look->codec();
    setFont(services.look->font(dialogFont));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 4, 4, 4);
    row->setSpacing(4);
    m_edit = new QLineEdit(this);
    m_edit->setInputMask(qtMask(m_entry, codec));
    int caret = 0;
    m_edit->setText(codec.toQString(m_entry.initialText(text, typedKey, caret)));
    m_edit->setCursorPosition(caret);
    m_edit->installEventFilter(this);
    m_edit->setMinimumWidth(m_edit->fontMetrics().horizontalAdvance(m_edit->displayText()) + 16);
    row->addWidget(m_edit);
    m_ok = new QPushButton(okCaption, this);
    m_cancel = new QPushButton(cancelCaption, this);
    for (QPushButton* b : {m_ok, m_cancel}) {
        b->setFixedWidth(buttonWidth);
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    connect(m_edit, &QLineEdit::textChanged, this, &MaskedEntryPopup::validate);
    connect(m_ok, &QPushButton::clicked, this, &MaskedEntryPopup::commit);
    connect(m_cancel, &QPushButton::clicked, this, &MaskedEntryPopup::cancel);
    validate();
    if (m_bus != nullptr) {
        m_bus->subscribe(this);
    }
}

MaskedEntryPopup::~MaskedEntryPopup() {
    if (m_bus != nullptr) {
        m_bus->unsubscribe(this);
    }
}

void MaskedEntryPopup::popup(const ScreenRect& cellOnScreen, const ScreenRect& workArea) {
    adjustSize();
    const PopupPlacement place = placePopup(cellOnScreen, width(), height(), workArea);
    setGeometry(place.bounds.left, place.bounds.top, place.bounds.width, place.bounds.height);
    show();
    m_edit->setFocus();
}

void MaskedEntryPopup::validate() {
    m_ok->setEnabled(m_entry.valid(m_services.look->codec().fromQString(m_edit->displayText())));
}

void MaskedEntryPopup::commit() {
    if (m_done) {
        return;
    }
    m_done = true;
    cmcCellObj item;
    item.link = Flex0;
    item.text = m_entry.committedText(m_services.look->codec().fromQString(m_edit->displayText()));
    cmcCellCapsule pick = m_origin;
    pick.operation = kOpPick;
    pick.command = 0;
    pick.picked = &item;
    if (m_services.dispatch) {
        m_services.dispatch(pick);
    }
    emit committed();
    close();
}

void MaskedEntryPopup::cancel() {
    m_done = true;
    close();
}

bool MaskedEntryPopup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int k = key->key();
        const int cursor = m_edit->cursorPosition();
        switch (k) {
        case Qt::Key_Escape:
            cancel();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_ok->isEnabled()) {
                commit();
            }
            return true;
        case Qt::Key_Home:
            m_edit->setCursorPosition(m_entry.firstPosition());
            return true;
        case Qt::Key_End:
            m_edit->setCursorPosition(m_entry.endPosition());
            return true;
        case Qt::Key_Left:
            m_edit->setCursorPosition(m_entry.clampCaret(cursor - 1));
            return true;
        case Qt::Key_Right:
            m_edit->setCursorPosition(m_entry.clampCaret(cursor + 1));
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
            return false;
        default:
            break;
        }
        const QString typed = key->text();
        if (typed.size() != 1 || !cmcMaskedEntry::acceptsKey(typed.front().toLatin1())) {
            return true; // only digits and the hemisphere letters reach the box
        }
        if (cursor < m_entry.firstPosition()) {
            m_edit->setCursorPosition(m_entry.firstPosition());
        }
        return false;
    }
    return QFrame::eventFilter(watched, event);
}

void MaskedEntryPopup::hideEvent(QHideEvent* event) {
    QFrame::hideEvent(event);
    // Closed another way than Cancel or Esc: the entry counts, when it is valid.
    if (!m_done && m_ok->isEnabled()) {
        commit();
    }
    m_done = true;
    close();
}

void MaskedEntryPopup::onMessage(const EvMessage& message, cmcEvMan& /*bus*/) {
    if (message.id == MessageId::DocumentWillChange) {
        if (m_ok->isEnabled()) {
            commit();
        } else {
            cancel();
        }
    }
}

} // namespace qx
