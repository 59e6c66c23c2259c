#include "initial_setup_dialog.h"

#include "app/initial_setup.h"
#include "app/main_controller.h"
#include "app_icons.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <array>

namespace qx {

TForm2::TForm2(indInitialSetup& setup, MainController& controller, const CodePageText& codec,
               const QFont& font, QWidget* parent)
    : QDialog(parent), m_setup(setup), m_controller(controller), m_codec(codec) {
    setWindowTitle(m_codec.toQString(m_setup.caption()));
    setFont(font);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setDefault(true);
    Button2 = new QPushButton(m_codec.toQString(m_setup.cancelCaption()), this);

    auto* panel1 = new QFrame(this);
    panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* panel2 = new QFrame(panel1);
    Memo1 = new QPlainTextEdit(panel2);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setFixedSize(360, 240);
    QStringList memo;
    for (const std::string& line : m_setup.memoLines()) {
        memo << m_codec.toQString(line);
    }
    Memo1->setPlainText(memo.join(QLatin1Char('\n')));
    auto* panel2Layout = new QVBoxLayout(panel2);
    panel2Layout->setContentsMargins(0, 0, 0, 0);
    panel2Layout->addWidget(Memo1);

    auto* panel3 = new QFrame(panel1);
    Image1 = new QLabel(panel3);
    Image1->setPixmap(AppIcons::application().pixmap(64, 64));
    Image1->setAlignment(Qt::AlignCenter);
    // Each number shows the device it opens on this system.
    const auto numbered = [&](int n) {
        return QStringLiteral("COM %1  (%2)")
            .arg(n)
            .arg(QString::fromStdString(m_controller.portDevice(n)));
    };
    COM1 = new QRadioButton(numbered(1), panel3);
    COM2 = new QRadioButton(numbered(2), panel3);
    COM3 = new QRadioButton(numbered(3), panel3);
    COM4 = new QRadioButton(numbered(4), panel3);
    COMMore = new QRadioButton(QStringLiteral("More..."), panel3);
    Edit1 = new QLineEdit(panel3);
    // Wide enough for a device path as well as a number.
    Edit1->setMinimumWidth(QFontMetrics(font).horizontalAdvance(QString(36, QLatin1Char('x'))));
    Refresh = new QPushButton(
        m_codec.toQString(m_controller.texts().line("GI_AppInd_Opt_ComSel_Ports", 0)), panel3);
    m_group = new QButtonGroup(this);
    for (QRadioButton* radio : {COM1, COM2, COM3, COM4, COMMore}) {
        m_group->addButton(radio);
    }
    auto* found = new QWidget(panel3);
    m_foundLayout = new QVBoxLayout(found);
    m_foundLayout->setContentsMargins(0, 0, 0, 0);
    auto* panel3Layout = new QVBoxLayout(panel3);
    panel3Layout->setContentsMargins(8, 0, 0, 0);
    panel3Layout->addWidget(Image1);
    panel3Layout->addSpacing(8);
    panel3Layout->addWidget(found);
    for (QRadioButton* radio : {COM1, COM2, COM3, COM4, COMMore}) {
        panel3Layout->addWidget(radio);
    }
    panel3Layout->addWidget(Edit1);
    panel3Layout->addWidget(Refresh, 0, Qt::AlignLeft);
    panel3Layout->addStretch();

    auto* panel1Layout = new QHBoxLayout(panel1);
    panel1Layout->setContentsMargins(8, 8, 8, 8);
    panel1Layout->addWidget(panel2);
    panel1Layout->addWidget(panel3);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(panel1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Memo1);
    setTabOrder(Memo1, COM1);
    setTabOrder(COMMore, Edit1);

    const indInitialSetup::PortChoice choice = m_setup.initialChoice();
    showFoundPorts();
    Edit1->clear();
    switch (choice.radio) {
    case 2:
        COM2->setChecked(true);
        break;
    case 3:
        COM3->setChecked(true);
        break;
    case 4:
        COM4->setChecked(true);
        break;
    case indInitialSetup::kDevice:
        for (std::size_t i = 0; i < m_foundPaths.size(); ++i) {
            FoundPorts[i]->setChecked(m_foundPaths[i] == choice.device);
        }
        break;
    default:
        COM1->setChecked(true);
        break;
    }
    connect(Edit1, &QLineEdit::textChanged, this, &TForm2::Edit1Change);
    connect(Refresh, &QPushButton::clicked, this, [this] {
        m_controller.findPorts();
        showFoundPorts();
    });
    // A port above 4 goes into the edit box, which checks "More..." by itself.
    Edit1->setText(m_codec.toQString(choice.edit));
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void TForm2::showFoundPorts() {
    std::string chosen;
    for (std::size_t i = 0; i < FoundPorts.size(); ++i) {
        if (FoundPorts[i]->isChecked()) {
            chosen = m_foundPaths[i];
        }
        m_group->removeButton(FoundPorts[i]);
        delete FoundPorts[i];
    }
    FoundPorts.clear();
    m_foundPaths.clear();
    for (const SerialPortInfo& port : m_controller.foundPorts()) {
        auto* radio = new QRadioButton(QString::fromStdString(port.description),
                                       m_foundLayout->parentWidget());
        radio->setToolTip(QString::fromStdString(port.path()));
        m_group->addButton(radio);
        m_foundLayout->addWidget(radio);
        FoundPorts.push_back(radio);
        m_foundPaths.push_back(port.path());
        if (port.path() == chosen) {
            radio->setChecked(true);
        }
    }
    if (!chosen.empty() && m_group->checkedButton() == nullptr) {
        COM1->setChecked(true);
    }
    // The chosen port's widget order: after the image, before COM 1.
    if (!FoundPorts.empty()) {
        setTabOrder(Memo1, FoundPorts.front());
        for (std::size_t i = 1; i < FoundPorts.size(); ++i) {
            setTabOrder(FoundPorts[i - 1], FoundPorts[i]);
        }
        setTabOrder(FoundPorts.back(), COM1);
    }
}

void TForm2::Edit1Change() {
    COMMore->setChecked(true);
}

void TForm2::Button1Click() {
    indInitialSetup::PortChoice choice;
    const std::array<QRadioButton*, 4> ports{COM1, COM2, COM3, COM4};
    choice.radio = indInitialSetup::kMore;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        if (ports[i]->isChecked()) {
            choice.radio = static_cast<int>(i) + 1;
        }
    }
    for (std::size_t i = 0; i < FoundPorts.size(); ++i) {
        if (FoundPorts[i]->isChecked()) {
            choice.radio = indInitialSetup::kDevice;
            choice.device = m_foundPaths[i];
        }
    }
    choice.edit = m_codec.fromQString(Edit1->text());
    m_setup.ok(choice);
}

void TForm2::Button2Click() {
    m_setup.cancel();
}

void TForm2::reject() {
    // Escape answers like Cancel.
    Button2Click();
}

void TForm2::closeFromSession() {
    m_sessionClosing = true;
    close();
}

void TForm2::closeEvent(QCloseEvent* event) {
    if (!m_sessionClosing) {
        // The title bar's close button: the session ends here, and the main window appears.
        m_sessionClosing = true;
        m_setup.close();
    }
    // Not QDialog's: that would answer with Cancel.
    event->accept();
}

} // namespace qx
