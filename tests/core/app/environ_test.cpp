#include "app/environ.h"

#include "fake_instance_lock.h"
#include "fixed_system_info.h"
#include "memory_settings_store.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace qx {
namespace {

const std::string kRoot = indEnviron::kRegistryRoot;

std::string keyOf(const std::string& section) {
    return kRoot + "\\" + section;
}

class EnvironTest : public ::testing::Test {
protected:
    std::unique_ptr<indEnviron> start(std::vector<std::string> args = {"/opt/qx5130/qx5130"}) {
        m_locks.push_back(std::make_unique<test::FakeInstanceLock>(taken));
        return std::make_unique<indEnviron>(indEnviron::kMutexName, kRoot, kRoot, store,
                                            *m_locks.back(), system, std::move(args));
    }
    // A store as a previous run leaves it, with a configured transceiver.
    void storeConfigured() {
        auto env = start();
        env->comPort = 5;
        env->comSpeedHigh = 1;
        env->transType = 2;
        env->currentDirectory = "/home/user/radio";
        env->recent.putAtHead("/home/user/radio/b.icf");
        env->recent.putAtHead("/home/user/radio/a.icf");
        env->fontSizePercentage = 150;
        env->toolbarVisible = 0;
        env->printerFontSize = 12;
        env->windowLeft = -40;
        env->windowTop = 20;
        env->windowWidth = 900;
        env->windowHeight = 700;
        env->splitterV = 260;
        env->destination = 3;
        env->digitalUnit = true;
        env->dvInhibit = false;
        env->pagerInhibit = false;
    }
    void setNumber(const std::string& section, const std::string& name, std::int32_t v) {
        store.user[{keyOf(section), name}] = v;
    }
    static void expectDefaults(const indEnviron& env) {
        EXPECT_EQ(env.signature, indEnviron::kSignature);
        EXPECT_EQ(env.comPort, 1);
        EXPECT_EQ(env.comSpeedHigh, 0);
        EXPECT_EQ(env.transType, 0);
        EXPECT_EQ(env.currentDirectory, "");
        EXPECT_EQ(env.recent.count(), 0U);
        EXPECT_EQ(env.fontSizePercentage, 100);
        EXPECT_EQ(env.toolbarVisible, 1);
        EXPECT_EQ(env.printerFontSize, 10);
        EXPECT_EQ(env.windowLeft, 112);
        EXPECT_EQ(env.windowTop, 50);
        EXPECT_EQ(env.windowWidth, 800);
        EXPECT_EQ(env.windowHeight, 600);
        EXPECT_EQ(env.splitterV, 200);
        EXPECT_EQ(env.modelType, 0);
        EXPECT_FALSE(env.setupDone);
    }

    test::MemorySettingsStore store;
    test::FixedSystemInfo system;
    std::set<std::string> taken;

private:
    std::vector<std::unique_ptr<test::FakeInstanceLock>> m_locks;
};

TEST_F(EnvironTest, FirstRunStartsWithDefaultsAndWritesEverySectionOnExit) {
    {
        auto env = start();
        ASSERT_TRUE(env->firstInstance());
        expectDefaults(*env);
        EXPECT_EQ(env->destination, 16);
        EXPECT_TRUE(env->dvInhibit);
        EXPECT_TRUE(env->pagerInhibit);
        EXPECT_EQ(store.writes, 0);
    }
    const std::vector<std::pair<std::string, std::string>> numbers = {
        {"Global", "BBT"},
        {"Global", "ComPort"},
        {"Global", "ComSpeedHigh"},
        {"Global", "TransType"},
        {"Global", "Keep Backups"},
        {"View Option", "FontSize Percentage"},
        {"View Option", "Toolbar Visible"},
        {"View Option", "FontSize Printer"},
        {"Window Position", "Left"},
        {"Window Position", "Top"},
        {"Window Position", "Width"},
        {"Window Position", "Height"},
        {"Window Position", "SplitterV"},
        {"Setup", "ModelType"},
        {"Setup", "Etc Data"}};
    for (const auto& [section, name] : numbers) {
        EXPECT_TRUE(store.readNumber(keyOf(section), name).has_value()) << section << "/" << name;
    }
    EXPECT_EQ(store.readNumber(keyOf("Global"), "BBT"), 753951);
    EXPECT_EQ(store.readText(keyOf("Global"), "Current Directory"), "");
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(store.readText(keyOf("Recent File List"), "Recent" + std::to_string(i)), "");
    }
    EXPECT_EQ(store.user.size(), numbers.size() + 11);
    EXPECT_EQ(store.flushes, 1);
    EXPECT_TRUE(store.machine.empty());
    EXPECT_TRUE(taken.empty()) << "the lock is released";

    // The next start finds what the first wrote, still without a destination.
    auto again = start();
    expectDefaults(*again);
    EXPECT_EQ(again->destination, 16);
}

TEST_F(EnvironTest, StoredSettingsComeBackOnTheNextStart) {
    storeConfigured();
    auto env = start();
    EXPECT_EQ(env->comPort, 5);
    EXPECT_EQ(env->comSpeedHigh, 1);
    EXPECT_EQ(env->transType, 2);
    EXPECT_EQ(env->currentDirectory, "/home/user/radio");
    ASSERT_EQ(env->recent.count(), 2U);
    EXPECT_EQ(env->recent.entry(0), "/home/user/radio/a.icf");
    EXPECT_EQ(env->recent.entry(1), "/home/user/radio/b.icf");
    EXPECT_EQ(env->fontSizePercentage, 150);
    EXPECT_EQ(env->toolbarVisible, 0);
    EXPECT_EQ(env->printerFontSize, 12);
    EXPECT_EQ(env->windowLeft, -40);
    EXPECT_EQ(env->windowTop, 20);
    EXPECT_EQ(env->windowWidth, 900);
    EXPECT_EQ(env->windowHeight, 700);
    EXPECT_EQ(env->splitterV, 260);
    EXPECT_EQ(env->destination, 3);
    EXPECT_TRUE(env->digitalUnit);
    EXPECT_FALSE(env->dvInhibit);
    EXPECT_FALSE(env->pagerInhibit);
    EXPECT_TRUE(env->setupDone);
}

struct ClampCase {
    const char* section;
    const char* name;
    std::int32_t stored;
    int indEnviron::*field;
    int expected;
};

TEST_F(EnvironTest, StoredNumbersAreBroughtIntoRange) {
    const ClampCase cases[] = {
        {"Global", "ComPort", 999, &indEnviron::comPort, 256},
        {"Global", "ComPort", 0, &indEnviron::comPort, 1},
        {"Global", "ComPort", 256, &indEnviron::comPort, 256},
        {"Global", "ComSpeedHigh", 7, &indEnviron::comSpeedHigh, 1},
        {"Global", "ComSpeedHigh", -1, &indEnviron::comSpeedHigh, 0},
        {"Global", "TransType", 3, &indEnviron::transType, 2},
        {"Global", "TransType", -5, &indEnviron::transType, 0},
        {"View Option", "FontSize Percentage", 10, &indEnviron::fontSizePercentage, 25},
        {"View Option", "FontSize Percentage", 5000, &indEnviron::fontSizePercentage, 1000},
        {"View Option", "Toolbar Visible", 5, &indEnviron::toolbarVisible, 1},
        {"View Option", "Toolbar Visible", -1, &indEnviron::toolbarVisible, 1},
        {"View Option", "Toolbar Visible", 0, &indEnviron::toolbarVisible, 0},
        {"View Option", "FontSize Printer", 20, &indEnviron::printerFontSize, 12},
        {"View Option", "FontSize Printer", 1, &indEnviron::printerFontSize, 8},
        {"Window Position", "Left", -5000, &indEnviron::windowLeft, -5000},
        {"Window Position", "SplitterV", 3, &indEnviron::splitterV, 3},
    };
    storeConfigured();
    for (const ClampCase& c : cases) {
        const auto saved = store.user;
        setNumber(c.section, c.name, c.stored);
        {
            auto env = start();
            EXPECT_EQ((*env).*c.field, c.expected) << c.name << " stored as " << c.stored;
            EXPECT_EQ(env->destination, 3) << "the rest of the record still loads";
        }
        store.user = saved;
    }
}

TEST_F(EnvironTest, AMissingOrNonNumericNumberResetsEverything) {
    const std::vector<std::function<void()>> damages = {
        [&] { store.deleteValue(keyOf("Global"), "TransType"); },
        [&] {
            store.user[{keyOf("Window Position"), "Left"}] = std::string("left");
        },
        [&] { store.deleteValue(keyOf("Setup"), "Etc Data"); },
        [&] { store.deleteKey(keyOf("View Option")); },
    };
    for (std::size_t i = 0; i < damages.size(); ++i) {
        store.user.clear();
        storeConfigured();
        damages[i]();
        auto env = start();
        SCOPED_TRACE(i);
        expectDefaults(*env);
        EXPECT_EQ(env->destination, 16);
        EXPECT_TRUE(env->dvInhibit) << "flags keep their values from before loading";
        EXPECT_FALSE(env->digitalUnit);
    }
}

TEST_F(EnvironTest, AMissingTextReadsAsEmptyAndTheRestLoads) {
    storeConfigured();
    store.deleteValue(keyOf("Global"), "Current Directory");
    store.deleteKey(keyOf("Recent File List"));
    auto env = start();
    EXPECT_EQ(env->currentDirectory, "");
    EXPECT_EQ(env->recent.count(), 0U);
    EXPECT_EQ(env->comPort, 5);
    EXPECT_EQ(env->destination, 3);
}

TEST_F(EnvironTest, RecentFilesLoadInOrderWithoutGapsOrDuplicates) {
    storeConfigured();
    const std::string key = keyOf("Recent File List");
    const char* stored[10] = {"/a/one.icf",   "", "/a/two.icf", "/a/one.icf", "",
                              "/a/three.icf", "", "",           "/a/two.icf", ""};
    for (int i = 0; i < 10; ++i) {
        store.user[{key, "Recent" + std::to_string(i)}] = std::string(stored[i]);
    }
    auto env = start();
    ASSERT_EQ(env->recent.count(), 3U);
    EXPECT_EQ(env->recent.entry(0), "/a/one.icf");
    EXPECT_EQ(env->recent.entry(1), "/a/three.icf");
    EXPECT_EQ(env->recent.entry(2), "/a/two.icf");
}

TEST_F(EnvironTest, AWrongSignatureMeansDefaults) {
    storeConfigured();
    setNumber("Global", "BBT", 1);
    auto env = start();
    expectDefaults(*env);
    EXPECT_EQ(env->destination, 3) << "the destination survives a reset";
    EXPECT_FALSE(env->setupDone);
}

TEST_F(EnvironTest, EtcDataPacksTheDestinationWithItsCheckBits) {
    EtcData d;
    d.destination = 3;
    d.digitalUnit = true;
    d.dvInhibit = false;
    d.pagerInhibit = false;
    EXPECT_EQ(d.pack(), 6433U);

    storeConfigured();
    setNumber("Setup", "Etc Data", 6433);
    {
        auto env = start();
        EXPECT_EQ(env->destination, 3);
        EXPECT_TRUE(env->digitalUnit);
        EXPECT_FALSE(env->fccInhibit || env->rxExpansion || env->dvInhibit || env->pagerInhibit);
        EXPECT_TRUE(env->setupDone);
    }
    EXPECT_EQ(store.readNumber(keyOf("Setup"), "Etc Data"), 6433);

    // Every flag and destination survives the round trip.
    for (int dest = 0; dest <= 16; ++dest) {
        for (int flags = 0; flags < 32; ++flags) {
            EtcData e;
            e.destination = dest;
            e.fccInhibit = (flags & 1) != 0;
            e.rxExpansion = (flags & 2) != 0;
            e.digitalUnit = (flags & 4) != 0;
            e.dvInhibit = (flags & 8) != 0;
            e.pagerInhibit = (flags & 16) != 0;
            const EtcData back = EtcData::unpack(e.pack());
            EXPECT_EQ(back.destination, dest);
            EXPECT_EQ(back.pack(), e.pack());
        }
    }
}

TEST_F(EnvironTest, AWrongCheckBitLosesTheDestinationButKeepsTheFlags) {
    storeConfigured();
    for (const std::int32_t bad :
         {6433 ^ 1, 6433 ^ (1 << 5), 6433 ^ (1 << 10), 6433 ^ (1 << 11), 6433 ^ (1 << 6)}) {
        setNumber("Setup", "Etc Data", bad);
        auto env = start();
        EXPECT_EQ(env->destination, 16) << bad;
        EXPECT_FALSE(env->setupDone);
        EXPECT_TRUE(env->digitalUnit) << bad;
        EXPECT_EQ(env->pagerInhibit, (bad & (1 << 6)) != 0) << bad;
    }
    // A destination above 15 with a correct check still means "not set".
    EtcData high;
    high.destination = 40;
    setNumber("Setup", "Etc Data", static_cast<std::int32_t>(high.pack()));
    EXPECT_EQ(start()->destination, 16);
}

TEST_F(EnvironTest, SetupArgumentInAnyCaseRunsTheSetupAgain) {
    storeConfigured();
    const std::vector<std::vector<std::string>> withSetup = {
        {"qx5130", "/SETUP"}, {"qx5130", "/setup"}, {"/Setup"}, {"qx5130", "x.icf", "/sEtUp"}};
    for (const auto& args : withSetup) {
        auto env = start(args);
        EXPECT_EQ(env->destination, 3);
        EXPECT_FALSE(env->setupDone) << args.back();
    }
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"qx5130"}, {"qx5130", "setup"}, {"qx5130", "/setupx"}, {}}) {
        EXPECT_TRUE(start(args)->setupDone);
    }
}

TEST_F(EnvironTest, LanguageIsReadMachineWideAndNeverWritten) {
    const std::vector<std::pair<std::optional<std::int32_t>, int>> cases = {
        {1, 1}, {0, 0}, {2, 0}, {-1, 0}, {std::nullopt, 0}};
    for (const auto& [stored, expected] : cases) {
        store.machine.clear();
        if (stored) {
            store.machine[{kRoot, "Language"}] = *stored;
        }
        const auto machineBefore = store.machine;
        {
            auto env = start();
            EXPECT_EQ(env->language, expected);
        }
        EXPECT_EQ(store.machine, machineBefore);
        EXPECT_FALSE(store.readText(kRoot, "Language").has_value());
    }
    // Also when the per-user settings are damaged.
    store.machine[{kRoot, "Language"}] = 1;
    store.deleteKey(keyOf("Global"));
    EXPECT_EQ(start()->language, 1);
}

TEST_F(EnvironTest, WithoutAMachineWideLanguageTheUsersLocaleDecides) {
    struct Case {
        std::optional<std::int32_t> stored;
        const char* locale;
        int expected;
    };
    const Case cases[] = {
        {std::nullopt, "ja", 1},
        {std::nullopt, "en", 0},
        {std::nullopt, "de", 0},
        {0, "ja", 0},
        {1, "en", 1},
    };
    for (const Case& c : cases) {
        store.machine.clear();
        if (c.stored) {
            store.machine[{kRoot, "Language"}] = *c.stored;
        }
        system.languageCode = c.locale;
        EXPECT_EQ(start()->language, c.expected) << c.locale;
    }
}

TEST_F(EnvironTest, ASecondInstanceNeitherLoadsNorSaves) {
    storeConfigured();
    const auto before = store.user;
    auto first = start();
    const int writesBefore = store.writes;
    {
        auto second = start();
        EXPECT_FALSE(second->firstInstance());
        EXPECT_EQ(second->destination, 16) << "nothing loaded";
        EXPECT_EQ(second->comPort, 1);
        second->comPort = 77;
    }
    EXPECT_EQ(store.writes, writesBefore);
    EXPECT_EQ(store.user, before);
    EXPECT_EQ(taken.size(), 1U) << "the first keeps its lock";
    first->comPort = 9;
    first.reset();
    EXPECT_EQ(store.readNumber(keyOf("Global"), "ComPort"), 9);
}

TEST_F(EnvironTest, NothingIsSavedWhileTheSignatureIsInvalid) {
    storeConfigured();
    const auto before = store.user;
    {
        auto env = start();
        env->signature = 0;
        env->comPort = 200;
        EXPECT_FALSE(env->save());
    }
    EXPECT_EQ(store.user, before);
}

TEST_F(EnvironTest, ReadOnlyLoadTakesNoLockAndNeverWrites) {
    storeConfigured();
    auto editor = start();
    const auto before = store.user;
    {
        indEnviron reader(indEnviron::ReadOnly{}, kRoot, kRoot, store, system, {"cli", "/setup"});
        EXPECT_EQ(reader.comPort, 5);
        EXPECT_EQ(reader.destination, 3);
        EXPECT_FALSE(reader.setupDone);
        reader.comPort = 4;
        EXPECT_FALSE(reader.save());
    }
    EXPECT_EQ(store.user, before);
    EXPECT_EQ(taken.size(), 1U);
}

TEST_F(EnvironTest, AFailedFlushIsReported) {
    auto env = start();
    store.failFlush = true;
    EXPECT_FALSE(env->save());
}

TEST(EnvironGeometry, DefaultWindowFitsTheWorkArea) {
    struct Case {
        ScreenRect area;
        ScreenRect expected;
    };
    const Case cases[] = {
        {{0, 0, 1024, 768}, {112, 50, 800, 600}},    {{0, 0, 1920, 1040}, {560, 132, 800, 600}},
        {{0, 0, 640, 480}, {32, 14, 576, 432}},      {{0, 0, 801, 601}, {40, 18, 720, 540}},
        {{100, 40, 1024, 768}, {212, 90, 800, 600}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(indEnviron::defaultWindow(c.area), c.expected) << c.area.width;
    }
}

} // namespace
} // namespace qx
