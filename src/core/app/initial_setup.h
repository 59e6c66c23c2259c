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
    struct PortChoice {
        int radio = 1; // 1-4, or kMore
        std::string edit;
    };

    struct Hooks {
        // The destination byte of the clone information just read.
        std::function<int()> transceiverDestination;
        // The frequency limits of the stored destination (Cancel).
        std::function<void()> recomputeLimits;
    };

    indInitialSetup(indEnviron& settings, cmcGTex& texts, UserPrompt& prompt, cmcEvMan& bus,
                    Views* views, Hooks hooks);
    ~indInitialSetup() override;
    indInitialSetup(const indInitialSetup&) = delete;
    indInitialSetup& operator=(const indInitialSetup&) = delete;

    // What the dialog starts with: the stored port 1-4 checks its button, 5-256 goes into the
    // edit box with "More..." checked, anything else checks COM 1.
    PortChoice initialChoice() const;
    std::string caption();
    std::string cancelCaption();
    std::vector<std::string> memoLines();

    // OK: a port from 1 to 256 is stored and the transceiver is asked who it is; another value
    // gets the out-of-range box and the dialog stays open.
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
