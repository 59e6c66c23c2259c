#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qx {

// The list operations of the channel-like sheets, as their popup menus name them.
enum class ListOperation { Copy, Paste, Up, Down, Clear, Delete, Insert, ReceivedDelete };

// Which list an operation works on and where the user is in it.
struct ListEditRequest {
    // Record kind: 1 channels, 2 bank slots, 3 function memories, 4 GPS memories; 0 for the
    // received-call list.
    int kind = 0;
    int row = 0; // the record index of the row the command came from
    bool selectionActive = false;
    int low = 0; // the selection; the row alone when it is not active
    int high = 0;
    int first = 0; // the bounds of the list the sheet shows
    int last = 0;
    // Bank slots: the bank 0-25. GPS memories: the GPS bank of the sheet 1-26, 0 when the
    // sheet shows every GPS memory.
    int bank = 0;
};

// What the sheet is asked to do afterwards.
struct ListEditOutcome {
    bool changed = false; // the image changed
    bool reselect = false;
    int reselectLow = 0;
    int reselectHigh = 0;
    bool dropSelection = false;
    std::optional<int> cursor;
    // The status bar text's key, empty when the operation shows none.
    std::string statusKey;

    void reselectRows(int low, int high) {
        reselect = true;
        reselectLow = low;
        reselectHigh = high;
    }
};

// The bounds of the list that holds record index of a kind, as the sheets show them.
struct ListBounds {
    int first = 0;
    int last = -1;
};
ListBounds listBoundsOf(int kind, int index);

} // namespace qx
