#include "app/main_controller.h"
#include "app/radio_backups.h"
#include "headless_editor.h"
#include "radio/cell_link_names.h"
#include "radio/image_map.h"
#include "scripted_transceiver.h"
#include "sheet/sheet_script.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace qx {
namespace {

using test::HeadlessEditor;

std::vector<std::string> captions(const cuiItem& parent) {
    std::vector<std::string> out;
    for (const auto& c : parent.children) {
        out.push_back(c->caption);
    }
    return out;
}

std::vector<std::string> visibleCaptions(const cuiItem& parent) {
    std::vector<std::string> out;
    for (const auto& c : parent.children) {
        if (c->visible) {
            out.push_back(c->caption);
        }
    }
    return out;
}

TEST(MainMenu, CaptionsShortcutsAndImagesComeFromTheTable) {
    HeadlessEditor editor;
    editor.start();
    const cuiItem& root = editor.controller->mainMenu().root();
    EXPECT_EQ(captions(root), (std::vector<std::string>{"&File", "&Edit", "&View", "COM &Port",
                                                        "&Clone", "&Help"}));
    const cuiItem& file = *root.children[0];
    ASSERT_EQ(file.children.size(), 21U);
    EXPECT_EQ(file.children[0]->caption, "&New");
    EXPECT_EQ(file.children[0]->shortcut, "Ctrl+N");
    EXPECT_EQ(file.children[0]->imageIndex, 0);
    EXPECT_EQ(file.children[1]->shortcut, "Ctrl+O");
    EXPECT_EQ(file.children[2]->shortcut, "Ctrl+S");
    EXPECT_EQ(file.children[3]->shortcut, "");
    EXPECT_EQ(file.children[5]->caption, "&Import Channels...");
    EXPECT_EQ(file.children[6]->caption, "Export &Channels...");
    EXPECT_TRUE(file.children[7]->isSeparator());
    EXPECT_EQ(file.children[7]->cell.link, CL_Menu_File_Export);
    EXPECT_TRUE(file.children[9]->isSeparator());
    EXPECT_EQ(captions(*file.children[10]),
              (std::vector<std::string>{"&Current Sheet...", "&All..."}));
    EXPECT_EQ(file.children[12]->caption, "Radio &Backups...");
    EXPECT_EQ(file.children[20]->caption, "E&xit");
    EXPECT_EQ(file.children[20]->shortcut, "Alt+F4");
    EXPECT_EQ(captions(*root.children[1]), (std::vector<std::string>{"&Undo", "&Redo"}));
    EXPECT_EQ(root.children[1]->children[0]->shortcut, "Ctrl+Z");
    EXPECT_EQ(root.children[1]->children[1]->shortcut, "Ctrl+Y; Ctrl+Shift+Z");
    const cuiItem& fontSize = *root.children[2]->children[0];
    EXPECT_EQ(captions(fontSize),
              (std::vector<std::string>{"&1   60% (Small)", "&2   80%", "&3  100% (Standard)",
                                        "&4  120%", "&5  150% (Big)"}));
    EXPECT_EQ(root.children[5]->children[0]->shortcut, "F1");
    EXPECT_EQ(root.children[3]->children[2]->imageIndex, 5); // COM 3
}

TEST(MainMenu, NestingTakesTheFirstLineAsTopLevelAndStopsAtAShallowerLine) {
    test::TextBlocks blocks(R"(#M_BasicCell
{}
#M_Body
 +One
  +Child
 +Two
+Outside
#End
)");
    cuiMenu menu(blocks, {});
    menu.build("M");
    EXPECT_EQ(captions(menu.root()), (std::vector<std::string>{"One", "Two"}));
    EXPECT_EQ(captions(*menu.root().children[0]), (std::vector<std::string>{"Child"}));
}

TEST(MainMenu, RecentFileItemsShowTheListNumberedWithAmpersandsDoubled) {
    HeadlessEditor editor;
    editor.start();
    cuiMenu& menu = editor.controller->mainMenu();
    const cuiItem& file = *menu.root().children[0];
    EXPECT_EQ(visibleCaptions(file)[15], "Recent File");
    const cuiItem* first = menu.find(CL_Menu_File_Recent, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->visible);
    EXPECT_FALSE(first->enabled);
    for (int i = 1; i < 4; ++i) {
        EXPECT_FALSE(menu.find(CL_Menu_File_Recent, i)->visible) << i;
    }

    editor.env.currentDirectory = "/elsewhere";
    editor.env.recent.putAtHead("/data/R&D.icf");
    editor.env.recent.putAtHead("/elsewhere/A.icf");
    menu.refreshStates();
    EXPECT_EQ(menu.find(CL_Menu_File_Recent, 0)->caption, "&1 A.icf");
    EXPECT_EQ(menu.find(CL_Menu_File_Recent, 1)->caption, "&2 /data/R&&D.icf");
    EXPECT_TRUE(menu.find(CL_Menu_File_Recent, 1)->enabled);
    EXPECT_FALSE(menu.find(CL_Menu_File_Recent, 2)->visible);
}

TEST(MainMenu, AFontSizeItemLeavesExactlyOneCheckedAndRebuildsTheSheet) {
    HeadlessEditor editor;
    editor.start();
    editor.run(60);
    ASSERT_NE(editor.controller->currentSheet(), nullptr);
    cuiMenu& menu = editor.controller->mainMenu();
    EXPECT_TRUE(menu.find(CL_Menu_View_FontSize, 100)->checked);

    editor.controller->menuClicked(*menu.find(CL_Menu_View_FontSize, 60));
    EXPECT_EQ(editor.env.fontSizePercentage, 60);
    EXPECT_TRUE(editor.controller->fontChanged());
    EXPECT_EQ(editor.controller->currentSheet(), nullptr);
    int checkedItems = 0;
    for (const auto& item : menu.root().children[2]->children[0]->children) {
        checkedItems += item->checked ? 1 : 0;
    }
    EXPECT_EQ(checkedItems, 1);
    EXPECT_TRUE(menu.find(CL_Menu_View_FontSize, 60)->checked);

    editor.run(60);
    ASSERT_NE(editor.controller->currentSheet(), nullptr);
    EXPECT_FALSE(editor.controller->fontChanged());
}

TEST(MainMenu, UndoAndRedoTakeBackListOperationsAndEntriesWithTheirCaptions) {
    HeadlessEditor editor;
    editor.start();
    MainController& controller = *editor.controller;
    cuiMenu& menu = controller.mainMenu();
    menu.refreshStates();
    EXPECT_FALSE(menu.find(CL_Menu_Edit_Top, 0)->enabled);
    EXPECT_EQ(menu.find(CL_Menu_Edit_Top, 0)->caption, "&Undo");

    const cmcEeprom start = controller.document().current();
    cuiSheet& sheet = controller.openSheet("[St_ColCut]GI_Sheet_MemoryCH,0,0");
    // The window hands the sheet's requests to the cell links.
    sheet.setDispatcher(
        [&controller](cmcCellCapsule& request) { return controller.dispatch().dispatch(request); });
    cmcSheetScript script(sheet, controller.dispatch(), controller.valueTables());
    ASSERT_EQ(script.enter("CL_Mch_Freq", 5, "146.01"), cmcSheetScript::Outcome::Changed);
    const cmcEeprom entered = controller.document().current();
    // Insert at channel 3 through the popup menu item, as a right click would choose it.
    const auto at = sheet.findCell(CT_Conv, CL_Mch_Freq, 3);
    ASSERT_TRUE(at);
    sheet.select(at->first, at->second);
    cmcCellObj insert;
    insert.link = CL_PMenu_Insert;
    EXPECT_EQ(sheet.activate(0, &insert).result, kResultChanged);
    EXPECT_EQ(editor.views.status[0], " Inserted");
    menu.refreshStates();
    EXPECT_TRUE(menu.find(CL_Menu_Edit_Top, 0)->enabled);
    EXPECT_EQ(menu.find(CL_Menu_Edit_Top, 0)->caption, "&Undo Insert");

    controller.menuClicked(*menu.find(CL_Menu_Edit_Top, 0));
    EXPECT_TRUE(controller.document().current() == entered);
    menu.refreshStates();
    EXPECT_EQ(menu.find(CL_Menu_Edit_Top, 0)->caption, "&Undo Entry");
    EXPECT_EQ(menu.find(CL_Menu_Edit_Top, 1)->caption, "&Redo Insert");
    controller.menuClicked(*menu.find(CL_Menu_Edit_Top, 0));
    EXPECT_TRUE(controller.document().current() == start);
    EXPECT_FALSE(controller.document().isModified());
    controller.menuClicked(*menu.find(CL_Menu_Edit_Top, 1));
    EXPECT_TRUE(controller.document().current() == entered);
    EXPECT_TRUE(controller.document().isModified());
}

TEST(MainMenu, PortItemsStoreThePortAndMoreRefusesNumbersOutOfRange) {
    HeadlessEditor editor;
    editor.start();
    cuiMenu& menu = editor.controller->mainMenu();
    editor.controller->menuClicked(*menu.find(CL_Menu_Port_Com, 3));
    EXPECT_EQ(editor.env.comPort, 3);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(menu.find(CL_Menu_Port_Com, i)->checked, i == 3) << i;
    }
    EXPECT_FALSE(menu.find(CL_Menu_Port_Usb)->checked);

    editor.views.portAnswers = {std::string("257"), std::string(" 12 ")};
    editor.controller->menuClicked(*menu.find(CL_Menu_Port_Usb));
    ASSERT_EQ(editor.prompt.asked.size(), 1U);
    EXPECT_EQ(editor.prompt.asked[0].text, "The numerical value is outside the range.");
    EXPECT_EQ(editor.prompt.asked[0].icon, PromptIcon::Error);
    EXPECT_EQ(editor.views.portDialogTexts, (std::vector<std::string>{"3", "257"}));
    EXPECT_EQ(editor.env.comPort, 12);
    EXPECT_TRUE(menu.find(CL_Menu_Port_Usb)->checked);
    EXPECT_FALSE(menu.find(CL_Menu_Port_Com, 3)->checked);

    editor.views.portAnswers = {std::nullopt};
    editor.controller->menuClicked(*menu.find(CL_Menu_Port_Usb));
    EXPECT_EQ(editor.env.comPort, 12);

    editor.controller->menuClicked(*menu.find(CL_Menu_Com_Speed, 1));
    EXPECT_EQ(editor.env.comSpeedHigh, 1);
    EXPECT_TRUE(menu.find(CL_Menu_Com_Speed, 1)->checked);
    EXPECT_FALSE(menu.find(CL_Menu_Com_Speed, 0)->checked);
}

TEST(MainMenu, ExportIsOfferedOnlyWithAUsableDigitalUnit) {
    struct Case {
        bool digitalUnit;
        bool dvInhibit;
        bool offered;
    };
    for (const Case c :
         {Case{true, false, true}, Case{true, true, false}, Case{false, false, false}}) {
        HeadlessEditor editor([&](indEnviron& env) {
            env.digitalUnit = c.digitalUnit;
            env.dvInhibit = c.dvInhibit;
        });
        editor.start();
        cuiMenu& menu = editor.controller->mainMenu();
        const cuiItem& file = *menu.root().children[0];
        EXPECT_EQ(file.children[7]->visible, c.offered) << c.digitalUnit << c.dvInhibit;
        EXPECT_EQ(file.children[8]->visible, c.offered);
        EXPECT_EQ(file.children[8]->enabled, c.offered);
        // The channel lists need no digital unit.
        EXPECT_TRUE(file.children[5]->visible && file.children[5]->enabled);
    }
}

TEST(MainMenu, ToolbarToggleAndAboutReachTheWindows) {
    HeadlessEditor editor;
    editor.start();
    EXPECT_TRUE(editor.views.toolBarVisible);
    cuiMenu& menu = editor.controller->mainMenu();
    EXPECT_TRUE(menu.find(CL_Menu_View_ToolBar)->checked);
    editor.controller->menuClicked(*menu.find(CL_Menu_View_ToolBar));
    EXPECT_EQ(editor.env.toolbarVisible, 0);
    EXPECT_FALSE(editor.views.toolBarVisible);
    EXPECT_FALSE(menu.find(CL_Menu_View_ToolBar)->checked);

    editor.controller->menuClicked(*menu.find(CL_Help_About));
    EXPECT_EQ(editor.views.about,
              (std::vector<std::string>{"About QX-5130", "QX-5130 Revision 1.2", "OK"}));
    editor.controller->menuClicked(*menu.find(CL_Menu_File_Exit));
    EXPECT_EQ(editor.views.closeRequests, 1);
}

TEST(ToolBar, ButtonsGapsAndClicksFollowTheBody) {
    HeadlessEditor editor;
    editor.start();
    const auto& buttons = editor.controller->toolBar().buttons();
    ASSERT_EQ(buttons.size(), 17U);
    EXPECT_EQ(buttons[0]->caption, "New");
    EXPECT_EQ(buttons[2]->imageIndex, 2);
    EXPECT_TRUE(buttons[3]->isSeparator());
    EXPECT_EQ(buttons[6]->caption, "Clone Info.");
    EXPECT_EQ(buttons[6]->imageIndex, 9);
    EXPECT_TRUE(std::all_of(buttons.begin() + 7, buttons.end(),
                            [](const auto& b) { return b->isSeparator(); }));
    EXPECT_TRUE(editor.controller->toolBar().wraps());
}

std::vector<std::string> treeCaptions(cuiTree& tree) {
    std::vector<std::string> out;
    for (const cuiItem* n : tree.nodes()) {
        out.push_back(n->caption);
    }
    return out;
}

TEST(Tree, OptionalNodesFollowTheTransceiverVariant) {
    HeadlessEditor editor([](indEnviron& env) { env.digitalUnit = false; });
    editor.start();
    cuiTree& tree = *editor.controller->tree();
    const auto names = treeCaptions(tree);
    for (const char* gone : {"GPS Memory", "Message", "Call Sign", "Digital Setting"}) {
        EXPECT_EQ(std::count(names.begin(), names.end(), gone), 0) << gone;
    }
    EXPECT_EQ(std::count(names.begin(), names.end(), "Common Setting"), 3);
    EXPECT_EQ(std::count(names.begin(), names.end(), "PGR Memory"), 1);
    EXPECT_TRUE(tree.root().children[0]->expanded);
    EXPECT_EQ(tree.selected(), tree.node(0));

    HeadlessEditor full([](indEnviron& env) { env.pagerInhibit = true; });
    full.start();
    const auto all = treeCaptions(*full.controller->tree());
    EXPECT_EQ(std::count(all.begin(), all.end(), "Digital Setting"), 3);
    EXPECT_EQ(std::count(all.begin(), all.end(), "GPS Memory"), 1);
    EXPECT_EQ(std::count(all.begin(), all.end(), "PGR Memory"), 0);
}

TEST(Tree, BankNodesTakeTheBankNames) {
    HeadlessEditor editor;
    cmcEeprom& image = editor.controller->document().current();
    editor.start();
    const char name[] = "REPEATRS";
    for (int i = 0; i < 8; ++i) {
        image.setByte(imagemap::kBankNames + 8 * 2 + i, static_cast<std::uint8_t>(name[i]));
    }
    editor.bus.send(MessageId::AdjustTree);
    editor.run(20);
    cuiTree& tree = *editor.controller->tree();
    EXPECT_NE(tree.findByCaption("C: REPEATRS"), nullptr);
    EXPECT_EQ(tree.findByCallString("[St_CCBank]GI_Sheet_BankCH,11")->caption, "C: REPEATRS");
    EXPECT_EQ(tree.findByCallString("[St_ChGps]GI_Sheet_GPS_BankCH,38")->caption.substr(0, 2),
              "C:");
}

TEST(Tree, TwoSelectionsWithinTheChangeDelayBuildOnlyTheSecondSheet) {
    HeadlessEditor editor;
    editor.start();
    editor.run(60);
    ASSERT_EQ(editor.views.opened, (std::vector<std::string>{"GI_Sheet_TopPage"}));
    cuiTree& tree = *editor.controller->tree();
    EXPECT_EQ(tree.changeDelayMs(), 200);
    editor.controller->treeSelected(tree.findByCaption("0 -  99"));
    editor.run(100);
    editor.controller->treeSelected(tree.findByCaption("100 - 199"));
    editor.run(190);
    EXPECT_EQ(editor.views.opened.size(), 1U);
    editor.run(20);
    EXPECT_EQ(editor.views.opened,
              (std::vector<std::string>{"GI_Sheet_TopPage", "[St_ColCut]GI_Sheet_MemoryCH,1,100"}));
    // The node of the sheet shown does not build it again.
    editor.controller->treeSelected(tree.findByCaption("100 - 199"));
    editor.run(300);
    EXPECT_EQ(editor.views.opened.size(), 2U);
}

TEST(Tree, ADvChannelWithoutTheDigitalUnitMarksItsNodeWithTheErrorImage) {
    HeadlessEditor editor;
    editor.start();
    cuiSheet& sheet = editor.controller->openSheet("[St_ColCut]GI_Sheet_MemoryCH,1,100");
    cmcSheetScript script(sheet, editor.controller->dispatch(), editor.controller->valueTables());
    ASSERT_EQ(script.enter("CL_Mch_Freq", 105, "145.0"), cmcSheetScript::Outcome::Changed);
    ASSERT_EQ(script.enter("CL_Mch_Mode", 105, "DV"), cmcSheetScript::Outcome::Changed);
    EXPECT_TRUE(editor.controller->recheckPending());

    FeatureFlags noUnit = editor.controller->features();
    noUnit.digitalUnit = false;
    editor.controller->setFeatures(noUnit);
    editor.controller->applyTreeMarks();
    cuiTree& tree = *editor.controller->tree();
    const cuiItem* block = tree.findByCaption("100 - 199");
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->mark, ItemMark::Error);
    EXPECT_EQ(block->shownImageIndex(), cuiItem::kTreeError);
    EXPECT_EQ(tree.findByCaption("0 -  99")->mark, ItemMark::None);
    // Collapsed, "Memory CH" carries the mark of what it hides; expanded, only the block does.
    cuiItem* memory = tree.findByCaption("Memory CH");
    editor.controller->treeExpanded(*memory, false);
    EXPECT_EQ(memory->mark, ItemMark::Error);
    editor.controller->treeExpanded(*memory, true);
    EXPECT_EQ(memory->mark, ItemMark::None);
}

TEST(Tree, TheDeferredRecheckRunsOnceTheImageHasRested) {
    HeadlessEditor editor;
    editor.start();
    editor.run(60);
    cuiSheet& sheet = editor.controller->openSheet("[St_ColCut]GI_Sheet_MemoryCH,0,0");
    cmcSheetScript script(sheet, editor.controller->dispatch(), editor.controller->valueTables());
    const int before = editor.views.treeItemChanges;
    ASSERT_EQ(script.enter("CL_Mch_Freq", 3, "1300.0"), cmcSheetScript::Outcome::Changed);
    editor.run(300);
    EXPECT_EQ(editor.views.treeItemChanges, before);
    editor.run(300);
    EXPECT_GT(editor.views.treeItemChanges, before);
    EXPECT_FALSE(editor.controller->recheckPending());
}

TEST(CloseCheck, YesThenCancelInSaveAsKeepsTheWindowOpen) {
    HeadlessEditor editor;
    editor.start();
    editor.controller->document().markModified();
    editor.prompt.answers = {PromptAnswer::Yes};
    EXPECT_FALSE(editor.controller->closeQuery(ScreenRect{10, 20, 640, 480}, 150));
    ASSERT_EQ(editor.prompt.asked.size(), 1U);
    EXPECT_EQ(editor.prompt.asked[0].text, "Save changes to Untitled?");
    EXPECT_EQ(editor.prompt.asked[0].buttons, PromptButtons::YesNoCancel);
    ASSERT_EQ(editor.dialog.asked.size(), 1U);
    EXPECT_TRUE(editor.dialog.asked[0].save);
    EXPECT_NE(editor.env.windowLeft, 10);

    editor.prompt.answers = {PromptAnswer::No};
    EXPECT_TRUE(editor.controller->closeQuery(ScreenRect{10, 20, 640, 480}, 150));
    EXPECT_EQ(editor.env.windowLeft, 10);
    EXPECT_EQ(editor.env.windowHeight, 480);
    EXPECT_EQ(editor.env.splitterV, 150);
}

TEST(CloseCheck, BoundsBeyondTheScreenAreStoredFitted) {
    HeadlessEditor editor;
    editor.start();
    constexpr int kMax = std::numeric_limits<int>::max();
    EXPECT_TRUE(editor.controller->closeQuery(
        ScreenRect{std::numeric_limits<int>::min(), -5, kMax, kMax}, kMax));
    EXPECT_EQ(editor.env.windowLeft, 16 - 1024);
    EXPECT_EQ(editor.env.windowTop, 0);
    EXPECT_EQ(editor.env.windowWidth, 1024);
    EXPECT_EQ(editor.env.windowHeight, 768);
    EXPECT_EQ(editor.env.splitterV, 1024 - 11);
}

TEST(StartUp, TheWindowShowsAtOnceOnlyWhenTheSetupWasDone) {
    HeadlessEditor done;
    done.start();
    EXPECT_TRUE(done.views.visible);
    EXPECT_EQ(done.views.title, "Untitled - QX-5130");
    EXPECT_FALSE(done.views.setupOpen);

    HeadlessEditor first([](indEnviron& env) {
        env.destination = indEnviron::kDestinationNotSet;
        env.setupDone = false;
    });
    first.start();
    EXPECT_FALSE(first.views.visible);
    ASSERT_TRUE(first.views.setupOpen);
    indInitialSetup* setup = first.controller->initialSetup();
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(setup->caption(), "Initial Setup");
    EXPECT_EQ(setup->memoLines().size(), 11U);
    setup->cancel();
    EXPECT_FALSE(first.views.setupOpen);
    EXPECT_TRUE(first.views.visible);
    EXPECT_FALSE(first.env.setupDone);
    first.run(60);
    EXPECT_EQ(first.controller->initialSetup(), nullptr);
}

TEST(StartUp, SetupOkStoresThePortOrRefusesIt) {
    test::TempFolder folder;
    const std::string cable = folder.write("cable", "");
    struct Case {
        indInitialSetup::PortChoice choice;
        int port; // 0: refused
        std::string refusal;
    };
    const std::string range = "The numerical value is outside the range.";
    const Case cases[] = {
        {{3, "", ""}, 3, ""},
        {{indInitialSetup::kMore, " 12 ", ""}, 12, ""},
        {{indInitialSetup::kMore, "0", ""}, 0, range},
        {{indInitialSetup::kMore, "257", ""}, 0, range},
        {{indInitialSetup::kMore, "twelve", ""}, 0, range},
        // A device path typed into the box gets a number of its own, kept in the port map.
        {{indInitialSetup::kMore, " " + cable + " ", ""}, 5, ""},
        {{indInitialSetup::kDevice, "", cable}, 5, ""},
        {{indInitialSetup::kMore, "/nonexistent/tty", ""},
         0,
         "The device was not found.\n/nonexistent/tty"},
    };
    for (const Case& c : cases) {
        HeadlessEditor editor([](indEnviron& env) {
            env.setupDone = false;
            env.comPort = 7;
        });
        editor.start();
        indInitialSetup& setup = *editor.controller->initialSetup();
        EXPECT_EQ(setup.initialChoice().radio, indInitialSetup::kMore);
        EXPECT_EQ(setup.initialChoice().edit, "7");
        EXPECT_EQ(setup.ok(c.choice), c.port != 0) << c.choice.edit;
        if (c.port == 0) {
            EXPECT_EQ(editor.env.comPort, 7);
            ASSERT_EQ(editor.prompt.asked.size(), 1U);
            EXPECT_EQ(editor.prompt.asked[0].text, c.refusal);
            EXPECT_FALSE(editor.controller->cloneManager().IsBusy());
        } else {
            EXPECT_EQ(editor.env.comPort, c.port);
            EXPECT_TRUE(editor.controller->cloneManager().IsBusy()) << "asks the transceiver";
        }
        if (!c.choice.device.empty() || c.choice.edit.find('/') != std::string::npos) {
            EXPECT_EQ(editor.controller->portDevice(c.port == 0 ? 7 : c.port),
                      c.port == 0 ? "/dev/ttyS6" : cable);
        }
    }
}

} // namespace
} // namespace qx

namespace qx {
namespace {

// The editor with a transceiver of destination 5 on its cable.
struct EditorWithRadio : HeadlessEditor {
    explicit EditorWithRadio(const std::function<void(indEnviron&)>& configure)
        : HeadlessEditor(configure) {
        controller->cloneManager().Engine().SetSleeper([](int) {});
    }
    // Lets the clock run until the clone engine and the messages it posted are done.
    void runClone() {
        for (int i = 0; i < 20000 && controller->cloneManager().IsBusy(); ++i) {
            scheduler.advance(10);
        }
        run(100);
    }
    test::ScriptedTransceiver radio{line};
};

TEST(CloneMenu, ReadDisablesTheWindowAndLeavesAnUntitledModifiedDocument) {
    EditorWithRadio editor([](indEnviron& env) { env.destination = 5; });
    editor.start();
    editor.radio.image[imagemap::kCloneComment] = 'Q';
    cuiMenu& menu = editor.controller->mainMenu();
    editor.controller->menuClicked(*menu.find(CL_Menu_Clone_Read));
    editor.runClone();
    EXPECT_TRUE(editor.prompt.asked.empty()) << editor.prompt.asked[0].text;
    EXPECT_EQ(RadioBackups(editor.system.backups).list().size(), 1U); // kept as it came
    EXPECT_EQ(editor.controller->document().current().getByte(imagemap::kCloneComment), 'Q');
    EXPECT_TRUE(editor.controller->document().isModified());
    EXPECT_EQ(editor.views.title, "Untitled - QX-5130");
    ASSERT_FALSE(editor.views.enabledHistory.empty());
    EXPECT_FALSE(editor.views.enabledHistory.front());
    EXPECT_TRUE(editor.views.enabledHistory.back());
    EXPECT_TRUE(editor.views.enabled);
    EXPECT_GT(editor.views.raised, 0);
    EXPECT_EQ(editor.views.progressOpened, 1);
    EXPECT_EQ(editor.views.progressClosed, 1);
    ASSERT_FALSE(editor.views.litHistory.empty());
    EXPECT_EQ(editor.views.litHistory.back(), 32);
}

TEST(CloneMenu, ASilentTransceiverChangesNothingAndGivesTheWindowBack) {
    EditorWithRadio editor([](indEnviron& env) { env.destination = 5; });
    editor.start();
    editor.radio.plugged = false;
    const cmcEeprom before(editor.controller->document().current());
    editor.controller->menuClicked(*editor.controller->mainMenu().find(CL_Menu_Clone_Read));
    editor.runClone();
    ASSERT_EQ(editor.prompt.asked.size(), 1U);
    EXPECT_EQ(editor.prompt.asked[0].text.rfind("No answer from transceiver.", 0), 0U);
    EXPECT_FALSE(editor.controller->document().isModified());
    EXPECT_EQ(std::memcmp(before.data(), editor.controller->document().current().data(),
                          static_cast<std::size_t>(before.size())),
              0);
    EXPECT_TRUE(editor.views.enabled);
}

TEST(CloneMenu, InformationShowsTheCloneInformationSheet) {
    EditorWithRadio editor([](indEnviron& env) { env.destination = 5; });
    editor.start();
    editor.controller->toolBarClicked(*editor.controller->toolBar().find(CL_Menu_Clone_Info));
    editor.runClone();
    EXPECT_EQ(editor.views.informationShown,
              (std::vector<std::string>{"GI_Sheet_CloneInfo|QX-5130"}));
}

TEST(InitialSetup, OkReadsTheTransceiverAndStoresItsDestinationAndUnits) {
    EditorWithRadio editor([](indEnviron& env) {
        env.destination = indEnviron::kDestinationNotSet;
        env.setupDone = false;
        env.digitalUnit = false;
        env.dvInhibit = true;
    });
    editor.start();
    ASSERT_FALSE(editor.views.visible);
    editor.controller->initialSetup()->ok({2, "", ""});
    editor.runClone();
    EXPECT_EQ(editor.env.comPort, 2);
    EXPECT_EQ(editor.views.setupEnabledHistory, (std::vector<bool>{false}));
    EXPECT_FALSE(editor.views.setupOpen);
    EXPECT_TRUE(editor.views.visible);
    EXPECT_TRUE(editor.env.setupDone);
    EXPECT_EQ(editor.env.destination, 5);
    EXPECT_TRUE(editor.env.digitalUnit);
    EXPECT_FALSE(editor.env.dvInhibit);
    EXPECT_EQ(editor.controller->document().images().destination(), 5);
    EXPECT_FALSE(editor.controller->document().isModified());
    // The tree now offers what the digital unit brings.
    EXPECT_NE(editor.controller->tree()->findByCaption("GPS Memory"), nullptr);
    EXPECT_TRUE(editor.prompt.asked.empty());
}

TEST(InitialSetup, ATransceiverOfUnknownDestinationDoesNotCompleteTheSetup) {
    EditorWithRadio editor([](indEnviron& env) {
        env.destination = indEnviron::kDestinationNotSet;
        env.setupDone = false;
    });
    editor.radio.info[16] = 16;
    editor.start();
    editor.controller->initialSetup()->ok({1, "", ""});
    editor.runClone();
    EXPECT_FALSE(editor.views.setupOpen);
    EXPECT_TRUE(editor.views.visible);
    EXPECT_FALSE(editor.env.setupDone);
    EXPECT_EQ(editor.env.destination, indEnviron::kDestinationNotSet);
}

} // namespace
} // namespace qx
