#include "app/environ.h"
#include "cli_run.h"
#include "fake_instance_lock.h"
#include "fixed_system_info.h"
#include "qt_settings_store.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace qx {
namespace {

// The editor's saved settings stand in for every option left out. Qt reads the settings folder
// once per process, so this is the only test here that writes settings itself.
TEST(CliSettingsTest, OptionsLeftOutComeFromTheEditorsSettings) {
    test::TempFolder folder;
    setenv("XDG_CONFIG_HOME", (folder.path() / ".config").c_str(), 1);
    {
        QtSettingsStore store;
        std::set<std::string> locks;
        test::FakeInstanceLock lock(locks);
        test::FixedSystemInfo system;
        indEnviron editor(indEnviron::kMutexName, indEnviron::kRegistryRoot,
                          indEnviron::kRegistryRoot, store, lock, system, {"qx5130"});
        EtcData etc;
        etc.destination = 5;
        editor.setEtcData(etc);
        ASSERT_TRUE(editor.save());
    }
    const auto fromSettings = test::runCli(folder, "new -o settings.icf");
    ASSERT_EQ(fromSettings.status, 0) << fromSettings.err;
    const auto typed = test::runCli(folder, "--destination 5 new -o typed.icf");
    ASSERT_EQ(typed.status, 0) << typed.err;
    const auto other = test::runCli(folder, "--destination 0 new -o other.icf");
    ASSERT_EQ(other.status, 0) << other.err;
    const std::string saved = test::TempFolder::read(folder.file("settings.icf"));
    EXPECT_EQ(saved, test::TempFolder::read(folder.file("typed.icf")));
    EXPECT_TRUE(saved != test::TempFolder::read(folder.file("other.icf")))
        << "destinations 0 and 5 have different default images";
}

// A settings file that cannot be read as a file (a FIFO would block the reading for ever) is
// taken as absent.
TEST(CliSettingsTest, ASettingsFifoReadsAsNoSettings) {
    test::TempFolder folder;
    const auto made = test::runCli(folder, "--destination 0 new -o a.icf",
                                   "mkdir -p .config/Orsa && mkfifo .config/Orsa/QX-5130.conf &&");
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_NE(made.err.find("QX-5130.conf is not a regular file"), std::string::npos) << made.err;
    const auto checked = test::runCli(folder, "check a.icf");
    EXPECT_EQ(checked.status, 0) << checked.err;
}

} // namespace
} // namespace qx
