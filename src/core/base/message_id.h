#pragma once

#include <cstdint>

namespace qx {

// Ids of the messages on the bus. Subsystems add theirs here as they come.
enum class MessageId : std::uint32_t {
    RefreshToolBarStates = 2,  // controller refreshes the toolbar button states
    RefreshMenuStates = 9,     // every menu refreshes its item states
    ClearPopupSubmenu = 10,    // sheets: clear a popup submenu
    FillPopupSubmenu = 11,     // sheets: fill a popup submenu
    RequestContextCell = 12,   // request: the context cell of the current sheet
    RedrawSheet = 13,          // the shown sheet redraws every cell
    RepaintRow = 16,           // the shown sheet repaints the row of record p1
    CurrentCellChanged = 19,   // sheets: the cursor moved; p1 = category << 16 | link, p2 = index
    ToolBarRefresh = 20,       // the toolbar refreshes its button states
    DocumentWillChange = 21,   // before the document is saved, replaced or closed
    ImageMayHaveChanged = 23,  // the image may have changed outside the sheets
    AdjustTree = 27,           // remove optional tree nodes, rename bank nodes
    ShowRow = 28,              // the shown sheet brings the row of record p1 into view
    ReadCloneInformation = 29, // read the clone information from the transceiver
    InitialSetupClosed = 30,   // end of the initial setup session
    ApplyCloneInfo = 31,       // p1: take the feature flags, p2: rebuild the views if they changed
    InitialSetupDone = 32,     // initial setup completed
    SetupInformationRead = 34, // clone information read during the initial setup
    CloneStarted = 37,         // a clone operation starts: the windows disable themselves
    CloneFinished = 38,        // p1: success; the windows enable themselves again
    CloneProgressClosed = 39,  // the progress window has closed
    ChannelDataChanged = 40,   // channels changed: the bank link table is rebuilt
    RenameBankNode = 44,       // rename the bank tree node p2 to the text payload
    GpsReferenceChanged = 46,  // the GPS memory that the alarm setting names moved or went
};

} // namespace qx
