#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class cuiSheet;
class cmcCellLinkDispatch;
class SelectionLists;
struct cmcCellCapsule;
struct cmcCellObj;

// A built sheet as text and typed entries into it, for scripting without a window.
class cmcSheetScript {
public:
    cmcSheetScript(cuiSheet& sheet, cmcCellLinkDispatch& dispatch, SelectionLists& lists)
        : m_sheet(sheet), m_dispatch(dispatch), m_lists(lists) {}

    // What a cell shows: the link's text for a linked cell, else its own text.
    std::string cellText(int column, int row);
    // One line per visible row (rows and columns narrower than 2 pixels are left out), the
    // texts of its visible cells separated by tabs; a line feed in a text becomes a space.
    std::vector<std::string> lines();
    // The selected rows (the current row when none is selected) as such lines, each ended by a
    // line feed: what Copy puts on the system clipboard for a spreadsheet.
    std::string selectedRowsText();

    enum class Outcome {
        Changed,
        Unchanged,      // accepted, but the value stayed as it was
        UnknownLink,    // no such link name
        NoCell,         // the sheet has no selectable cell of that link and index
        UnknownLabel,   // the cell's list has no entry with that label
        AmbiguousLabel, // the text matches several entries once case and numbers are eased
        NotEditable,    // the cell takes no typed entry
        Refused,        // the link rejected the entry; nothing changed
    };
    // Enters `text` into the cell bound to (link, index) as typing it and Enter would, or, for
    // a cell whose value comes from a selection list, picks the entry labelled `text`. A text
    // that is no label picks the one entry it matches once letter case and the form of its
    // numbers are ignored ("100" for "100.0", "23" for "023", "-dup" for "-DUP").
    Outcome enter(std::string_view linkName, std::int32_t index, std::string_view text);
    // The labels of the list after an UnknownLabel or AmbiguousLabel: all of them for an
    // unknown label, the matching ones for an ambiguous one.
    const std::vector<std::string>& labels() const { return m_labels; }

    // The form two labels share when they differ only in letter case and the way their numbers
    // are written.
    static std::string easedLabel(std::string_view label);

private:
    void prepare(cmcCellCapsule& request, cmcCellObj& cell) const;
    std::string rowLine(int row);

    cuiSheet& m_sheet;
    cmcCellLinkDispatch& m_dispatch;
    SelectionLists& m_lists;
    std::vector<std::string> m_labels;
};

} // namespace qx
