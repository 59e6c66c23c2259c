#include "radio/image_set.h"

#include "radio/bank_link_table.h"
#include "radio/correction_pass.h"
#include "radio/default_images.h"
#include "radio/image_map.h"
#include "radio/transfer_adjustments.h"

namespace qx {

ImageSet::ImageSet()
    : m_current(imagemap::kImageSize), m_default(m_current), m_saved(m_current),
      m_origin(m_current), m_ranges(FrequencyRangeTable::forDestination(kDestinationUnset)) {}

void ImageSet::loadDefaults() {
    const std::uint8_t* block = defaultImageBlock(defaultBlockOf(m_destination));
    if (block != nullptr) {
        m_default.writeBlock(imagemap::kTransceiverStart, block, imagemap::kTransceiverSize);
    }
    banklink::clear(m_default);
}

void ImageSet::setDestination(DestinationCode code) {
    m_destination = code;
    loadDefaults();
    m_current = m_default;
    m_origin = m_default;
    markUnmodified();
    m_ranges = FrequencyRangeTable::forDestination(code);
}

void ImageSet::resetToDefaults() {
    m_current = m_default;
    m_origin = m_default;
    markUnmodified();
}

bool ImageSet::correct(const FeatureFlags& flags) {
    return runCorrectionPass(m_current, m_origin, m_default, m_destination, flags);
}

bool ImageSet::takeReadImage(const cmcEeprom& received, const FeatureFlags& flags) {
    if (received.size() != imagemap::kImageSize) {
        return false;
    }
    m_current = received;
    m_origin = received;
    adjustAfterRead(m_current, flags);
    correct(flags);
    markModified();
    return true;
}

cmcEeprom ImageSet::imageForWrite(const FeatureFlags& flags) {
    correct(flags);
    cmcEeprom copy(m_current);
    prepareForWrite(copy, m_default, m_destination, m_ranges, flags);
    return copy;
}

void ImageSet::rebuildBankLinks() {
    banklink::rebuild(m_current);
}

void ImageSet::markUnmodified() {
    m_saved = m_current;
    m_modified = false;
    refreshTitle();
}

void ImageSet::markModified() {
    m_modified = true;
    refreshTitle();
}

void ImageSet::checkModified() {
    if (!m_modified && m_current.notEquals(m_saved)) {
        markModified();
    }
}

void ImageSet::followSavedState() {
    m_modified = m_current.notEquals(m_saved);
    refreshTitle();
}

void ImageSet::refreshTitle() const {
    if (m_titleRefresh) {
        m_titleRefresh();
    }
}

} // namespace qx
