#include "edit/channel_list_editor.h"

#include "base/cell_capsule.h"
#include "base/event_manager.h"
#include "manual_scheduler.h"
#include "radio/bank_link_table.h"
#include "radio/cell_link_dispatch.h"
#include "radio/cell_link_names.h"
#include "radio/channel_record.h"
#include "radio/image_map.h"
#include "radio/image_set.h"
#include "recording_prompt.h"
#include "text/text_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace qx {
namespace {

using imagemap::kGpsSlotList;
using imagemap::kReceivedCallOrder;
constexpr std::int32_t kGpsReference = 0xABA8;

class Messages : public EvSubscriber {
public:
    void onMessage(const EvMessage& message, cmcEvMan&) override {
        seen.emplace_back(message.id, message.p1);
    }
    bool saw(MessageId id, std::int32_t p1 = -1) const {
        return std::any_of(seen.begin(), seen.end(), [&](const auto& m) {
            return m.first == id && (p1 < 0 || m.second == p1);
        });
    }
    std::vector<std::pair<MessageId, std::int32_t>> seen;
};

class ChannelListEditorTest : public ::testing::Test {
protected:
    ChannelListEditorTest() {
        texts.attachSource(kTextTable_en);
        images.setDestination(5);
        bus.subscribe(&messages);
        editor.setStatusListener([this](const std::string& text) { status = text; });
    }
    ~ChannelListEditorTest() override { bus.unsubscribe(&messages); }

    cmcEeprom& image() { return images.current(); }

    // A used record whose frequency tells where it came from.
    void use(int kind, int index, std::uint32_t frequency) {
        ChannelRecord record(image());
        record.load(kind, index);
        record.used = true;
        record.frequency = frequency;
        if (kind == kKindGps) {
            record.slot = index;
            record.name = ChannelRecord::toText8("G" + std::to_string(index));
        }
        record.store();
    }
    void useAll(int kind, int first, int last) {
        for (int i = first; i <= last; ++i) {
            use(kind, i, tag(i));
        }
    }
    static std::uint32_t tag(int i) { return 145000000U + 5000U * static_cast<std::uint32_t>(i); }
    ChannelRecord load(int kind, int index) {
        ChannelRecord record(image());
        record.load(kind, index);
        return record;
    }
    std::string gpsName(int index) { return ChannelRecord::fromText8(load(kKindGps, index).name); }

    ListEditOutcome run(ListOperation op, int kind, int row, int low, int high, int first, int last,
                        int bank = 0) {
        ListEditRequest request{kind, row, low != high || row != low, low, high, first, last, bank};
        bus.pump();
        messages.seen.clear();
        const ListEditOutcome outcome = editor.run(op, request);
        scheduler.advance(cmcEvMan::kPumpMs);
        bus.pump();
        return outcome;
    }
    ListEditOutcome memory(ListOperation op, int row, int low = -1, int high = -1) {
        return run(op, kKindChannel, row, low < 0 ? row : low, high < 0 ? row : high, 0, 99);
    }

    cmcGTex texts;
    ImageSet images;
    test::RecordingPrompt prompt;
    test::ManualScheduler scheduler;
    cmcEvMan bus{scheduler};
    Messages messages;
    indChannelListEditor editor{images, texts, prompt, &bus};
    std::string status;
};

TEST_F(ChannelListEditorTest, InsertPushesTheBottomChannelOffAfterTheOverflowQuestion) {
    useAll(kKindChannel, 0, 99);
    const cmcEeprom before = image();

    prompt.answers = {PromptAnswer::Cancel};
    memory(ListOperation::Insert, 50);
    ASSERT_EQ(prompt.asked.size(), 1U);
    EXPECT_EQ(prompt.asked[0].text,
              "CH overflow.\nThe channel contents at the bottom line in this sheet will be "
              "deleted.\nAre you sure?");
    EXPECT_EQ(prompt.asked[0].caption, "QX-5130");
    EXPECT_EQ(prompt.asked[0].icon, PromptIcon::Warning);
    EXPECT_EQ(prompt.asked[0].buttons, PromptButtons::OkCancel);
    EXPECT_TRUE(image() == before) << "Cancel changes nothing";
    EXPECT_TRUE(status.empty());

    const ListEditOutcome outcome = memory(ListOperation::Insert, 50);
    for (int i = 51; i <= 99; ++i) {
        EXPECT_EQ(load(kKindChannel, i).frequency, tag(i - 1)) << i;
    }
    EXPECT_FALSE(load(kKindChannel, 50).used);
    EXPECT_EQ(load(kKindChannel, 49).frequency, tag(49));
    EXPECT_TRUE(outcome.changed && outcome.reselect);
    EXPECT_EQ(outcome.reselectLow, 50);
    EXPECT_EQ(status, " Inserted");
    EXPECT_TRUE(images.isModified());
    EXPECT_TRUE(messages.saw(MessageId::ChannelDataChanged));
    EXPECT_TRUE(messages.saw(MessageId::RedrawSheet));

    // Scan edges are a list of their own: Insert at the last edge never reaches channel 520.
    use(kKindChannel, 520, tag(520));
    use(kKindChannel, 519, tag(519));
    run(ListOperation::Insert, kKindChannel, 519, 519, 519, 500, 519);
    EXPECT_FALSE(load(kKindChannel, 519).used);
    EXPECT_EQ(load(kKindChannel, 520).frequency, tag(520));
}

TEST_F(ChannelListEditorTest, DeleteMovesTheRestUpAndClearsTheTail) {
    prompt.answers.clear();
    memory(ListOperation::Delete, 11, 10, 12);
    EXPECT_TRUE(prompt.asked.empty()) << "deleting empty channels asks nothing";

    useAll(kKindChannel, 0, 99);
    const ListEditOutcome outcome = memory(ListOperation::Delete, 11, 10, 12);
    ASSERT_EQ(prompt.asked.size(), 1U);
    EXPECT_EQ(prompt.asked[0].text, "Delete. Are you sure?");
    for (int i = 10; i <= 96; ++i) {
        EXPECT_EQ(load(kKindChannel, i).frequency, tag(i + 3)) << i;
    }
    ChannelRecord defaults;
    cmcEeprom defaultImage = images.defaults();
    defaults.attach(defaultImage);
    for (int i = 97; i <= 99; ++i) {
        defaults.load(kKindChannel, i);
        EXPECT_FALSE(load(kKindChannel, i).used) << i;
        EXPECT_EQ(load(kKindChannel, i).frequency, defaults.frequency) << i;
    }
    EXPECT_EQ(load(kKindChannel, 100).used, false) << "the next block is another list";
    EXPECT_TRUE(outcome.dropSelection);
    EXPECT_EQ(outcome.cursor, 10);
    EXPECT_EQ(status, " Deleted");
}

TEST_F(ChannelListEditorTest, PasteGoesToTheCurrentRowAndAsksAboutOverflowAndOverwriting) {
    useAll(kKindChannel, 0, 4);
    memory(ListOperation::Copy, 2, 0, 4);
    EXPECT_EQ(editor.clipboard().count(), 5);
    EXPECT_EQ(status, " Copied");

    // Pasting onto 97 only fits three records.
    prompt.answers = {PromptAnswer::Ok};
    const ListEditOutcome outcome = memory(ListOperation::Paste, 97);
    ASSERT_EQ(prompt.asked.size(), 1U);
    EXPECT_EQ(prompt.asked[0].text,
              "CH overflow.\nSome of the copied channel contents won't be pasted in the "
              "list.\nAre you sure?");
    for (int i = 97; i <= 99; ++i) {
        EXPECT_EQ(load(kKindChannel, i).frequency, tag(i - 97));
    }
    EXPECT_FALSE(load(kKindChannel, 100).used);
    EXPECT_EQ(outcome.reselectLow, 97);
    EXPECT_EQ(outcome.reselectHigh, 99);
    EXPECT_EQ(status, " Pasted");

    // The current row counts, not the selection start; onto used rows it asks to overwrite.
    prompt.asked.clear();
    use(kKindChannel, 31, tag(77));
    const cmcEeprom before = image();
    prompt.answers = {PromptAnswer::Cancel};
    run(ListOperation::Paste, kKindChannel, 30, 20, 25, 0, 99);
    ASSERT_EQ(prompt.asked.size(), 1U);
    EXPECT_EQ(prompt.asked[0].text, "Overwriting. Are you sure?");
    EXPECT_TRUE(image() == before);
    run(ListOperation::Paste, kKindChannel, 30, 20, 25, 0, 99);
    EXPECT_EQ(load(kKindChannel, 30).frequency, tag(0));
    EXPECT_EQ(load(kKindChannel, 34).frequency, tag(4));
    EXPECT_FALSE(load(kKindChannel, 20).used);

    // Channels do not paste into the GPS list.
    prompt.asked.clear();
    const cmcEeprom channelsOnly = image();
    EXPECT_FALSE(run(ListOperation::Paste, kKindGps, 0, 0, 0, 0, 99).changed);
    EXPECT_TRUE(prompt.asked.empty());
    EXPECT_TRUE(image() == channelsOnly);
}

TEST_F(ChannelListEditorTest, UpAndDownSwapWithTheNeighbourAndStopAtTheBounds) {
    useAll(kKindChannel, 0, 99);
    const ListEditOutcome up = memory(ListOperation::Up, 7, 5, 7);
    EXPECT_EQ(load(kKindChannel, 4).frequency, tag(5));
    EXPECT_EQ(load(kKindChannel, 6).frequency, tag(7));
    EXPECT_EQ(load(kKindChannel, 7).frequency, tag(4));
    EXPECT_EQ(up.reselectLow, 4);
    EXPECT_EQ(up.reselectHigh, 6);
    EXPECT_EQ(up.cursor, 4);
    EXPECT_TRUE(prompt.asked.empty());
    EXPECT_TRUE(messages.saw(MessageId::ChannelDataChanged));
    EXPECT_FALSE(messages.saw(MessageId::RedrawSheet));

    const ListEditOutcome down = memory(ListOperation::Down, 4, 4, 6);
    EXPECT_EQ(load(kKindChannel, 5).frequency, tag(5));
    EXPECT_EQ(load(kKindChannel, 4).frequency, tag(4));
    EXPECT_EQ(down.cursor, 7);

    const cmcEeprom before = image();
    EXPECT_FALSE(memory(ListOperation::Up, 0, 0, 2).changed);
    EXPECT_FALSE(memory(ListOperation::Down, 99, 97, 99).changed);
    EXPECT_FALSE(run(ListOperation::Up, kKindChannel, 100, 100, 100, 100, 199).changed);
    EXPECT_TRUE(image() == before);
}

TEST_F(ChannelListEditorTest, ClearingTakesTheDefaultsAndKeepsFunctionMemoryExtras) {
    useAll(kKindFunction, 0, 3);
    const ChannelRecord before = load(kKindFunction, 1);
    prompt.answers = {PromptAnswer::Cancel};
    EXPECT_FALSE(run(ListOperation::Clear, kKindFunction, 1, 1, 1, 0, 3).changed);
    EXPECT_EQ(prompt.asked.at(0).text, "Clearing. Are you sure?");
    EXPECT_TRUE(run(ListOperation::Clear, kKindFunction, 1, 1, 1, 0, 3).changed);
    const ChannelRecord after = load(kKindFunction, 1);
    EXPECT_FALSE(after.used);
    EXPECT_EQ(after.memoryMode, before.memoryMode);
    EXPECT_EQ(after.bandFlags, before.bandFlags);
    EXPECT_EQ(after.memoryChannel, before.memoryChannel);
    EXPECT_EQ(load(kKindFunction, 0).frequency, tag(0));
    EXPECT_TRUE(messages.saw(MessageId::RepaintRow, 1));
    EXPECT_EQ(status, " Cleared");
}

class GpsListTest : public ChannelListEditorTest {
protected:
    GpsListTest() {
        for (int i = 0; i < 100; ++i) {
            image().setByte(kGpsSlotList + i, 0xFF);
        }
        useAll(kKindGps, 0, 9);
        ChannelRecord own(image());
        own.load(kKindOwnPosition, 0);
        own.name = ChannelRecord::toText8("HERE");
        own.gpsBankGroup = 7;
        own.store();
    }
    void refer(int memory) {
        image().setByte(kGpsReference, static_cast<std::uint8_t>(29 + memory));
    }
    int reference() { return image().getByte(kGpsReference); }
    ListEditOutcome gps(ListOperation op, int low, int high, int bank = 0) {
        return run(op, kKindGps, low, low, high, 0, 99, bank);
    }
};

TEST_F(GpsListTest, TheAlarmReferenceFollowsItsMemory) {
    struct Case {
        ListOperation op;
        int low;
        int high;
        int referenced;
        int expected; // -1: the reference is gone
    };
    const Case cases[] = {
        {ListOperation::Delete, 1, 2, 3, 1}, {ListOperation::Delete, 3, 4, 3, -1},
        {ListOperation::Delete, 5, 6, 3, 3}, {ListOperation::Up, 3, 4, 3, 2},
        {ListOperation::Up, 4, 5, 3, 5},     {ListOperation::Down, 2, 3, 3, 4},
        {ListOperation::Down, 1, 2, 3, 1},   {ListOperation::Insert, 2, 3, 3, 5},
        {ListOperation::Insert, 4, 4, 3, 3}, {ListOperation::Clear, 3, 3, 3, -1},
    };
    const cmcEeprom start = image();
    for (const Case& c : cases) {
        image() = start;
        refer(c.referenced);
        gps(c.op, c.low, c.high);
        EXPECT_EQ(reference(), c.expected < 0 ? 0 : 29 + c.expected)
            << static_cast<int>(c.op) << " " << c.low << "-" << c.high;
        EXPECT_EQ(messages.saw(MessageId::GpsReferenceChanged), c.expected != c.referenced);
    }
    // Values below the base are other alarm choices and stay.
    image() = start;
    image().setByte(kGpsReference, 2);
    gps(ListOperation::Delete, 0, 5);
    EXPECT_EQ(reference(), 2);
}

TEST_F(GpsListTest, InsertAndDeleteKeepTheOrderBytesAndRefuseOverflow) {
    // Insert asks nothing, starts from the own position with the sheet's bank, in use.
    const ListEditOutcome inserted = gps(ListOperation::Insert, 2, 2, 4);
    EXPECT_TRUE(prompt.asked.empty());
    EXPECT_EQ(gpsName(2), "HERE    ");
    EXPECT_EQ(load(kKindGps, 2).gpsBankGroup, 4);
    EXPECT_EQ(image().getByte(kGpsSlotList + 2), 0);
    EXPECT_EQ(gpsName(3), "G2      ");
    EXPECT_EQ(ChannelRecord::gpsMemoryCount(image()), 11);
    EXPECT_EQ(inserted.cursor, 2);
    EXPECT_TRUE(messages.saw(MessageId::ShowRow, 0)) << "the bank sheet holds one memory";
    EXPECT_TRUE(status.empty());

    // The empty row after the list inserts at the top.
    gps(ListOperation::Insert, 100, 100);
    EXPECT_EQ(gpsName(0), "HERE    ");
    EXPECT_EQ(load(kKindGps, 0).gpsBankGroup, 0);
    EXPECT_EQ(gpsName(1), "G0      ");

    // Delete always asks; the tail becomes free.
    prompt.asked.clear();
    gps(ListOperation::Delete, 0, 0);
    ASSERT_EQ(prompt.asked.size(), 1U);
    EXPECT_EQ(image().getByte(kGpsSlotList + 99), 0xFF);
    EXPECT_EQ(gpsName(0), "G0      ");
    EXPECT_EQ(ChannelRecord::gpsMemoryCount(image()), 11);
    gps(ListOperation::Delete, 11, 11);
    EXPECT_EQ(ChannelRecord::gpsMemoryCount(image()), 11);
    gps(ListOperation::Delete, 10, 10);
    EXPECT_TRUE(messages.saw(MessageId::ShowRow, 9)) << "the last memory went";

    // Full list, and a list whose last memories would be pushed off: refused, unchanged.
    for (const int used : {100, 99}) {
        useAll(kKindGps, 0, used - 1);
        const cmcEeprom full = image();
        prompt.asked.clear();
        EXPECT_FALSE(gps(ListOperation::Insert, 5, 6).changed);
        ASSERT_EQ(prompt.asked.size(), 1U);
        EXPECT_EQ(prompt.asked[0].text, "CH overflow.");
        EXPECT_EQ(prompt.asked[0].icon, PromptIcon::Error);
        EXPECT_EQ(prompt.asked[0].buttons, PromptButtons::Ok);
        EXPECT_TRUE(image() == full);
    }
}

// Every memory after a cleared or moved one must stay in the list: the memories in use are
// the run of leading slot bytes below 100, and a write sends only that run.
TEST_F(GpsListTest, ClearUpAndDownLeaveNoGapInTheSlotList) {
    struct Case {
        const char* what;
        ListOperation op;
        int low;
        int high;
        int bank;
        std::vector<std::string> names; // memories 0-9 afterwards
    };
    const std::string own = "HERE    ";
    const auto g = [](int i) { return "G" + std::to_string(i) + "      "; };
    std::vector<std::string> start;
    for (int i = 0; i < 10; ++i) {
        start.push_back(g(i));
    }
    const auto with = [&](std::initializer_list<std::pair<int, std::string>> changes) {
        std::vector<std::string> names = start;
        for (const auto& [i, name] : changes) {
            names[static_cast<std::size_t>(i)] = name;
        }
        return names;
    };
    const Case cases[] = {
        {"clear inside", ListOperation::Clear, 2, 2, 0, with({{2, own}})},
        {"clear a block", ListOperation::Clear, 3, 5, 0, with({{3, own}, {4, own}, {5, own}})},
        {"clear the last", ListOperation::Clear, 9, 9, 0, with({{9, own}})},
        {"clear on a bank sheet", ListOperation::Clear, 4, 4, 3, with({{4, own}})},
        {"clear past the end", ListOperation::Clear, 12, 14, 0, start},
        {"down on the last", ListOperation::Down, 9, 9, 0, start},
        {"down on a block ending at the last", ListOperation::Down, 7, 9, 0, start},
        {"up on a block past the end", ListOperation::Up, 9, 10, 0, start},
        {"down inside", ListOperation::Down, 8, 8, 0, with({{8, g(9)}, {9, g(8)}})},
        {"up on the last", ListOperation::Up, 9, 9, 0, with({{8, g(9)}, {9, g(8)}})},
    };
    const cmcEeprom before = image();
    for (const Case& c : cases) {
        image() = before;
        gps(c.op, c.low, c.high, c.bank);
        EXPECT_EQ(ChannelRecord::gpsMemoryCount(image()), 10) << c.what;
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(gpsName(i), c.names[static_cast<std::size_t>(i)]) << c.what << ", " << i;
        }
        for (int i = 10; i < 100; ++i) {
            EXPECT_EQ(image().getByte(kGpsSlotList + i), 0xFF) << c.what << ", " << i;
        }
        if (c.names == start && c.op != ListOperation::Clear) {
            EXPECT_TRUE(image() == before) << c.what << ": nothing to do";
        }
    }
    // A cleared memory stays in the bank of the sheet it was cleared on, 0 on the whole list.
    image() = before;
    gps(ListOperation::Clear, 4, 4, 3);
    EXPECT_EQ(load(kKindGps, 4).gpsBankGroup, 3);
    gps(ListOperation::Clear, 4, 4, 0);
    EXPECT_EQ(load(kKindGps, 4).gpsBankGroup, 0);
}

TEST_F(GpsListTest, InsertAndPastePastTheEndOfTheListChangeNothing) {
    editor.clipboard().copy(image(), kKindGps, 0, 2);
    const cmcEeprom before = image();
    EXPECT_FALSE(run(ListOperation::Paste, kKindGps, 11, 11, 11, 0, 99).changed);
    EXPECT_FALSE(gps(ListOperation::Insert, 12, 12).changed);
    EXPECT_TRUE(image() == before);

    // Right after the last memory both add to the list.
    EXPECT_TRUE(run(ListOperation::Paste, kKindGps, 10, 10, 10, 0, 99).changed);
    EXPECT_EQ(ChannelRecord::gpsMemoryCount(image()), 12);
    EXPECT_EQ(gpsName(11), "G1      ");
    EXPECT_TRUE(gps(ListOperation::Insert, 12, 12).changed);
    EXPECT_EQ(ChannelRecord::gpsMemoryCount(image()), 13);
}

TEST_F(GpsListTest, InsertIntoAnEmptyListMakesTheFirstMemory) {
    for (int i = 0; i < 100; ++i) {
        image().setByte(kGpsSlotList + i, 0xFF);
    }
    // The empty row after the list is all an empty list shows.
    const ListEditOutcome outcome = gps(ListOperation::Insert, 100, 100);
    EXPECT_TRUE(outcome.changed);
    EXPECT_EQ(ChannelRecord::gpsMemoryCount(image()), 1);
    EXPECT_EQ(gpsName(0), "HERE    ");
    EXPECT_EQ(outcome.cursor, 0);
    EXPECT_TRUE(messages.saw(MessageId::ShowRow, 0));
}

class BankSlotTest : public ChannelListEditorTest {
protected:
    // Bank C (2): channels 10-14 in slots 0-4, channel 40 in slot 99.
    BankSlotTest() {
        for (int i = 0; i < 5; ++i) {
            placeInBank(10 + i, i);
        }
        placeInBank(40, 99);
        images.rebuildBankLinks();
    }
    void placeInBank(int channel, int slot) {
        ChannelRecord record(image());
        record.load(kKindChannel, channel);
        record.used = true;
        record.frequency = tag(channel);
        record.bankGroup = 2;
        record.bankChannel = slot;
        record.store();
    }
    int slot(int s) { return banklink::slot(image(), 2, s); }
    ListEditOutcome bank(ListOperation op, int low, int high) {
        return run(op, kKindBankChannel, low, low, high, 0, 99, 2);
    }
};

TEST_F(BankSlotTest, InsertAndDeleteRenumberThroughTheLinkTable) {
    bank(ListOperation::Insert, 1, 2);
    ASSERT_EQ(prompt.asked.size(), 1U) << "slot 99 is taken";
    EXPECT_EQ(slot(0), 10);
    EXPECT_EQ(slot(1), imagemap::kBankSlotEmpty);
    EXPECT_EQ(slot(2), imagemap::kBankSlotEmpty);
    EXPECT_EQ(slot(3), 11);
    EXPECT_EQ(slot(6), 14);
    EXPECT_EQ(slot(99), imagemap::kBankSlotEmpty);
    EXPECT_FALSE(load(kKindChannel, 40).used) << "pushed off the list";
    EXPECT_EQ(status, " Inserted");

    prompt.asked.clear();
    bank(ListOperation::Delete, 1, 2);
    EXPECT_TRUE(prompt.asked.empty()) << "empty slots";
    EXPECT_EQ(slot(1), 11);
    EXPECT_EQ(slot(4), 14);

    bank(ListOperation::Delete, 0, 1);
    ASSERT_EQ(prompt.asked.size(), 1U);
    EXPECT_FALSE(load(kKindChannel, 10).used);
    EXPECT_FALSE(load(kKindChannel, 11).used);
    EXPECT_EQ(slot(0), 12);
    EXPECT_EQ(slot(2), 14);
    EXPECT_EQ(slot(3), imagemap::kBankSlotEmpty);
    EXPECT_EQ(status, " Deleted");
}

TEST_F(BankSlotTest, UpDownAndClear) {
    const ListEditOutcome up = bank(ListOperation::Up, 2, 3);
    EXPECT_EQ(slot(1), 12);
    EXPECT_EQ(slot(2), 13);
    EXPECT_EQ(slot(3), 11);
    EXPECT_EQ(up.cursor, 1);
    bank(ListOperation::Down, 99, 99);
    bank(ListOperation::Up, 0, 0);
    EXPECT_EQ(slot(99), 40);
    EXPECT_EQ(slot(0), 10);
    bank(ListOperation::Down, 98, 98);
    EXPECT_EQ(slot(99), imagemap::kBankSlotEmpty);
    EXPECT_EQ(slot(98), 40) << "down into an empty slot... and back";

    bank(ListOperation::Clear, 0, 1);
    EXPECT_FALSE(load(kKindChannel, 10).used);
    EXPECT_FALSE(load(kKindChannel, 12).used);
    EXPECT_EQ(slot(2), 13);
}

// A pasted copy must not share its original's bank slot: both would drop out of the bank.
TEST_F(BankSlotTest, APastedCopyLeavesTheBankUnlessItsSlotIsFree) {
    const auto bankOf = [this](int channel) {
        const ChannelRecord record = load(kKindChannel, channel);
        return std::pair{record.bankGroup, record.bankChannel};
    };
    memory(ListOperation::Copy, 10, 10, 11);
    memory(ListOperation::Paste, 50);
    images.rebuildBankLinks();
    EXPECT_EQ(bankOf(50).first, 255);
    EXPECT_EQ(bankOf(51).first, 255);
    EXPECT_EQ(load(kKindChannel, 50).frequency, tag(10));
    EXPECT_EQ(slot(0), 10);
    EXPECT_EQ(slot(1), 11);

    // Over itself the copy keeps its place.
    memory(ListOperation::Copy, 12);
    memory(ListOperation::Paste, 12);
    images.rebuildBankLinks();
    EXPECT_EQ(bankOf(12), (std::pair{2, 2}));
    EXPECT_EQ(slot(2), 12);

    // Overlapping its own source: the copy of 10 lands on 11, whose slot goes with the old 11.
    memory(ListOperation::Copy, 10, 10, 11);
    memory(ListOperation::Paste, 11);
    images.rebuildBankLinks();
    EXPECT_EQ(slot(0), 10);
    EXPECT_EQ(bankOf(11).first, 255) << "slot 0 is 10's";
    EXPECT_EQ(bankOf(12), (std::pair{2, 1})) << "11's slot is free again";
    EXPECT_EQ(slot(1), 12);

    // Once the original is gone, a pasted copy takes over its slot.
    memory(ListOperation::Copy, 13);
    memory(ListOperation::Clear, 13);
    memory(ListOperation::Paste, 60);
    images.rebuildBankLinks();
    EXPECT_EQ(slot(3), 60);
    for (int s = 0; s < 100; ++s) {
        EXPECT_NE(slot(s), imagemap::kBankSlotConflict) << "slot " << s << " claimed twice";
    }
}

TEST_F(ChannelListEditorTest, ReceivedCallDeleteKeepsTheOrderTableConsistent) {
    const std::uint8_t order[20] = {2,   0,   255, 1,   4,   3,   255, 255, 255, 255,
                                    255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
    image().writeBlock(kReceivedCallOrder, order, 20);
    run(ListOperation::ReceivedDelete, 0, 7, 7, 9, 0, 19);
    EXPECT_TRUE(prompt.asked.empty()) << "the rows hold no record";

    const ListEditOutcome outcome = run(ListOperation::ReceivedDelete, 0, 1, 1, 2, 0, 19);
    ASSERT_EQ(prompt.asked.size(), 1U);
    const std::uint8_t expected[6] = {255, 0, 255, 255, 2, 1};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(image().getByte(kReceivedCallOrder + i), expected[i]) << i;
    }
    EXPECT_EQ(outcome.cursor, 1);
    EXPECT_EQ(status, " Deleted");
    EXPECT_TRUE(messages.saw(MessageId::RedrawSheet));
    EXPECT_FALSE(messages.saw(MessageId::ChannelDataChanged));
}

TEST_F(ChannelListEditorTest, PopupMenuItemsReachTheOperationsThroughTheDispatch) {
    useAll(kKindChannel, 100, 199);
    LinkEnvironment links;
    links.image = &image();
    links.listEdit = [this](cmcCellCapsule& request) { return editor.runPopupCommand(request); };
    cmcCellLinkDispatch dispatch(links);
    cmcCellObj cell;
    cell.category = CT_Conv;
    cell.link = CL_Mch_Freq;
    cell.index = 107;
    cmcCellObj item;
    item.link = CL_PMenu_CarryUp;
    cmcCellCapsule request;
    request.cell = &cell;
    request.menuItem = &item;
    request.rangeFlags = cmcCellCapsule::kRangeActive;
    request.rangeLow = 105;
    request.rangeHigh = 107;
    EXPECT_EQ(dispatch.dispatch(request), kResultChanged);
    EXPECT_EQ(load(kKindChannel, 104).frequency, tag(105));
    EXPECT_NE(request.rangeFlags & cmcCellCapsule::kRangeReselect, 0);
    EXPECT_EQ(request.rangeLow, 104);
    EXPECT_EQ(request.rangeHigh, 106);
    EXPECT_TRUE(request.moveRequest);
    EXPECT_EQ(request.moveIndex, 104);
    EXPECT_EQ(request.moveLink, CL_Mch_Freq);

    // A bank sheet names its bank in the arguments.
    cmcCellCapsule onBank;
    cell.category = CT_BankCh;
    cell.index = 0;
    item.link = CL_PMenu_Insert;
    onBank.cell = &cell;
    onBank.menuItem = &item;
    onBank.arguments = "11";
    ChannelRecord record(image());
    record.load(kKindChannel, 150);
    record.bankGroup = 2;
    record.bankChannel = 0;
    record.store();
    images.rebuildBankLinks();
    EXPECT_EQ(dispatch.dispatch(onBank), kResultChanged);
    EXPECT_EQ(banklink::slot(image(), 2, 1), 150);
}

} // namespace
} // namespace qx
