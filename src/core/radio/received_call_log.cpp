#include "radio/received_call_log.h"

#include "radio/eeprom.h"
#include "radio/image_map.h"

namespace qx {

namespace {

// Offsets within a record.
constexpr std::int32_t kCaller = 0;
constexpr std::int32_t kCallerNote = 8;
constexpr std::int32_t kRepeater1 = 12;
constexpr std::int32_t kRepeater2 = 20;
constexpr std::int32_t kCalled = 28;
constexpr std::int32_t kDate = 36;
constexpr std::int32_t kTime = 39;

} // namespace

std::optional<int> ReceivedCallLog::recordOfRow(int row) const {
    if (row < 0 || row >= kRows || m_image.size() < imagemap::kTransceiverSize) {
        return std::nullopt;
    }
    for (int record = 0; record < imagemap::kReceivedCallCount; ++record) {
        if (m_image.getByte(imagemap::kReceivedCallOrder + record) == row) {
            return record;
        }
    }
    return std::nullopt;
}

std::optional<ReceivedCall> ReceivedCallLog::row(int displayRow) const {
    const std::optional<int> record = recordOfRow(displayRow);
    if (!record) {
        return std::nullopt;
    }
    const std::int32_t base = imagemap::kReceivedCalls + *record * imagemap::kReceivedCallSize;
    const auto text = [&](std::int32_t offset, std::int32_t width) {
        std::string bytes(static_cast<std::size_t>(width), ' ');
        for (std::int32_t i = 0; i < width; ++i) {
            bytes[static_cast<std::size_t>(i)] =
                static_cast<char>(m_image.getByte(base + offset + i));
        }
        return bytes;
    };
    ReceivedCall call;
    call.record = *record;
    call.caller = text(kCaller, 8);
    call.callerNote = text(kCallerNote, 4);
    call.repeater1 = text(kRepeater1, 8);
    call.repeater2 = text(kRepeater2, 8);
    call.called = text(kCalled, 8);
    for (std::size_t i = 0; i < 3; ++i) {
        call.date[i] = m_image.getByte(base + kDate + static_cast<std::int32_t>(i));
        call.time[i] = m_image.getByte(base + kTime + static_cast<std::int32_t>(i));
    }
    call.status = m_image.getByte(imagemap::kReceivedCallStatus + *record);
    return call;
}

} // namespace qx
