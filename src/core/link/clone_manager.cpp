#include "link/clone_manager.h"

#include "base/event_manager.h"
#include "base/user_prompt.h"
#include "text/text_table.h"

#include <cstdio>
#include <vector>

namespace qx {

namespace {

// Which lines of the check block follow the head line of each error code.
std::vector<int> checkLines(int code) {
    switch (code) {
    case kCloneWriteFailed:
        return {0, 2, 3};
    case kCloneIllegalInfo:
    case kCloneIllegalInfo2:
        return {0, 1, 2, 3, 4, 5};
    case kCloneVersion:
        return {6, 7};
    case kCloneModel:
        return {0, 4, 5};
    case kCloneNewer:
        return {};
    default:
        return {0, 1, 2, 3};
    }
}

std::string formatPort(const std::string& pattern, int port) {
    if (pattern.find("%d") == std::string::npos) {
        return pattern;
    }
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.compare(i, 2, "%d") == 0) {
            out += std::to_string(port);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

// Fills each "%s" or "%d" of a pattern with the next value.
std::string fill(const std::string& pattern, const std::vector<std::string>& values) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() &&
            (pattern[i + 1] == 's' || pattern[i + 1] == 'd') && next < values.size()) {
            out += values[next++];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string speedPreCommand(const char* settings, int speedByte) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "(%s)FEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFE EEEF E8 %04X%04X 0000 02 %02X FD",
                  settings, indCloneMan::kModelCode, 1, speedByte);
    return text;
}

} // namespace

indCloneMan::indCloneMan(Scheduler& scheduler, Clock& clock, std::unique_ptr<SerialDevice> device,
                         UserPrompt& prompt, cmcGTex& texts, cmcEvMan* bus)
    : m_engine(scheduler, clock, std::move(device)), m_clock(clock), m_prompt(prompt),
      m_texts(texts), m_bus(bus), m_repaintTask(scheduler) {
    m_repaintTask->setCallback([this](cmcTask&) { repaint(); });
}

indCloneMan::~indCloneMan() {
    m_repaintTask->detach();
}

void indCloneMan::SetConnectionTypeSink(std::function<void(int)> sink) {
    m_engine.SetConnectionTypeHandler(std::move(sink));
}

int indCloneMan::LitSegments(std::int64_t done, std::int64_t total) {
    if (total <= 0) {
        return 0;
    }
    const std::int64_t lit = 33 * done / total;
    return static_cast<int>(lit < kSegments ? lit : kSegments);
}

void indCloneMan::configure(bool forTransfer) {
    const CloneLinkSettings s = m_settings ? m_settings() : CloneLinkSettings{};
    const int type = s.connectionType >= 0 && s.connectionType <= 2 ? s.connectionType : 0;
    m_port = s.port;
    if (!forTransfer) {
        m_engine.SetLineSettings(type == 2 ? "4800,N,8,1" : "9600,N,8,1");
        m_engine.SetPreCommand("");
    } else if (s.highSpeed) {
        m_engine.SetLineSettings("38400,N,8,1");
        m_engine.SetPreCommand(speedPreCommand(type == 2 ? "4800,N,8,1" : "9600,N,8,1", 0x01));
        m_engine.SetCommandPreamble(12);
        m_engine.SetDataPreambles(0, 0);
    } else if (type == 2) {
        m_engine.SetLineSettings("9600,N,8,1");
        m_engine.SetPreCommand(speedPreCommand("4800,N,8,1", 0x00));
        m_engine.SetCommandPreamble(12);
        m_engine.SetDataPreambles(0, 0);
    } else {
        m_engine.SetLineSettings("9600,N,8,1");
    }
    m_engine.SetPort(s.port);
    m_engine.SetStartDelay(200);
    m_engine.SetEcho(type == 1);
    m_engine.SetLowSpeed(type == 2);
    m_engine.SetFrameCounter(true);
    m_engine.SetBytesPerFrame(32);
    m_engine.SetWriteAckTimeout(10000);
}

bool indCloneMan::Information(Completion completion) {
    if (IsBusy()) {
        return false;
    }
    if (m_bus != nullptr) {
        m_bus->post(MessageId::CloneStarted);
    }
    m_mode = CloneMode::Information;
    m_total = 0;
    configure(false);
    m_completion = std::move(completion);
    return m_engine.StartInformation([this](CloneResult& r) { onEngineDone(r); });
}

bool indCloneMan::Read(const ImageRangeList& ranges, Completion completion) {
    if (IsBusy()) {
        return false;
    }
    m_mode = CloneMode::Read;
    configure(true);
    m_total = ranges.byteCount(m_engine.ImageSize());
    m_transferStart = m_clock.tickCount();
    m_completion = std::move(completion);
    m_engine.StartRead(ranges, [this](CloneResult& r) { onEngineDone(r); });
    if (m_progress != nullptr) {
        m_progress->open();
        m_progressOpen = true;
    }
    repaint(); // the texts show from the start
    m_repaintTask->schedule(kRepaintMs);
    return true;
}

bool indCloneMan::Write(const cmcEeprom& image, const ImageRangeList& ranges,
                        Completion completion) {
    if (IsBusy()) {
        return false;
    }
    m_mode = CloneMode::Write;
    configure(true);
    m_total = ranges.byteCount(image.size());
    m_transferStart = m_clock.tickCount();
    m_completion = std::move(completion);
    m_engine.StartWrite(image, ranges, [this](CloneResult& r) { onEngineDone(r); });
    if (m_progress != nullptr) {
        m_progress->open();
        m_progressOpen = true;
    }
    repaint(); // the texts show from the start
    m_repaintTask->schedule(kRepaintMs);
    return true;
}

bool indCloneMan::Cancel() {
    return m_engine.Cancel();
}

int indCloneMan::SecondsLeft() const {
    const std::int64_t done = m_engine.DataBytes();
    const std::int64_t elapsed = static_cast<std::uint32_t>(m_clock.tickCount() - m_transferStart);
    // Too early for a rate that means anything.
    if (m_mode == CloneMode::Information || done <= 0 || elapsed < 1000 || m_total <= 0) {
        return -1;
    }
    const std::int64_t rest = m_total > done ? m_total - done : 0;
    const std::int64_t ms = rest * elapsed / done;
    return static_cast<int>((ms + 999) / 1000);
}

void indCloneMan::repaint() {
    if (m_progress != nullptr && m_progressOpen) {
        m_progress->paint(LitSegments(m_engine.DataBytes(), m_total), m_engine.DataBytes(),
                          m_total);
    }
    if (!m_engine.IsBusy()) {
        m_repaintTask->schedule(-1);
    }
}

void indCloneMan::closeProgress() {
    if (m_progressOpen && m_progress != nullptr) {
        m_progress->close();
        m_progressOpen = false;
    }
    if (m_bus != nullptr && m_mode != CloneMode::Information) {
        m_bus->post(MessageId::CloneProgressClosed);
    }
}

std::string indCloneMan::PortLabel() {
    cmcComm& port = m_engine.Port();
    const std::string path = port.DevicePath(m_port);
    if (port.DeviceFixed()) {
        return path;
    }
    return fill(m_texts.firstLine("GI_Mess_PortErr_Label"), {std::to_string(m_port), path});
}

std::string indCloneMan::portErrorText(int code) {
    cmcComm& port = m_engine.Port();
    const std::error_code reason = code == kClonePortLost ? port.LostError() : port.OpenError();
    SerialFailure failure = code == kClonePortLost ? SerialFailure::Lost : serialFailureOf(reason);
    if (failure == SerialFailure::Lost && code != kClonePortLost) {
        failure = SerialFailure::Other;
    }
    const char* block = nullptr;
    int head = 0;
    switch (failure) {
    case SerialFailure::Missing:
        block = "GI_Mess_PortErr_Missing";
        head = 1;
        break;
    case SerialFailure::Denied:
        block = "GI_Mess_PortErr_Denied";
        head = 2;
        break;
    case SerialFailure::Busy:
        block = "GI_Mess_PortErr_Busy";
        head = 3;
        break;
    case SerialFailure::NotSerial:
        block = "GI_Mess_PortErr_NotSerial";
        head = 4;
        break;
    case SerialFailure::Lost:
        block = "GI_Mess_PortErr_Lost";
        head = 5;
        break;
    default:
        break;
    }
    std::string text = fill(m_texts.line("GI_Mess_PortErr_Head", head), {PortLabel()});
    text += "\n\n";
    if (block == nullptr) {
        // Nothing the system said that advice could follow: the transceiver's own checks.
        const std::vector<int> lines = checkLines(kClonePortOpen);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i > 0) {
                text += '\n';
            }
            text += m_texts.line("GI_Mess_CloneErr_Check", lines[i]);
        }
        return text;
    }
    if (failure == SerialFailure::Denied) {
        const std::string group = port.OpenGroup();
        if (group.empty() || group == "root") {
            // Joining root's group is no advice to give.
            text += m_texts.line(block, 3);
        } else {
            for (int i = 0; i < 3; ++i) {
                if (i > 0) {
                    text += '\n';
                }
                text += fill(m_texts.line(block, i), {group});
            }
        }
    } else if (failure == SerialFailure::Missing) {
        text += m_texts.line(block, 0) + "\n";
        const std::vector<SerialPortInfo> found =
            m_catalogue != nullptr ? m_catalogue->ports() : std::vector<SerialPortInfo>{};
        if (found.empty()) {
            text += m_texts.line(block, 2);
        } else {
            text += m_texts.line(block, 1);
            for (const auto& p : found) {
                text += "\n    " + p.path() + "  " + p.description;
            }
        }
    } else {
        text += m_texts.firstLine(block);
    }
    return text;
}

std::string indCloneMan::ErrorText(int code) {
    if (code == kCloneOk) {
        return {};
    }
    if (code == kClonePortLost) {
        return portErrorText(code);
    }
    if (code == kClonePortOpen && (m_engine.Port().DeviceFixed() || m_engine.Port().OpenError())) {
        return portErrorText(code);
    }
    std::string text = m_texts.line("GI_Mess_CloneErr_Head", code);
    if (code == kClonePortOpen) {
        // No reason the system could name: the transceiver's own text and checks.
        text = formatPort(text, m_port);
    }
    const std::vector<int> lines = checkLines(code);
    if (!lines.empty()) {
        text += "\n\n";
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i > 0) {
                text += '\n';
            }
            text += m_texts.line("GI_Mess_CloneErr_Check", lines[i]);
        }
    }
    return text;
}

void indCloneMan::onEngineDone(CloneResult& result) {
    if (result.error == kCloneOk) {
        if (result.mode == CloneMode::Information) {
            if (m_infoCheck) {
                m_infoCheck(result);
            } else {
                result.error = kCloneIllegalInfo;
            }
        } else if (result.mode == CloneMode::Read) {
            if (m_readCheck) {
                m_readCheck(result);
            } else {
                result.error = kCloneNotEnoughData;
            }
        }
    }
    if (result.error != kCloneOk && result.error != kCloneCancelled) {
        m_prompt.ask(ErrorText(result.error), m_texts.firstLine("GI_Sys_AppTitle"),
                     PromptIcon::Error, PromptButtons::Ok);
    }
    closeProgress();
    if (m_bus != nullptr) {
        m_bus->post(MessageId::CloneFinished, result.error == kCloneOk ? 1 : 0);
    }
    Completion completion = std::move(m_completion);
    m_completion = nullptr;
    if (completion) {
        completion(result);
    }
}

} // namespace qx
