#pragma once

#include "base/cell_capsule.h"
#include "radio/feature_flags.h"
#include "radio/value_format.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qx {

class cmcEeprom;
class SelectionLists;
struct CloneInformation;

// What the cell links work on and whom they tell about changes.
struct LinkEnvironment {
    cmcEeprom* image = nullptr;
    std::int32_t destination = 16;
    FeatureFlags features;
    SelectionLists* lists = nullptr;
    bool japaneseSystem = false;
    CodePage codePage = CodePage::Windows1252;
    // The clone information last read from the transceiver; none before the first read.
    const CloneInformation* cloneInformation = nullptr;
    // The document restarts its refresh timer and checks its modified flag.
    std::function<void()> restartRefresh;
    // Channel data changed (bank assignments): the bank link table was rebuilt.
    std::function<void()> channelDataChanged;
    // A bank or GPS bank name changed: the tree node of that bank is renamed (variant, title).
    std::function<void(std::int32_t variant)> bankNameChanged;
    // Command links (menus, CallSheet, popup menu help) run here.
    std::function<std::int32_t(cmcCellCapsule&)> command;
    // The list operations of the popup menus (Copy ... Insert, the received-call Delete).
    std::function<std::int32_t(cmcCellCapsule&)> listEdit;
};

// The selection list behind a list-valued cell, and the item link of its entries.
struct CellList {
    std::string key;
    std::int32_t itemLink = 0;
};

// The one entry through which every cell shows its value and reacts to the user.
class cmcCellLinkDispatch {
public:
    explicit cmcCellLinkDispatch(LinkEnvironment environment) : m_env(std::move(environment)) {}

    LinkEnvironment& environment() { return m_env; }

    // One cell event: fills the display text, and for a key, a committed text or a pick
    // changes the image. Returns kResultNone, kResultChanged (changed, or a list opened) or
    // kResultEdit (start in-place editing with request.text). A refused entry sets
    // request.refused and changes nothing.
    std::int32_t dispatch(cmcCellCapsule& request);

    std::string displayText(cmcCellObj& cell, std::string_view arguments = {});
    std::int32_t perform(cmcCellObj& cell, std::int32_t key, std::string_view arguments = {});
    // The selection list of a list-valued cell; none for other cells.
    std::optional<CellList> cellList(const cmcCellObj& cell, std::string_view arguments = {});

private:
    struct Event;
    std::int32_t dispatchChannel(Event& e);
    std::int32_t dispatchOther(Event& e);
    std::int32_t dispatchSetting(Event& e);
    std::int32_t dispatchGps(Event& e);

    LinkEnvironment m_env;
};

} // namespace qx
