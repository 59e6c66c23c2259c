#pragma once

#include "radio/destination.h"
#include "radio/eeprom.h"
#include "radio/feature_flags.h"

#include <functional>
#include <utility>

namespace qx {

// The document's copies of the image: the one being edited, the built-in default of the
// destination, the state last created, opened or saved, which decides the modified flag, and the
// origin: the bytes as read from the transceiver or opened from a file, or the defaults after
// New, which keeps the areas no one may edit as the transceiver had them.
class ImageSet {
public:
    ImageSet();

    cmcEeprom& current() { return m_current; }
    const cmcEeprom& current() const { return m_current; }
    const cmcEeprom& defaults() const { return m_default; }
    const cmcEeprom& saved() const { return m_saved; }
    const cmcEeprom& origin() const { return m_origin; }

    DestinationCode destination() const { return m_destination; }
    const FrequencyRangeTable& frequencyRanges() const { return m_ranges; }

    // Called whenever the modified flag may have changed, so the window title can follow.
    void setTitleRefresh(std::function<void()> refresh) { m_titleRefresh = std::move(refresh); }

    // Fills the default image from the built-in block of the destination (block 13 while the
    // destination is unknown) and empties its bank link table.
    void loadDefaults();

    // Takes a new destination: its defaults become the current data, unmodified.
    void setDestination(DestinationCode code);

    // Current := default image, unmodified (the data part of New).
    void resetToDefaults();

    // The current bytes, just opened from a clone file, become the origin.
    void takeCurrentAsOrigin() { m_origin = m_current; }

    // Runs the data correction pass on the current image against the origin and the
    // destination's defaults (before saving or sending, and after opening a file).
    bool correct(const FeatureFlags& flags);

    // Takes an image read from the transceiver: it replaces the current image, is adjusted to
    // the editor's layout and corrected, and counts as modified. False, with the document
    // unchanged, when it is not a whole document image.
    bool takeReadImage(const cmcEeprom& received, const FeatureFlags& flags);

    // Corrects the current image and returns the copy to send: records that draw a warning
    // replaced by the defaults, GPS memories in the transceiver's layout.
    cmcEeprom imageForWrite(const FeatureFlags& flags);

    // Rebuilds the bank link table of the current image after channel data changed.
    void rebuildBankLinks();

    void markUnmodified();
    void markModified();
    // Sets the flag when the data left the saved state; never clears it.
    void checkModified();
    // Sets or clears the flag by whether the data are those of the saved state (after an undo
    // or a redo).
    void followSavedState();
    bool isModified() const { return m_modified; }

private:
    void refreshTitle() const;

    cmcEeprom m_current;
    cmcEeprom m_default;
    cmcEeprom m_saved;
    cmcEeprom m_origin;
    DestinationCode m_destination = kDestinationUnset;
    FrequencyRangeTable m_ranges;
    bool m_modified = false;
    std::function<void()> m_titleRefresh;
};

} // namespace qx
