// The clone commands of qx5130-cli: info, setup, read and write over the serial line.
#include "app/clone_commands.h"
#include "app/environ.h"
#include "app/port_map.h"
#include "base/loop_scheduler.h"
#include "cli_arguments.h"
#include "cli_command.h"
#include "cli_files.h"
#include "cli_session.h"
#include "link/clone_manager.h"
#include "qt_instance_lock.h"
#include "qt_settings_store.h"
#include "qt_system_info.h"
#include "radio/clone_information.h"
#include "radio/destination.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <unistd.h>

namespace qx::cli {

namespace {

// The bar of the "Cloning" window, drawn on the terminal.
class TerminalProgress : public CloneProgressView {
public:
    explicit TerminalProgress(const char* label) : m_label(label), m_tty(isatty(2) != 0) {}
    void open() override { paint(0, 0, 0); }
    void paint(int litSegments, std::int32_t done, std::int64_t total) override {
        const int percent = total > 0 ? static_cast<int>(100 * done / total) : 0;
        if (!m_tty || (percent == m_lastPercent && m_drawn)) {
            return;
        }
        m_lastPercent = percent;
        m_drawn = true;
        std::string bar(static_cast<std::size_t>(indCloneMan::kSegments), '.');
        bar.replace(0, static_cast<std::size_t>(litSegments), static_cast<std::size_t>(litSegments),
                    '#');
        std::fprintf(stderr, "\r%s [%s] %3d%%", m_label, bar.c_str(), percent);
        std::fflush(stderr);
    }
    void close() override {
        if (m_tty && m_drawn) {
            std::fputc('\n', stderr);
        }
        m_drawn = false;
    }

private:
    const char* m_label;
    bool m_tty;
    int m_lastPercent = -1;
    bool m_drawn = false;
};

// Writes settings the way the editor keeps them. Refused while the editor runs: it would
// overwrite them when it ends.
bool storeSettings(const char* programPath,
                   const std::function<void(indEnviron&, SettingsStore&)>& change) {
    QtSettingsStore store;
    QtSystemInfo system;
    QtInstanceLock lock;
    indEnviron settings(indEnviron::kMutexName, indEnviron::kRegistryRoot,
                        indEnviron::kRegistryRoot, store, lock, system, {programPath});
    if (!settings.maySave()) {
        std::fprintf(stderr, "qx5130-cli: the editor is running; its settings were not changed\n");
        return false;
    }
    change(settings, store);
    return settings.save();
}

// One clone command on the session's controller: the terminal's progress bar, the device of
// --device, and a loop that runs until the command chain ends.
class CloneRun {
public:
    CloneRun(const CliOptions& options, CliSession& session, const char* label)
        : m_session(session), m_progress(label) {
        indCloneMan& clone = session.controller().cloneManager();
        clone.SetConnectionTypeSink([this](int type) {
            m_session.settings().transType = type;
            m_learnedConnection = type;
        });
        clone.SetProgressView(&m_progress);
        if (options.device) {
            clone.Engine().Port().SetFixedDevice(*options.device);
        }
    }

    CloneCommands& commands() { return m_session.controller().cloneCommands(); }
    const std::optional<int>& learnedConnection() const { return m_learnedConnection; }

    // Runs one command chain to its end: its outcome and clone error.
    std::pair<CloneCommands::Outcome, int>
    run(const std::function<bool(CloneCommands::Finished)>& start) {
        bool done = false;
        std::pair<CloneCommands::Outcome, int> outcome{CloneCommands::Outcome::CloneError,
                                                       kCloneCannotClone};
        if (!start([&](CloneCommands::Outcome o, int code) {
                outcome = {o, code};
                done = true;
            })) {
            return outcome;
        }
        m_session.loop().runUntil([&] { return done; });
        if (outcome.second == kClonePortOpen || outcome.second == kClonePortLost) {
            // After the editor's text: the device that was tried and why it failed.
            cmcComm& port = m_session.controller().cloneManager().Engine().Port();
            FileErrorDetail detail;
            detail.reason = outcome.second == kClonePortLost ? port.LostError() : port.OpenError();
            CliFiles::printDetail(port.DevicePath(port.PortNumber()), detail);
        }
        return outcome;
    }

    // Asks the transceiver who it is as the initial setup does: no destination is checked.
    std::pair<CloneCommands::Outcome, int> setupInformation() {
        MainController& controller = m_session.controller();
        controller.setHeadlessShown(false);
        const auto result =
            run([this](CloneCommands::Finished f) { return commands().Information(f); });
        controller.setHeadlessShown(true);
        return result;
    }

    // Without a stored destination the first request learns it from the transceiver, as the
    // editor's initial setup does, for this run only.
    bool adoptDestination() {
        if (m_session.document().images().destination() != kDestinationUnset) {
            return true;
        }
        if (setupInformation().first != CloneCommands::Outcome::Done) {
            return false;
        }
        if (!m_session.controller().takeTransceiverSetup()) {
            // A transceiver of no known destination cannot be served.
            m_session.prompt().ask(m_session.controller().cloneManager().ErrorText(kCloneVersion),
                                   m_session.texts().firstLine("GI_Sys_AppTitle"),
                                   PromptIcon::Error, PromptButtons::Ok);
            return false;
        }
        std::fprintf(stderr,
                     "qx5130-cli: no destination is set up; using the transceiver's (%s). "
                     "'qx5130-cli setup' stores it.\n",
                     destinationName(m_session.settings().destination));
        return true;
    }

    void storeLearnedConnection(const char* programPath) {
        if (m_learnedConnection) {
            const int type = *m_learnedConnection;
            storeSettings(programPath,
                          [type](indEnviron& s, SettingsStore&) { s.transType = type; });
        }
    }

private:
    CliSession& m_session;
    TerminalProgress m_progress;
    std::optional<int> m_learnedConnection;
};

const char* g_programPath = "qx5130-cli";

int exitFor(CloneCommands::Outcome outcome) {
    switch (outcome) {
    case CloneCommands::Outcome::Done:
        return kExitOk;
    case CloneCommands::Outcome::CloneError:
        return kExitCloneError;
    default:
        return kExitRefused;
    }
}

void printInformation(const CloneInformation& information) {
    static const std::pair<const char*, CellLinkId> kLines[] = {
        {"Comment:", CL_CloneInfo_Comment},
        {"Destination:", CL_CloneInfo_Destination},
        {"Rx Expansion:", CL_CloneInfo_Rx_Expansion},
        {"FCC:", CL_CloneInfo_FccInh},
        {"Digital Unit:", CL_CloneInfo_DigitalU},
        {"DV:", CL_CloneInfo_DvInh},
        {"Pager:", CL_CloneInfo_Pgr},
    };
    for (const auto& [label, link] : kLines) {
        std::printf("%s\t%s\n", label, cloneInformationText(link, information).c_str());
    }
}

int runInfo(const CliOptions& options, const std::vector<std::string>& args) {
    if (!CommandArguments::parse(args, {"info", {}, 0, 0})) {
        return kExitUsage;
    }
    CliSession session(options);
    CloneRun run(options, session, "Reading");
    if (!run.adoptDestination()) {
        return kExitCloneError;
    }
    const auto [outcome, code] =
        run.run([&](CloneCommands::Finished f) { return run.commands().Information(f); });
    run.storeLearnedConnection(g_programPath);
    (void)code;
    if (outcome == CloneCommands::Outcome::Done) {
        printInformation(run.commands().Block());
    }
    return exitFor(outcome);
}

int runSetup(const CliOptions& given, const std::vector<std::string>& args) {
    static const ArgumentRules rules{
        "setup [--port N | --device PATH]", {{"--port", true}, {"--device", true}}, 0, 0};
    const auto parsed = CommandArguments::parse(args, rules);
    if (!parsed) {
        return kExitUsage;
    }
    // The port to set up may follow the command too; it is the one stored.
    CliOptions options = given;
    if (parsed->has("--port") && parsed->has("--device")) {
        return usageError(rules.usage, "--port and --device exclude each other");
    }
    if (const auto port = parsed->value("--port")) {
        const int n = indInitialSetup::parsePort(*port);
        if (n < 1 || n > 256) {
            return usageError(rules.usage, "--port takes a number from 1 to 256");
        }
        options.port = n;
        options.device.reset();
    }
    if (const auto device = parsed->value("--device")) {
        options.device = *device;
    }
    CliSession session(options);
    CloneRun run(options, session, "Reading");
    const auto [outcome, code] = run.setupInformation();
    (void)code;
    if (outcome != CloneCommands::Outcome::Done) {
        return exitFor(outcome);
    }
    MainController& controller = session.controller();
    const bool known = controller.takeTransceiverSetup();
    const FeatureFlags f = controller.features();
    const std::optional<int> learned = run.learnedConnection();
    const int port = options.port.value_or(1);
    // A device given by path is remembered under a COM number in the editor's port map.
    const std::vector<SerialPortInfo> found =
        options.device ? controller.findPorts() : std::vector<SerialPortInfo>{};
    const bool stored = storeSettings(g_programPath, [&](indEnviron& s, SettingsStore& store) {
        s.destination = known ? session.settings().destination : kDestinationUnset;
        s.fccInhibit = f.fccInhibit;
        s.rxExpansion = f.rxExpansion;
        s.digitalUnit = f.digitalUnit;
        s.dvInhibit = f.dvInhibit;
        s.pagerInhibit = f.pagerInhibit;
        s.setupDone = known;
        if (options.device) {
            std::error_code ec;
            const std::string path = std::filesystem::absolute(*options.device, ec).string();
            const int n = indPortMap(&store).assign(ec ? *options.device : path, found);
            if (n > 0) {
                s.comPort = n;
            }
        } else {
            s.comPort = port;
        }
        if (learned) {
            s.transType = *learned;
        }
    });
    printInformation(controller.cloneInformation());
    return stored ? kExitOk : kExitRefused;
}

int runRead(const CliOptions& options, const std::vector<std::string>& args) {
    static const ArgumentRules rules{"read -o OUT.icf", {{"-o", true}}, 0, 0};
    const auto parsed = CommandArguments::parse(args, rules);
    if (!parsed) {
        return kExitUsage;
    }
    const std::optional<std::string> out = parsed->value("-o");
    if (!out) {
        return usageError(rules.usage, "-o OUT.icf is missing");
    }
    CliSession session(options);
    // The transfer takes a while: its data must have somewhere to go.
    if (const int status = session.files().checkWritable(*out); status != kExitOk) {
        return status;
    }
    CloneRun run(options, session, "Reading");
    if (!run.adoptDestination()) {
        return kExitCloneError;
    }
    const auto [outcome, code] =
        run.run([&](CloneCommands::Finished f) { return run.commands().Read(f); });
    (void)code;
    run.storeLearnedConnection(g_programPath);
    if (outcome != CloneCommands::Outcome::Done) {
        return exitFor(outcome);
    }
    return session.files().save(*out);
}

int runWrite(const CliOptions& options, const std::vector<std::string>& args) {
    const auto parsed =
        CommandArguments::parse(args, {"write FILE.icf [--yes]", {{"--yes", false}}, 1, 1});
    if (!parsed) {
        return kExitUsage;
    }
    const std::string& file = (*parsed)[0];
    CliSession session(options, parsed->has("--yes"));
    if (const int status = session.files().open(file); status != kExitOk) {
        return status;
    }
    CloneRun run(options, session, "Writing");
    const bool unset = session.document().images().destination() == kDestinationUnset;
    if (!run.adoptDestination()) {
        return kExitCloneError;
    }
    // Taking a destination resets the image to its defaults: open the file again for it.
    if (unset) {
        if (const int status = session.files().open(file); status != kExitOk) {
            return status;
        }
    }
    const auto [outcome, code] =
        run.run([&](CloneCommands::Finished f) { return run.commands().Write(f); });
    (void)code;
    run.storeLearnedConnection(g_programPath);
    return exitFor(outcome);
}

const CommandRegistration kInfo{
    {"info", "", "reads the clone information of the transceiver and prints it", &runInfo}};
const CommandRegistration kSetup{
    {"setup", "[--port N | --device PATH]",
     "reads the clone information and stores the destination and variant", &runSetup}};
const CommandRegistration kRead{{"read", "-o OUT.icf",
                                 "reads the transceiver's memory and saves it as a clone file",
                                 &runRead}};
const CommandRegistration kWrite{{"write", "FILE.icf [--yes]",
                                  "writes a clone file into the transceiver (--yes confirms)",
                                  &runWrite}};

} // namespace

} // namespace qx::cli
