#include "app/code_page_text.h"
#include "app/qt_user_prompt.h"

#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <vector>

using namespace qx;

class UserPromptTest : public QObject {
    Q_OBJECT

    // Runs `act` on the message box once it is up.
    static void whenBoxShows(std::function<void(QMessageBox&)> act) {
        QTimer::singleShot(0, [act] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            act(*box);
        });
    }

private slots:
    void showsTextsOfTheJapaneseTableAndAnswersTheButtonClicked() {
        QWidget owner;
        owner.show();
        QtUserPrompt prompt(CodePageText("Shift_JIS"), &owner);
        QString text;
        QString caption;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QWidget* parent = nullptr;
        whenBoxShows([&](QMessageBox& box) {
            text = box.text();
            caption = box.windowTitle();
            icon = box.icon();
            parent = box.parentWidget();
            box.button(QMessageBox::No)->click();
        });
        // "無題" in Shift-JIS.
        const PromptAnswer answer = prompt.ask("\x96\xb3\x91\xe8", "QX-5130", PromptIcon::Question,
                                               PromptButtons::YesNoCancel);
        QCOMPARE(answer, PromptAnswer::No);
        QCOMPARE(text, QString::fromUtf8("無題"));
        QCOMPARE(caption, QStringLiteral("QX-5130"));
        QCOMPARE(icon, QMessageBox::Question);
        QCOMPARE(parent, &owner);
    }

    void escapeCancelsAndAStopIsCritical() {
        QtUserPrompt prompt(CodePageText("windows-1252"));
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString text;
        whenBoxShows([&](QMessageBox& box) {
            icon = box.icon();
            text = box.text();
            QTest::keyClick(&box, Qt::Key_Escape);
        });
        QCOMPARE(prompt.ask("Price \x80 5", "QX-5130", PromptIcon::Stop, PromptButtons::OkCancel),
                 PromptAnswer::Cancel);
        QCOMPARE(icon, QMessageBox::Critical);
        QCOMPARE(text, QString::fromUtf8("Price € 5"));

        whenBoxShows([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
        QCOMPARE(prompt.ask("?", "QX-5130", PromptIcon::Question, PromptButtons::YesNo),
                 PromptAnswer::Yes);
    }

    void aChoiceShowsItsOwnButtonsAndEscapeGivesTheLast() {
        QtUserPrompt prompt(CodePageText("windows-1252"));
        const std::vector<PromptChoice> choices = {{PromptAnswer::Overwrite, "&Overwrite"},
                                                   {PromptAnswer::SaveAs, "Save &As..."},
                                                   {PromptAnswer::Cancel, "Cancel"}};
        QStringList captions;
        whenBoxShows([&](QMessageBox& box) {
            for (QAbstractButton* button : box.buttons()) {
                captions << button->text();
            }
            QCOMPARE(box.defaultButton()->text(), QStringLiteral("&Overwrite"));
            for (QAbstractButton* button : box.buttons()) {
                if (button->text() == QStringLiteral("Save &As...")) {
                    button->click();
                }
            }
        });
        QCOMPARE(prompt.choose("Changed.", "QX-5130", PromptIcon::Warning, choices),
                 PromptAnswer::SaveAs);
        captions.sort();
        QCOMPARE(captions, (QStringList{"&Overwrite", "Cancel", "Save &As..."}));

        whenBoxShows([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
        QCOMPARE(prompt.choose("Changed.", "QX-5130", PromptIcon::Warning, choices),
                 PromptAnswer::Cancel);
    }

    void codePagesRoundTrip() {
        const CodePageText ja("Shift_JIS");
        const std::string bytes = "\x96\xb3\x91\xe8 A\xb1";
        QCOMPARE(ja.fromQString(ja.toQString(bytes)), bytes);
        const CodePageText en("windows-1252");
        QCOMPARE(en.toQString("\x80\xe9"), QString::fromUtf8("€é"));
        QCOMPARE(en.fromQString(QString::fromUtf8("€é")), std::string("\x80\xe9"));
    }
};

QTEST_MAIN(UserPromptTest)
#include "user_prompt_test.moc"
