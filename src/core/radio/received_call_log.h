#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace qx {

class cmcEeprom;

// One received call as the transceiver recorded it. The texts are the stored bytes, space
// padded as stored.
struct ReceivedCall {
    int record = 0; // 0-19
    std::string caller;
    std::string callerNote;
    std::string repeater1;
    std::string repeater2;
    std::string called;
    std::array<std::uint8_t, 3> date{};
    std::array<std::uint8_t, 3> time{};
    std::uint8_t status = 0; // texts in row_label.h
};

// The received-call log of an image, in the order the received-call sheet shows it.
class ReceivedCallLog {
public:
    static constexpr int kRows = 20;

    explicit ReceivedCallLog(const cmcEeprom& image) : m_image(image) {}

    // The record the order table puts on display row 0-19 (the first one when several claim
    // it); nothing when no record is shown there.
    std::optional<int> recordOfRow(int row) const;
    std::optional<ReceivedCall> row(int row) const;

private:
    const cmcEeprom& m_image;
};

} // namespace qx
