#pragma once

#include "base/event_manager.h"
#include "link/clone_manager.h"
#include "radio/clone_information.h"
#include "radio/feature_flags.h"
#include "radio/image_range_list.h"

#include <cstdint>
#include <functional>
#include <string>

namespace qx {

class cmcEvMan;
class cmcGTex;
class indDocument;
class UserPrompt;

// The setting checks that a write runs first; the checks of the editor plug in here.
class CloneWriteChecks {
public:
    virtual ~CloneWriteChecks() = default;
    virtual void count(const cmcEeprom& image, int& errors, int& warnings) = 0;
};

// The Clone menu: Read, Write and Information as chains of clone operations. Every Read and
// Write first asks the transceiver who it is and goes on only when it answers correctly.
class CloneCommands : public EvSubscriber {
public:
    // How a command ended.
    enum class Outcome { Done, CloneError, Refused, Cancelled };
    using Finished = std::function<void(Outcome outcome, int cloneError)>;

    // What the windows do around the commands; each may be left empty.
    struct Views {
        std::function<bool()> mainWindowVisible; // empty: visible
        std::function<void()> rebuild;           // a remembered feature flag changed
        std::function<void()> closeOpenSheet;    // close and rebuild the sheet shown
        std::function<void()> showInformation;   // the clone information dialog
        std::function<void()> imageReplaced;     // the sheets reload from the image
    };

    static constexpr std::uint16_t kWordSent1 = 0x0000;
    static constexpr std::uint16_t kReplyWord1 = 0x0001;

    CloneCommands(indCloneMan& clone, indDocument& document, FeatureFlags& features,
                  UserPrompt& prompt, cmcGTex& texts, cmcEvMan* bus = nullptr);
    CloneCommands(const CloneCommands&) = delete;
    CloneCommands& operator=(const CloneCommands&) = delete;

    void SetViews(Views views) { m_views = std::move(views); }
    void SetSettingChecks(CloneWriteChecks* checks) { m_checks = checks; }
    // Told of every image a read took, exactly as the transceiver sent it.
    void SetReadBackup(std::function<void(const cmcEeprom& received)> backup) {
        m_readBackup = std::move(backup);
    }

    // Each does nothing (false) while the engine is busy.
    bool Read(Finished finished = {});
    bool Write(Finished finished = {});
    bool Information(Finished finished = {});
    // Stops the command running: a read leaves the document as it was, a cancelled write warns
    // that the transceiver may hold part of the new data. The command ends Cancelled before
    // this returns; false when none runs.
    bool Cancel();
    bool Running() const { return m_clone.IsBusy(); }

    // What the initial setup learns: a known destination of the transceiver becomes the
    // document's, with its defaults as the current, saved data. The destination taken, or -1.
    int AdoptTransceiverSetup();

    // Message 29 starts the information request of the initial setup; message 32 adopts what
    // it learned.
    void onMessage(const EvMessage& message, cmcEvMan& bus) override;

    // Notification 31: take the feature flags from the clone information; rebuild the views
    // when one of the three flags remembered at the clone start changed.
    void ApplyCloneInformation(bool takeFlags, bool rebuildIfChanged);

    // The clone information the transceiver gave last, and whether it gave any.
    const CloneInformation& Block() const { return m_block; }
    bool HasBlock() const { return m_blockValid; }
    bool WriteConfirmed() const { return m_writeConfirmed; }

    static ImageRangeList readRanges();
    static ImageRangeList writeRanges();

private:
    bool startInformation(indCloneMan::Completion next);
    void informationCheck(CloneResult& result);
    void readCheck(CloneResult& result);
    void afterReadInformation(CloneResult& result);
    void takeReadImage(CloneResult& result);
    void afterWriteInformation(CloneResult& result);
    void sendImage();
    // A clone error, or Cancelled for the user's stop.
    void endFailed(int code);
    void end(Outcome outcome, int code = kCloneOk);
    bool mainWindowVisible() const {
        return !m_views.mainWindowVisible || m_views.mainWindowVisible();
    }
    static void call(const std::function<void()>& f) {
        if (f) {
            f();
        }
    }

    indCloneMan& m_clone;
    indDocument& m_document;
    FeatureFlags& m_features;
    UserPrompt& m_prompt;
    cmcGTex& m_texts;
    cmcEvMan* m_bus;
    Views m_views;
    CloneWriteChecks* m_checks = nullptr;
    CloneInformation m_block;
    bool m_blockValid = false;
    FeatureFlags m_remembered;
    bool m_writeConfirmed = false;
    Finished m_finished;
    std::function<void(const cmcEeprom&)> m_readBackup;
};

} // namespace qx
