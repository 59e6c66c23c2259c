#include "app/environ.h"

#include "base/instance_lock.h"
#include "base/settings_store.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <optional>
#include <utility>

namespace qx {

namespace {

constexpr const char* kGlobal = "Global";
constexpr const char* kRecentFileList = "Recent File List";
constexpr const char* kViewOption = "View Option";
constexpr const char* kWindowPosition = "Window Position";
constexpr const char* kSetup = "Setup";

constexpr std::uint32_t kCheckBit0 = 1U << 0;
constexpr std::uint32_t kRxExpansion = 1U << 1;
constexpr std::uint32_t kCheckBit1 = 1U << 5;
constexpr std::uint32_t kPagerInhibit = 1U << 6;
constexpr std::uint32_t kDvInhibit = 1U << 7;
constexpr std::uint32_t kDigitalUnit = 1U << 8;
constexpr std::uint32_t kFccInhibit = 1U << 9;
constexpr std::uint32_t kCheckBit2 = 1U << 10;
constexpr int kDestinationShift = 11;
constexpr std::uint32_t kDestinationMask = 0x7F;

std::uint32_t checkValue(bool fcc, bool rx, bool du, bool dv, bool pager,
                         std::uint32_t destination) {
    const int flags = int{fcc} + int{rx} + int{du} + int{dv} + int{pager};
    return static_cast<std::uint32_t>(flags + std::popcount(destination & 0xFU)) % 8U;
}

std::string recentName(int i) {
    return "Recent" + std::to_string(i);
}

bool isSetupArgument(const std::string& argument) {
    std::string lower = argument;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    });
    return lower == "/setup";
}

} // namespace

std::uint32_t EtcData::pack() const {
    const auto dest = static_cast<std::uint32_t>(destination) & kDestinationMask;
    const std::uint32_t check =
        checkValue(fccInhibit, rxExpansion, digitalUnit, dvInhibit, pagerInhibit, dest);
    std::uint32_t value = dest << kDestinationShift;
    value |= (check & 1U) != 0 ? kCheckBit0 : 0;
    value |= (check & 2U) != 0 ? kCheckBit1 : 0;
    value |= (check & 4U) != 0 ? kCheckBit2 : 0;
    value |= rxExpansion ? kRxExpansion : 0;
    value |= pagerInhibit ? kPagerInhibit : 0;
    value |= dvInhibit ? kDvInhibit : 0;
    value |= digitalUnit ? kDigitalUnit : 0;
    value |= fccInhibit ? kFccInhibit : 0;
    return value;
}

EtcData EtcData::unpack(std::uint32_t value) {
    EtcData d;
    d.rxExpansion = (value & kRxExpansion) != 0;
    d.pagerInhibit = (value & kPagerInhibit) != 0;
    d.dvInhibit = (value & kDvInhibit) != 0;
    d.digitalUnit = (value & kDigitalUnit) != 0;
    d.fccInhibit = (value & kFccInhibit) != 0;
    const std::uint32_t dest = (value >> kDestinationShift) & kDestinationMask;
    const std::uint32_t stored = ((value & kCheckBit0) != 0 ? 1U : 0U) |
                                 ((value & kCheckBit1) != 0 ? 2U : 0U) |
                                 ((value & kCheckBit2) != 0 ? 4U : 0U);
    const std::uint32_t expected =
        checkValue(d.fccInhibit, d.rxExpansion, d.digitalUnit, d.dvInhibit, d.pagerInhibit, dest);
    d.destination =
        stored == expected && dest < 16 ? static_cast<int>(dest) : indEnviron::kDestinationNotSet;
    return d;
}

indEnviron::indEnviron(std::string mutexName, std::string userRoot, std::string machineRoot,
                       SettingsStore& store, InstanceLock& lock, const SystemInfo& system,
                       std::vector<std::string> arguments)
    : m_mutexName(std::move(mutexName)), m_userRoot(std::move(userRoot)),
      m_machineRoot(std::move(machineRoot)), m_reader(&store), m_writer(&store), m_lock(&lock),
      m_system(&system) {
    m_firstInstance = m_lock->tryLock(m_mutexName);
    if (m_firstInstance) {
        load(arguments);
    }
}

indEnviron::indEnviron(ReadOnly, std::string userRoot, std::string machineRoot,
                       const SettingsStore& store, const SystemInfo& system,
                       std::vector<std::string> arguments)
    : m_userRoot(std::move(userRoot)), m_machineRoot(std::move(machineRoot)), m_reader(&store),
      m_system(&system) {
    load(arguments);
}

indEnviron::indEnviron(Detached, const SystemInfo& system) : m_reader(nullptr), m_system(&system) {
    resetToDefaults();
}

indEnviron::~indEnviron() {
    save();
    if (m_firstInstance && m_lock != nullptr) {
        m_lock->unlock();
    }
}

std::string indEnviron::key(const char* section) const {
    return m_userRoot + "\\" + section;
}

ScreenRect indEnviron::defaultWindow(const ScreenRect& workArea) {
    ScreenRect r;
    r.width = std::min(workArea.width * 9 / 10, 800);
    r.height = std::min(workArea.height * 9 / 10, 600);
    r.left = workArea.left + (workArea.width - r.width) / 2;
    r.top = workArea.top + (workArea.height - r.height) * 3 / 10;
    return r;
}

void indEnviron::resetToDefaults() {
    signature = kSignature;
    fontSizePercentage = 100;
    toolbarVisible = 1;
    printerFontSize = 10;
    comPort = 1;
    comSpeedHigh = 0;
    transType = 0;
    keepBackups = true;
    currentDirectory.clear();
    recent.clear();
    const ScreenRect w = defaultWindow(m_system->workArea());
    windowLeft = w.left;
    windowTop = w.top;
    windowWidth = w.width;
    windowHeight = w.height;
    splitterV = 200;
    modelType = 0;
    setupDone = false;
}

EtcData indEnviron::etcData() const {
    EtcData d;
    d.destination = destination;
    d.fccInhibit = fccInhibit;
    d.rxExpansion = rxExpansion;
    d.digitalUnit = digitalUnit;
    d.dvInhibit = dvInhibit;
    d.pagerInhibit = pagerInhibit;
    return d;
}

void indEnviron::setEtcData(const EtcData& data) {
    destination = data.destination;
    fccInhibit = data.fccInhibit;
    rxExpansion = data.rxExpansion;
    digitalUnit = data.digitalUnit;
    dvInhibit = data.dvInhibit;
    pagerInhibit = data.pagerInhibit;
}

bool indEnviron::readStored() {
    const SettingsStore& s = *m_reader;
    // Each number must be there and be a number; the first that is not ends the reading.
    auto number = [&](const char* section, const std::string& name, std::int32_t& out) {
        const std::optional<std::int32_t> v = s.readNumber(key(section), name);
        if (v) {
            out = *v;
        }
        return v.has_value();
    };
    auto clamped = [&](const char* section, const char* name, int low, int high, int& out) {
        std::int32_t v = 0;
        if (!number(section, name, v)) {
            return false;
        }
        out = std::clamp(v, low, high);
        return true;
    };
    auto text = [&](const char* section, const std::string& name) {
        return s.readText(key(section), name).value_or(std::string());
    };

    if (!number(kGlobal, "BBT", signature) || !clamped(kGlobal, "ComPort", 1, 256, comPort) ||
        !clamped(kGlobal, "ComSpeedHigh", 0, 1, comSpeedHigh) ||
        !clamped(kGlobal, "TransType", 0, 2, transType)) {
        return false;
    }
    currentDirectory = text(kGlobal, "Current Directory");
    // Newer than the rest: a store without it keeps backups on.
    keepBackups = s.readNumber(key(kGlobal), "Keep Backups").value_or(1) != 0;
    for (int i = 0; i < static_cast<int>(cmcRecent::kCapacity); ++i) {
        recent.addAtEnd(text(kRecentFileList, recentName(i)));
    }
    std::int32_t toolbar = 0;
    if (!clamped(kViewOption, "FontSize Percentage", 25, 1000, fontSizePercentage) ||
        !number(kViewOption, "Toolbar Visible", toolbar) ||
        !clamped(kViewOption, "FontSize Printer", 8, 12, printerFontSize)) {
        return false;
    }
    toolbarVisible = toolbar != 0 ? 1 : 0;
    std::int32_t etc = 0;
    if (!number(kWindowPosition, "Left", windowLeft) ||
        !number(kWindowPosition, "Top", windowTop) ||
        !number(kWindowPosition, "Width", windowWidth) ||
        !number(kWindowPosition, "Height", windowHeight) ||
        !number(kWindowPosition, "SplitterV", splitterV) ||
        !number(kSetup, "ModelType", modelType) || !number(kSetup, "Etc Data", etc)) {
        return false;
    }
    setEtcData(EtcData::unpack(static_cast<std::uint32_t>(etc)));
    return true;
}

void indEnviron::load(const std::vector<std::string>& arguments) {
    if (!readStored()) {
        resetToDefaults();
    }
    setupDone = destination < kDestinationNotSet;
    if (std::any_of(arguments.begin(), arguments.end(), isSetupArgument)) {
        setupDone = false;
    }
    const std::optional<std::int32_t> lang = m_reader->readMachineNumber(m_machineRoot, "Language");
    if (lang) {
        language = *lang >= 0 && *lang <= 1 ? *lang : 0;
    } else {
        // Without a machine-wide choice the user's own locale decides.
        language = m_system != nullptr && m_system->language() == "ja" ? 1 : 0;
    }
    if (signature != kSignature) {
        resetToDefaults();
    }
}

bool indEnviron::save() {
    if (!maySave() || m_writer == nullptr) {
        return false;
    }
    SettingsStore& s = *m_writer;
    s.writeNumber(key(kGlobal), "BBT", signature);
    s.writeNumber(key(kGlobal), "ComPort", comPort);
    s.writeNumber(key(kGlobal), "ComSpeedHigh", comSpeedHigh);
    s.writeNumber(key(kGlobal), "TransType", transType);
    s.writeNumber(key(kGlobal), "Keep Backups", keepBackups ? 1 : 0);
    s.writeText(key(kGlobal), "Current Directory", currentDirectory);
    for (int i = 0; i < static_cast<int>(cmcRecent::kCapacity); ++i) {
        s.writeText(key(kRecentFileList), recentName(i), recent.entry(static_cast<std::size_t>(i)));
    }
    s.writeNumber(key(kViewOption), "FontSize Percentage", fontSizePercentage);
    s.writeNumber(key(kViewOption), "Toolbar Visible", toolbarVisible);
    s.writeNumber(key(kViewOption), "FontSize Printer", printerFontSize);
    s.writeNumber(key(kWindowPosition), "Left", windowLeft);
    s.writeNumber(key(kWindowPosition), "Top", windowTop);
    s.writeNumber(key(kWindowPosition), "Width", windowWidth);
    s.writeNumber(key(kWindowPosition), "Height", windowHeight);
    s.writeNumber(key(kWindowPosition), "SplitterV", splitterV);
    s.writeNumber(key(kSetup), "ModelType", modelType);
    s.writeNumber(key(kSetup), "Etc Data", static_cast<std::int32_t>(etcData().pack()));
    return s.flush();
}

} // namespace qx
