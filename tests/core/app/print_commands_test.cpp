#include "app/cell_evaluator.h"
#include "app/main_controller.h"

#include "base/message_id.h"
#include "headless_editor.h"
#include "radio/cell_link_names.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qx {
namespace {

// The Print All sheet list follows the tree of the transceiver variant, with or without a
// window.
TEST(PrintCommandsTest, TreeCallStringsFollowTheVariant) {
    const auto has = [](const std::vector<std::string>& calls, const std::string& call) {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    };
    struct Case {
        bool digitalUnit;
        bool dvInhibit;
        bool pagerInhibit;
        std::vector<std::pair<std::string, bool>> calls;
    };
    const std::vector<Case> cases = {
        {true,
         false,
         false,
         {{"GI_Sheet_PGR_Memory", true},
          {"[St_ChGps]GI_Sheet_GPS_Memory,35", true},
          {"GI_Sheet_Message", true},
          {"GI_Sheet_My_Callsign", true},
          {"[St_Common]GI_Sheet_Digital,2", true}}},
        {false,
         false,
         false,
         {{"[St_ChGps]GI_Sheet_GPS_Memory,35", false},
          {"[St_ChGps]GI_Sheet_GPS_BankCH,36", false},
          {"GI_Sheet_Message", false},
          {"[St_Common]GI_Sheet_Digital,0", false},
          {"GI_Sheet_PGR_Memory", true},
          {"[St_Common]GI_Sheet_LR_Band,1", true}}},
        {true,
         true,
         true,
         {{"[St_ChGps]GI_Sheet_GPS_Memory,35", true},
          {"GI_Sheet_Message", false},
          {"[St_Common]GI_Sheet_Digital,1", false},
          {"GI_Sheet_PGR_Memory", false}}},
    };
    for (const Case& c : cases) {
        for (const bool window : {false, true}) {
            test::HeadlessEditor editor([&c](indEnviron& env) {
                env.digitalUnit = c.digitalUnit;
                env.dvInhibit = c.dvInhibit;
                env.pagerInhibit = c.pagerInhibit;
            });
            if (window) {
                editor.start();
            }
            const auto calls = editor.controller->treeCallStrings();
            ASSERT_GE(calls.size(), 3U);
            EXPECT_EQ(calls[0], "GI_Sheet_TopPage");
            EXPECT_EQ(calls[1], "GI_Sheet_TreeTop");
            EXPECT_EQ(calls[2], "[St_ColCut]GI_Sheet_MemoryCH,0,0");
            EXPECT_EQ(std::count(calls.begin(), calls.end(), "GI_Sheet_TreeTop"), 1);
            for (const auto& [call, present] : c.calls) {
                EXPECT_EQ(has(calls, call), present) << call << " window " << window;
            }
        }
    }
}

class PrintViews : public test::RecordingViews {
public:
    void printSheets(bool all) override { printed.push_back(all); }
    std::vector<bool> printed;
};

TEST(PrintCommandsTest, MenuCommandsCommitEditsThenPrint) {
    test::HeadlessEditor editor;
    PrintViews views;
    editor.controller->setViews(&views);
    editor.start();
    std::vector<MessageId> heard;
    struct Listener : EvSubscriber {
        explicit Listener(std::vector<MessageId>& h) : heard(h) {}
        void onMessage(const EvMessage& message, cmcEvMan&) override {
            heard.push_back(message.id);
        }
        std::vector<MessageId>& heard;
    } listener(heard);
    editor.bus.subscribe(&listener);
    for (const std::int32_t link : {CL_Menu_File_Print_Current, CL_Menu_File_Print_All}) {
        cmcCellObj item;
        item.link = link;
        cmcCellCapsule request;
        request.cell = &item;
        request.command = kItemExecute;
        editor.controller->runCommand(request);
    }
    EXPECT_EQ(views.printed, (std::vector<bool>{false, true}));
    editor.run(20);
    EXPECT_EQ(std::count(heard.begin(), heard.end(), MessageId::DocumentWillChange), 2);
    editor.bus.unsubscribe(&listener);
}

} // namespace
} // namespace qx
