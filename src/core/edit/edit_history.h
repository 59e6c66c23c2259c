#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace qx {

class cmcEeprom;

// What one undoable step did, for the captions of Undo and Redo.
enum class EditAction : std::uint8_t {
    Entry, // a value typed or picked into a cell
    Paste,
    Up,
    Down,
    Clear,
    Delete,
    Insert,
    CloneRead, // the image read from the transceiver
    Import,    // channels imported from a file
};

// Undo and redo of the changes to one image. The history keeps a copy of the image as it was
// after the last recorded step; recording compares the image with it and keeps only the bytes
// that differ, before and after, as the step. Every change lands in some step, so a change
// made without its own record is folded into the next one.
class cmcEditHistory {
public:
    explicit cmcEditHistory(cmcEeprom& image);

    // Forgets every step; the image as it is now is where undo stops (New, Open).
    void reset();
    // The changes since the last step become one step. False when nothing changed.
    bool record(EditAction action);
    // The changes since the last step stay, but as no step: undo leaves them alone unless an
    // older step covers the same bytes (the corrections made before saving).
    void absorb();

    bool canUndo() const { return m_next > 0; }
    bool canRedo() const { return m_next < m_steps.size(); }
    std::optional<EditAction> undoAction() const;
    std::optional<EditAction> redoAction() const;
    // Put the image back as it was before (after) the step. Changes not yet recorded are
    // recorded first, so undo takes them back before anything older.
    bool undo();
    bool redo();

    // The oldest steps go when there are more.
    void setLimit(std::size_t steps);
    std::size_t stepCount() const { return m_steps.size(); }
    // Bytes the history holds beyond the copy of the image.
    std::size_t memoryBytes() const;

private:
    // A run of changed bytes: `before` and `after` side by side in one buffer.
    struct Run {
        std::int32_t address;
        std::int32_t length;
        std::size_t offset; // into the step's bytes: length before bytes, then length after
    };
    struct Step {
        EditAction action;
        std::vector<Run> runs;
        std::vector<std::uint8_t> bytes;
    };

    void apply(const Step& step, bool forward);

    cmcEeprom& m_image;
    std::vector<std::uint8_t> m_shadow;
    std::vector<Step> m_steps;
    std::size_t m_next = 0; // steps before this one are done
    std::size_t m_limit = 1000;
};

} // namespace qx
