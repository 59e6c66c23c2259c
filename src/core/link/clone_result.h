#pragma once

#include "link/byte_buffer.h"
#include "radio/eeprom.h"

#include <cstdint>

namespace qx {

// Results of a clone operation; only the user interface turns them into texts.
enum CloneErrorCode : int {
    kCloneOk = 0,
    kCloneCannotClone = 1,
    kClonePortOpen = 2,
    kCloneBufferOverflow = 3,
    kCloneEcho = 4,
    kCloneNoAnswer = 5,
    kCloneIllegalData = 6,
    kCloneCounter = 7,
    kCloneNotEnoughData = 8,
    kCloneDataOverflow = 9,
    kCloneWriteFailed = 10,
    kCloneIllegalInfo = 11,
    kCloneIllegalInfo2 = 12,
    kCloneVersion = 13,
    kCloneModel = 14,
    kCloneFormatTag = 15,
    kCloneNewer = 16,
    kCloneWriteFault = 17,
    // Beyond the transceiver's own codes: the port went away during the operation.
    kClonePortLost = 18,
    // The user stopped the transfer; no error box, the commands say what it means.
    kCloneCancelled = 19,
};

enum class CloneMode : int { Information = 1, Read = 2, Write = 3 };

// What one operation of the clone engine produced.
struct CloneResult {
    CloneMode mode = CloneMode::Information;
    int error = kClonePortOpen;
    std::uint16_t word0 = 0;
    std::uint16_t word1 = 0;
    cmcBuff info;     // the bytes after the identification words of the information reply
    cmcEeprom image;  // filled by a read; the image being sent by a write
    cmcBuff received; // one bit per image address that a data frame filled
};

} // namespace qx
