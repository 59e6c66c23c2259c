#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace qx {

class TextLines;
class TextMetrics;
class cmcEeprom;
class cmcEvMan;
struct cmcCellCapsule;

// Where remembered column widths live: one group of numbered values per sheet family.
class ColumnWidthStore {
public:
    virtual ~ColumnWidthStore() = default;
    virtual std::optional<std::int32_t> loadWidth(const std::string& group, int column) = 0;
    virtual void saveWidth(const std::string& group, int column, std::int32_t width) = 0;
    virtual void clearGroup(const std::string& group) = 0;
};

// What a sheet needs from the world around it. The pointers are not owned.
struct SheetEnvironment {
    TextLines* text = nullptr;
    const TextMetrics* metrics = nullptr;
    ColumnWidthStore* widths = nullptr; // none: widths are neither loaded nor saved
    cmcEvMan* bus = nullptr;            // none: cursor changes are not announced
    bool shiftJis = false;              // the active text table is the Japanese one
    bool japaneseSystem = false;        // the system's default language is Japanese
    int fontSizePercent = 100;
    // The cell link dispatch that the sheets made here draw and edit through; none: cells show
    // their own texts only.
    std::function<std::int32_t(cmcCellCapsule&)> dispatcher;

    // The radio side that sheet kinds consult for captions, cut columns and hidden rows.
    const cmcEeprom* image = nullptr;
    int destination = 16;
    bool digitalUnit = false;
    bool dvInhibit = false;
    bool pagerInhibit = false;
    // Print rules: whether a channel (0-521) is in use, whether a bank (0-25) has an entry.
    std::function<bool(int)> channelInUse;
    std::function<bool(int)> bankHasEntry;
};

} // namespace qx
