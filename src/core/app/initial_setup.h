#pragma once

#include "base/event_manager.h"

#include <functional>
#include <string>
#include <vector>

namespace qx {

class UserPrompt;
class Views;
class cmcGTex;
class indEnviron;

// The initial setup session: the port of the cloning cable, then the clone information of the
// transceiver, which tells its destination and units. The dialog (TForm2) shows the choices and
// hands OK and Cancel here; this object reacts to the clone messages while it is open.
class indInitialSetup : public EvSubscriber {
public:
    // The radio buttons of the dialog: COM 1 to COM 4, and "More..." with the port edit box.
    static constexpr int kMore = 0;
    // A found port, chosen by its device path.
    static constexpr int kDevice = -1;
    struct PortChoice {
        int radio = 1; // 1-4, kMore or kDevice
        std::string edit;
        std::string device; // with kDevice
    };

    struct Hooks {
        // The destination byte of the clone information just read.
        std::function<int()> transceiverDestination;
        // The frequency limits of the stored destination (Cancel).
        std::function<void()> recomputeLimits;
        // The COM number that opens a device path from now on; 0 when there is none.
        std::function<int(const std::string&)> assignDevice;
        // The path of the found port that the stored number opens; empty when none does.
        std::function<std::string()> currentDevice;
    };

    indInitialSetup(indEnviron& settings, cmcGTex& texts, UserPrompt& prompt, cmcEvMan& bus,
                    Views* views, Hooks hooks);
    ~indInitialSetup() override;
    indInitialSetup(const indInitialSetup&) = delete;
    indInitialSetup& operator=(const indInitialSetup&) = delete;

    // What the dialog starts with: the stored port 1-4 checks its button, 5-256 goes into the
    // edit box with "More..." checked, anything else checks COM 1. A number that opens a found
    // port checks that port instead.
    PortChoice initialChoice() const;
    std::string caption();
    std::string cancelCaption();
    std::vector<std::string> memoLines();

    // OK: a found port, a device path typed into the edit box, or a port from 1 to 256 is stored
    // and the transceiver is asked who it is; another value gets the out-of-range box and the
    // dialog stays open.
    bool ok(const PortChoice& choice);
    // Cancel: nothing changes; the dialog closes.
    void cancel();
    // The dialog closes (also from the window's close button).
    void close();

    bool open() const { return m_open; }
    bool enabled() const { return m_enabled; }

    void onMessage(const EvMessage& message, cmcEvMan& bus) override;

    // A port number typed into an edit box: blanks around it are ignored; anything that is not
    // a number reads as 0.
    static int parsePort(const std::string& text);
    // Text typed where a port number is asked for that names a device instead.
    static bool isDevicePath(const std::string& text);
    static std::string trimmed(const std::string& text);

private:
    indEnviron& m_settings;
    cmcGTex& m_texts;
    UserPrompt& m_prompt;
    cmcEvMan& m_bus;
    Views* m_views;
    Hooks m_hooks;
    bool m_open = true;
    bool m_enabled = true;
};

} // namespace qx
