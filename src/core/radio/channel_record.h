#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qx {

class cmcEeprom;

// Record kinds of the channel codec.
enum ChannelKind : int {
    kKindLastLoaded = 0, // store only: the kind last loaded
    kKindChannel = 1,    // memory channels 0-499, scan edges 500-519, call channels 520-521
    kKindBankChannel = 2,
    kKindFunction = 3,    // function memories: 0-1 F-1, 2-3 F-2 (left, right band)
    kKindGps = 4,         // GPS memories 0-99
    kKindBandDefault = 6, // band default records 0-7, skip OFF
    kKindBandDefaultSkip = 7,
    kKindOwnPosition = 8,
};

// The decoded form of one packed channel-like record, with its flags from the bitmaps and
// tables around it. A record is attached to an image's bytes; copying it copies the values.
class ChannelRecord {
public:
    using Text8 = std::array<char, 8>;

    ChannelRecord() = default;
    explicit ChannelRecord(cmcEeprom& image) { attach(image); }

    void attach(cmcEeprom& image) { m_image = &image; }
    // Raw: a function memory band in weather channel mode loads and stores its own record
    // instead of showing the weather channel, so that the record is corrected like any other.
    void setRaw(bool raw) { m_raw = raw; }

    // Clears every field (used = true) and unpacks the record. False, with the fields
    // cleared, for a kind or index that has no record or an image too small to hold it.
    bool load(int recordKind, int recordIndex);
    // Packs the fields into the image and loads them back, so the record shows what the image
    // holds. Kind 0 stores as the kind last loaded.
    bool store(int recordKind, int recordIndex);
    bool store() { return store(kind, index); }
    bool reload() { return load(kind, index); }

    // The channel a bank slot (bank 0-25, slot 0-99) names in the bank link table, loaded as
    // kind 1. A slot that names no channel (empty, claimed twice, out of range) gives an empty
    // record of kind 2 that cannot be stored; false then.
    bool loadBankSlot(int bank, int slotNumber);

    // Number of GPS memories in the edited layout: the run of leading slot bytes below 100.
    static int gpsMemoryCount(const cmcEeprom& image);

    static Text8 toText8(std::string_view text); // space padded, cut at 8
    static std::string fromText8(const Text8& text);

    int kind = 0;
    int index = 0;
    bool used = true;
    std::uint32_t frequency = 0;
    int duplex = 0;
    std::uint32_t offset = 0;
    int toneMode = 0;
    int decodeRx = 0;
    int bankGroup = 0;
    int bankChannel = 0;
    int skip = 0;
    int mode = 0;
    int toneIndex = 0;
    int tsqlIndex = 0;
    int dtcsIndex = 0;
    int dtcsPolarity = 0;
    int tuningStep = 0;
    int frequencyGrid = 0;
    int offsetGrid = 0;
    Text8 name{};
    int airFrequency = 0;
    int digitalSquelch = 0;
    int digitalCode = 0;
    Text8 yourCall{};
    Text8 repeater1Call{};
    Text8 repeater2Call{};

    // Function memory extras, from the function memory's settings block.
    int bandFlags = 0; // bits 7 (dual watch) and 2 (right band is main) of the display byte
    int memoryMode = 0;
    int channelSelection = 0;
    int memoryChannel = 0;
    int wxChannel = 0;

    // GPS memory fields.
    std::array<std::uint8_t, 4> latitude{};
    std::array<std::uint8_t, 5> longitude{};
    std::array<std::uint8_t, 3> date{};
    std::array<std::uint8_t, 3> time{};
    int gpsBankGroup = 0;
    int slot = 0;

private:
    void clearFields(int recordKind, int recordIndex);
    void unpackChannel(const std::uint8_t* record, bool withName);
    void packChannel(std::uint8_t* record, bool withName) const;
    void loadFunctionExtras(const std::uint8_t* settings);
    void showWeatherChannel();
    void unpackGps(const std::uint8_t* record);
    void packGps(std::uint8_t* record) const;

    cmcEeprom* m_image = nullptr;
    bool m_raw = false;
};

// Memory modes of a function memory band.
inline constexpr int kMemoryModeMemory = 0;
inline constexpr int kMemoryModeCall = 1;
inline constexpr int kMemoryModeWeather = 2;
inline constexpr int kMemoryModeVfo = 4;

inline constexpr int kModeFm = 0;
inline constexpr int kModeDv = 4;
inline constexpr int kDefaultAirFrequency = 2280;

// Weather channel frequency (Hz) of channel 0-9, 0 for any other.
std::uint32_t weatherChannelFrequency(int channel);

} // namespace qx
