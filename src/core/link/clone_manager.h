#pragma once

#include "link/clone_engine.h"
#include "link/clone_result.h"
#include "link/serial_port_catalogue.h"
#include "radio/image_range_list.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace qx {

class cmcEvMan;
class cmcGTex;
class UserPrompt;

// The settings a clone operation is configured from.
struct CloneLinkSettings {
    int port = 1;           // 1-256
    bool highSpeed = false; // 38400 baud for reads and writes
    int connectionType = 0; // 0 plain, 1 echoing cable, 2 4800 baud
};

// The "Cloning" progress window; the user interface plugs it in.
class CloneProgressView {
public:
    virtual ~CloneProgressView() = default;
    virtual void open() = 0;
    // litSegments of the 32 segments are lit; done of total data bytes have moved.
    virtual void paint(int litSegments, std::int32_t done, std::int64_t total) = 0;
    virtual void close() = 0;
};

// Runs the clone engine for the three clone commands: configures it from the settings before
// each operation, shows the progress during transfers, runs the document's checks on what came
// back and reports every failure in one message box.
class indCloneMan {
public:
    using Completion = std::function<void(CloneResult&)>;
    using Check = std::function<void(CloneResult&)>;

    static constexpr std::uint16_t kModelCode = 0x2970;
    static constexpr int kSegments = 32;
    static constexpr int kRepaintMs = 30;

    indCloneMan(Scheduler& scheduler, Clock& clock, std::unique_ptr<SerialDevice> device,
                UserPrompt& prompt, cmcGTex& texts, cmcEvMan* bus = nullptr);
    ~indCloneMan();
    indCloneMan(const indCloneMan&) = delete;
    indCloneMan& operator=(const indCloneMan&) = delete;

    void SetSettingsSource(std::function<CloneLinkSettings()> source) {
        m_settings = std::move(source);
    }
    // Told the connection type that an information request found the transceiver on.
    void SetConnectionTypeSink(std::function<void(int)> sink);
    void SetInformationCheck(Check check) { m_infoCheck = std::move(check); }
    void SetReadCheck(Check check) { m_readCheck = std::move(check); }
    void SetProgressView(CloneProgressView* view) { m_progress = view; }
    // Where the ports are found that a "no such device" message lists.
    void SetPortCatalogue(const SerialPortCatalogue* catalogue) { m_catalogue = catalogue; }

    bool Information(Completion completion);
    bool Read(const ImageRangeList& ranges, Completion completion);
    bool Write(const cmcEeprom& image, const ImageRangeList& ranges, Completion completion);
    bool IsBusy() const { return m_engine.IsBusy(); }
    // Stops the operation running now; its completion runs before this returns, with
    // kCloneCancelled and no error box. False when nothing runs.
    bool Cancel();
    // Seconds the transfer running still needs at the rate so far; -1 while unknown.
    int SecondsLeft() const;
    bool ProgressShowing() const { return m_progressOpen; }
    void SetIdentification(std::uint16_t word0, std::uint16_t word1) {
        m_engine.SetIdentification(word0, word1);
    }
    void SetImageSize(std::int32_t size) { m_engine.SetImageSize(size); }

    // The message box text of a clone error code (empty for 0). A port that failed to open or
    // went away is named by its device, with what the system said and what to do about it.
    std::string ErrorText(int code);
    // How the port of the last operation is named: the path given, or "COM n (path)".
    std::string PortLabel();
    // How many of the 32 segments a transfer of done of total bytes lights.
    static int LitSegments(std::int64_t done, std::int64_t total);

    cmcCloneDrv& Engine() { return m_engine; }
    std::int64_t TotalBytes() const { return m_total; }
    CloneMode Mode() const { return m_mode; }

private:
    void configure(bool forTransfer);
    void onEngineDone(CloneResult& result);
    void repaint();
    void closeProgress();
    std::string portErrorText(int code);

    cmcCloneDrv m_engine;
    Clock& m_clock;
    std::uint32_t m_transferStart = 0;
    UserPrompt& m_prompt;
    cmcGTex& m_texts;
    cmcEvMan* m_bus;
    std::function<CloneLinkSettings()> m_settings;
    Check m_infoCheck;
    Check m_readCheck;
    Completion m_completion;
    CloneMode m_mode = CloneMode::Information;
    std::int64_t m_total = 0;
    int m_port = 1;
    CloneProgressView* m_progress = nullptr;
    const SerialPortCatalogue* m_catalogue = nullptr;
    bool m_progressOpen = false;
    TaskHolder m_repaintTask;
};

} // namespace qx
