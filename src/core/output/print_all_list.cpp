#include "output/print_all_list.h"

#include "radio/channel_record.h"
#include "radio/image_map.h"

namespace qx {

namespace {

constexpr std::uint32_t kOneGigahertz = 1000000000;

} // namespace

bool bankChannelsPreset(cmcEeprom& image) {
    ChannelRecord record(image);
    for (int channel = 0; channel < imagemap::kMemoryChannelCount; ++channel) {
        if (record.load(kKindChannel, channel) && record.used && record.frequency < kOneGigahertz &&
            record.bankGroup != imagemap::kNoBank) {
            return true;
        }
    }
    return false;
}

} // namespace qx
