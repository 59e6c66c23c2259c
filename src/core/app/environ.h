#pragma once

#include "app/recent_files.h"
#include "base/system_info.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qx {

class InstanceLock;
class SettingsStore;

// The destination and variant flags as `Etc Data` keeps them, with three check bits that catch
// a tampered value.
struct EtcData {
    int destination = 16;
    bool fccInhibit = false;
    bool rxExpansion = false;
    bool digitalUnit = false;
    bool dvInhibit = true;
    bool pagerInhibit = true;

    std::uint32_t pack() const;
    // A check mismatch keeps the flags read but gives destination 16 (not set); destinations
    // above 15 read back as 16 too.
    static EtcData unpack(std::uint32_t value);
};

// The settings record: the user's choices that survive between runs. It is the first global
// object and holds the single-instance lock, so that only the first instance loads and saves.
// The rest of the editor reads and writes the fields directly; only construction and
// destruction touch the store.
class indEnviron {
public:
    static constexpr const char* kMutexName = "Orsa QX-5130 APP Exclusive Mutex";
    static constexpr const char* kRegistryRoot = "Software\\Orsa\\QX-5130";
    static constexpr std::int32_t kSignature = 753951;
    static constexpr int kDestinationNotSet = 16;

    // The editor's record: takes the lock and, when this is the first instance, loads.
    // `arguments` are the command line, the program path included.
    indEnviron(std::string mutexName, std::string userRoot, std::string machineRoot,
               SettingsStore& store, InstanceLock& lock, const SystemInfo& system,
               std::vector<std::string> arguments);

    // Loads without the lock and never saves: for tools that only read the editor's settings
    // while it may be running.
    struct ReadOnly {};
    indEnviron(ReadOnly, std::string userRoot, std::string machineRoot, const SettingsStore& store,
               const SystemInfo& system, std::vector<std::string> arguments);

    // A record of the default settings that is neither loaded nor saved: for tools and
    // benchmarks that set the fields themselves.
    struct Detached {};
    indEnviron(Detached, const SystemInfo& system);

    // Saves when allowed, then releases the lock.
    ~indEnviron();
    indEnviron(const indEnviron&) = delete;
    indEnviron& operator=(const indEnviron&) = delete;

    bool firstInstance() const { return m_firstInstance; }
    // True when this record may write the store: it holds the lock and the signature is valid.
    bool maySave() const { return m_firstInstance && m_lock != nullptr && signature == kSignature; }

    void resetToDefaults();
    // Writes every section when allowed; false when nothing was written or the store failed.
    bool save();

    // The window of the first run: at most 800 x 600, centred, in the upper part of the area.
    static ScreenRect defaultWindow(const ScreenRect& workArea);

    EtcData etcData() const;
    void setEtcData(const EtcData& data);

    // Fields. Ranges are applied when loading.
    int language = 0; // 0 English, 1 Japanese; machine-wide, never written
    cmcRecent recent;
    std::int32_t signature = kSignature;
    int fontSizePercentage = 100; // 25..1000
    int toolbarVisible = 1;       // 0 or 1
    int printerFontSize = 10;     // 8..12
    int comPort = 1;              // 1..256
    int comSpeedHigh = 0;         // 0 normal, 1 high
    int transType = 0;            // connection type 0..2
    bool keepBackups = true;      // every image read is kept in the backups folder
    std::string currentDirectory;
    int windowLeft = 0;
    int windowTop = 0;
    int windowWidth = 0;
    int windowHeight = 0;
    int splitterV = 200; // left pane width
    int modelType = 0;
    bool setupDone = false; // derived from the destination, never stored by itself
    bool fccInhibit = false;
    bool rxExpansion = false;
    bool digitalUnit = false;
    bool dvInhibit = true;
    bool pagerInhibit = true;
    int destination = kDestinationNotSet; // 0..15, 16 = not set

private:
    void load(const std::vector<std::string>& arguments);
    bool readStored();
    std::string key(const char* section) const;

    std::string m_mutexName;
    std::string m_userRoot;
    std::string m_machineRoot;
    const SettingsStore* m_reader;
    SettingsStore* m_writer = nullptr;
    InstanceLock* m_lock = nullptr;
    const SystemInfo* m_system;
    bool m_firstInstance = false;
};

} // namespace qx
