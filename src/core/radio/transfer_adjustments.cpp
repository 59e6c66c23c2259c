#include "radio/transfer_adjustments.h"

#include "radio/channel_record.h"
#include "radio/eeprom.h"
#include "radio/frequency_band.h"
#include "radio/image_map.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace qx {

namespace {

namespace map = imagemap;

constexpr std::int32_t kGpsAlarm = map::kMainSettings + 0x128;
constexpr std::uint8_t kGpsAlarmRx = 1;

bool holdsTransceiverPart(const cmcEeprom& image) {
    return image.size() >= map::kTransceiverSize;
}

// Rewrites both GPS areas so that memory `from[i]` lands in slot `to[i]`.
void moveGpsMemories(cmcEeprom& image, const std::vector<int>& from, const std::vector<int>& to) {
    std::uint8_t* bytes = image.data();
    const std::vector<std::uint8_t> records(bytes + map::kGpsMemories,
                                            bytes + map::kGpsMemories +
                                                map::kGpsMemoryCount * map::kGpsRecordSize);
    std::fill_n(bytes + map::kGpsMemories, map::kGpsMemoryCount * map::kGpsRecordSize,
                static_cast<std::uint8_t>(0xFF));
    std::fill_n(bytes + map::kGpsSlotList, map::kGpsMemoryCount, map::kGpsSlotFree);
    for (std::size_t i = 0; i < from.size(); ++i) {
        std::memcpy(bytes + map::kGpsMemories + to[i] * map::kGpsRecordSize,
                    records.data() + from[i] * map::kGpsRecordSize,
                    static_cast<std::size_t>(map::kGpsRecordSize));
        bytes[map::kGpsSlotList + to[i]] = static_cast<std::uint8_t>(to[i]);
    }
}

template <typename Visit> void forEachChannel(Visit visit) {
    for (int index = 0; index < map::kChannelCount; ++index) {
        visit(kKindChannel, index);
    }
    for (int index = 0; index < map::kFunctionRecordCount; ++index) {
        visit(kKindFunction, index);
    }
}

} // namespace

bool adjustAfterRead(cmcEeprom& image, const FeatureFlags& flags) {
    if (!holdsTransceiverPart(image)) {
        return false;
    }
    if (!flags.hasUsableDv()) {
        ChannelRecord record(image);
        forEachChannel([&record](int kind, int index) {
            record.load(kind, index);
            if (record.mode == kModeDv) {
                record.mode = kModeFm;
                record.store();
            }
        });
        if (image.getByte(kGpsAlarm) == kGpsAlarmRx) {
            image.setByte(kGpsAlarm, 0);
        }
    }
    // The transceiver's memories are the trailing slots in use; each slot byte names its record.
    int count = 0;
    while (count < map::kGpsMemoryCount && image.getByte(map::kGpsSlotList + map::kGpsMemoryCount -
                                                         1 - count) < map::kGpsMemoryCount) {
        ++count;
    }
    std::vector<int> from;
    std::vector<int> to;
    for (int i = 0; i < count; ++i) {
        from.push_back(image.getByte(map::kGpsSlotList + map::kGpsMemoryCount - count + i));
        to.push_back(i);
    }
    moveGpsMemories(image, from, to);
    return true;
}

bool prepareForWrite(cmcEeprom& copy, const cmcEeprom& defaults, DestinationCode destination,
                     const FrequencyRangeTable& ranges, const FeatureFlags& flags) {
    if (!holdsTransceiverPart(copy) || !holdsTransceiverPart(defaults)) {
        return false;
    }
    // Without a destination nothing draws a warning.
    if (destination >= 0 && destination < kDestinationCount) {
        ChannelRecord record(copy);
        cmcEeprom defaultsCopy(defaults); // the codec needs a writable image to load from
        forEachChannel([&](int kind, int index) {
            record.load(kind, index);
            if (!record.used) {
                return;
            }
            const int side = kind == kKindFunction && record.memoryMode == kMemoryModeVfo
                                 ? index % 2
                                 : frequency::kSideEither;
            if (frequency::isFlagged(record.frequency, side, ranges, flags)) {
                ChannelRecord replacement(defaultsCopy);
                replacement.load(kind, index);
                replacement.attach(copy);
                replacement.store(kind, index);
            }
        });
    }
    const int count = ChannelRecord::gpsMemoryCount(copy);
    std::vector<int> from;
    std::vector<int> to;
    for (int i = 0; i < count; ++i) {
        from.push_back(i);
        to.push_back(map::kGpsMemoryCount - count + i);
    }
    moveGpsMemories(copy, from, to);
    return true;
}

} // namespace qx
