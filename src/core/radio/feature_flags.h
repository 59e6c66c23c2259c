#pragma once

namespace qx {

// What the connected transceiver has or may do, from its clone information. Loaded with the
// settings and replaced from every clone information read.
struct FeatureFlags {
    bool rxExpansion = false;
    bool fccInhibit = false;
    bool digitalUnit = false;
    bool dvInhibit = false;
    bool pagerInhibit = false;

    bool hasUsableDv() const { return digitalUnit && !dvInhibit; }
};

} // namespace qx
