#include "app/clone_commands.h"

#include "app/document.h"
#include "base/event_manager.h"
#include "base/user_prompt.h"
#include "radio/image_map.h"
#include "text/text_table.h"

#include <algorithm>
#include <cstring>

namespace qx {

CloneCommands::CloneCommands(indCloneMan& clone, indDocument& document, FeatureFlags& features,
                             UserPrompt& prompt, cmcGTex& texts, cmcEvMan* bus)
    : m_clone(clone), m_document(document), m_features(features), m_prompt(prompt), m_texts(texts),
      m_bus(bus) {
    m_clone.SetInformationCheck([this](CloneResult& r) { informationCheck(r); });
    m_clone.SetReadCheck([this](CloneResult& r) { readCheck(r); });
}

ImageRangeList CloneCommands::readRanges() {
    return {{imagemap::kTransceiverStart, imagemap::kTransceiverEnd}};
}

ImageRangeList CloneCommands::writeRanges() {
    return {{0x0000, 0x61DF}, {0x61E0, 0x66BF}, {0x66C0, 0x696F}, {0x6970, 0x716F},
            {0x7170, 0x7CDF}, {0x7CE0, 0x9F9F}, {0x9FA0, 0xA7BF}, {0xA7C0, 0xAA7F},
            {0xAA80, 0xAC7F}, {0xAC80, 0xACBF}};
}

void CloneCommands::end(Outcome outcome, int code) {
    Finished finished = std::move(m_finished);
    m_finished = nullptr;
    if (finished) {
        finished(outcome, code);
    }
}

void CloneCommands::endFailed(int code) {
    end(code == kCloneCancelled ? Outcome::Cancelled : Outcome::CloneError, code);
}

bool CloneCommands::Cancel() {
    return m_clone.Cancel();
}

bool CloneCommands::startInformation(indCloneMan::Completion next) {
    // What the views show depends on these three: a change after the clone rebuilds them.
    m_remembered = m_features;
    m_clone.SetIdentification(indCloneMan::kModelCode, kWordSent1);
    return m_clone.Information(std::move(next));
}

void CloneCommands::informationCheck(CloneResult& r) {
    if (r.word0 != indCloneMan::kModelCode) {
        r.error = kCloneIllegalInfo;
        return;
    }
    if (r.word1 != kReplyWord1) {
        r.error = kCloneModel;
        return;
    }
    if (!m_block.assign({r.info.Data(), static_cast<std::size_t>(r.info.Size())})) {
        r.error = kCloneIllegalInfo;
        return;
    }
    m_blockValid = true;
    if (mainWindowVisible()) {
        const DestinationCode ours = m_document.images().destination();
        if (ours == kDestinationUnset || ours != m_block.destination()) {
            r.error = kCloneVersion;
        }
    }
}

void CloneCommands::readCheck(CloneResult& r) {
    const auto tag = imagemap::kMapFormatTagText;
    if (r.image.size() < imagemap::kMapFormatTag + imagemap::kMapFormatTagSize ||
        std::memcmp(r.image.data() + imagemap::kMapFormatTag, tag.data(), tag.size()) != 0) {
        r.error = kCloneFormatTag;
    }
}

void CloneCommands::ApplyCloneInformation(bool takeFlags, bool rebuildIfChanged) {
    if (!m_blockValid) {
        return;
    }
    if (takeFlags && m_document.images().destination() <= kDestinationUnset) {
        m_features = m_block.features();
        m_document.setFeatureFlags(m_features);
    }
    if (rebuildIfChanged) {
        const FeatureFlags& now = m_features;
        if (now.digitalUnit != m_remembered.digitalUnit ||
            now.dvInhibit != m_remembered.dvInhibit ||
            now.pagerInhibit != m_remembered.pagerInhibit) {
            call(m_views.rebuild);
        }
    }
}

int CloneCommands::AdoptTransceiverSetup() {
    if (!m_blockValid || m_block.destination() >= kDestinationCount) {
        return -1;
    }
    m_document.setDestination(m_block.destination());
    m_features = m_block.features();
    m_document.setFeatureFlags(m_features);
    return m_block.destination();
}

void CloneCommands::onMessage(const EvMessage& message, cmcEvMan&) {
    if (message.id == MessageId::ReadCloneInformation) {
        Information();
    } else if (message.id == MessageId::InitialSetupDone) {
        AdoptTransceiverSetup();
    }
}

// --- Read ------------------------------------------------------------------------------------

bool CloneCommands::Read(Finished finished) {
    if (m_clone.IsBusy()) {
        return false;
    }
    if (m_document.closeCheck(false) == PromptAnswer::Cancel) {
        m_finished = std::move(finished);
        end(Outcome::Cancelled);
        return true;
    }
    m_finished = std::move(finished);
    return startInformation([this](CloneResult& r) { afterReadInformation(r); });
}

void CloneCommands::afterReadInformation(CloneResult& r) {
    if (r.error != kCloneOk) {
        endFailed(r.error);
        return;
    }
    m_clone.SetImageSize(m_document.current().size());
    m_clone.Read(readRanges(), [this](CloneResult& result) { takeReadImage(result); });
}

void CloneCommands::takeReadImage(CloneResult& r) {
    // The document stays as it was: nothing of a failed or cancelled read is taken.
    if (r.error != kCloneOk) {
        endFailed(r.error);
        return;
    }
    ApplyCloneInformation(true, false);
    m_document.history().record(EditAction::Entry); // what came before is a step of its own
    if (!m_document.images().takeReadImage(r.image, m_features)) {
        end(Outcome::CloneError, kCloneIllegalData);
        return;
    }
    m_document.history().record(EditAction::CloneRead);
    m_document.becomeUntitled();
    call(m_views.imageReplaced);
    ApplyCloneInformation(false, true);
    call(m_views.closeOpenSheet);
    if (m_readBackup) {
        m_readBackup(r.image);
    }
    end(Outcome::Done);
}

// --- Write -----------------------------------------------------------------------------------

bool CloneCommands::Write(Finished finished) {
    if (m_clone.IsBusy()) {
        return false;
    }
    m_finished = std::move(finished);
    return startInformation([this](CloneResult& r) { afterWriteInformation(r); });
}

void CloneCommands::afterWriteInformation(CloneResult& r) {
    if (r.error != kCloneOk) {
        // A failed second request needs a fresh confirmation.
        m_writeConfirmed = false;
        endFailed(r.error);
        return;
    }
    ApplyCloneInformation(true, true);
    call(m_views.closeOpenSheet);
    int errors = 0;
    int warnings = 0;
    if (m_checks != nullptr) {
        m_checks->count(m_document.current(), errors, warnings);
    }
    const std::string caption = m_texts.firstLine("GI_Sys_AppTitle");
    if (errors > 0) {
        m_prompt.ask(m_texts.blockText("GI_Mess_DataError"), caption, PromptIcon::Error,
                     PromptButtons::Ok);
        m_writeConfirmed = false;
        end(Outcome::Refused);
        return;
    }
    if (!m_writeConfirmed) {
        const char* key = warnings > 0 ? "GI_Mess_DataWarn" : "GI_Mess_Confirm_CloneWrite";
        if (m_prompt.ask(m_texts.blockText(key), caption, PromptIcon::Warning,
                         PromptButtons::OkCancel) != PromptAnswer::Ok) {
            end(Outcome::Refused);
            return;
        }
        m_writeConfirmed = true;
        // Ask the transceiver once more just before writing.
        if (!startInformation([this](CloneResult& again) { afterWriteInformation(again); })) {
            m_writeConfirmed = false;
            end(Outcome::CloneError, kCloneCannotClone);
        }
        return;
    }
    m_writeConfirmed = false;
    sendImage();
}

void CloneCommands::sendImage() {
    ImageSet& images = m_document.images();
    m_clone.SetImageSize(images.current().size());
    m_document.history().record(EditAction::Entry);
    const cmcEeprom copy = images.imageForWrite(m_features);
    m_document.history().absorb();
    // The correction may have changed the edited image too.
    m_document.checkModified();
    m_clone.Write(copy, writeRanges(), [this](CloneResult& r) {
        if (r.error != kCloneOk) {
            // Whatever stopped it, the transceiver may have taken some frames already.
            m_prompt.ask(m_texts.blockText("GI_Mess_CloneWrite_Partial"),
                         m_texts.firstLine("GI_Sys_AppTitle"), PromptIcon::Warning,
                         PromptButtons::Ok);
            endFailed(r.error);
            return;
        }
        call(m_views.closeOpenSheet);
        m_prompt.ask(m_texts.blockText("GI_Mess_CloneWrite_Succeeded"),
                     m_texts.firstLine("GI_Sys_AppTitle"), PromptIcon::Information,
                     PromptButtons::Ok);
        end(Outcome::Done);
    });
}

// --- Information -----------------------------------------------------------------------------

bool CloneCommands::Information(Finished finished) {
    if (m_clone.IsBusy()) {
        return false;
    }
    m_finished = std::move(finished);
    return startInformation([this](CloneResult& r) {
        if (r.error != kCloneOk) {
            endFailed(r.error);
            return;
        }
        ApplyCloneInformation(true, true);
        if (mainWindowVisible()) {
            call(m_views.showInformation);
            call(m_views.closeOpenSheet);
        } else if (m_bus != nullptr) {
            m_bus->post(MessageId::SetupInformationRead);
        }
        end(Outcome::Done);
    });
}

} // namespace qx
