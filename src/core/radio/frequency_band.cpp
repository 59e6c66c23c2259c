#include "radio/frequency_band.h"

#include <array>

namespace qx::frequency {

namespace {

constexpr std::array<std::uint32_t, 7> kBandEdges = {136000000, 137000000, 174000000,  322000000,
                                                     400000000, 470000000, kBand7Start};

// Nearest multiple of step, halves rounded up.
std::uint64_t roundTo(std::uint64_t value, std::uint64_t step) {
    return (value + step / 2) / step * step;
}

bool inside(std::uint32_t f, std::uint32_t low, std::uint32_t high) {
    return f >= low && f <= high;
}

} // namespace

int bandOf(std::uint32_t frequency) {
    int band = 0;
    for (std::uint32_t edge : kBandEdges) {
        if (edge <= frequency) {
            ++band;
        }
    }
    return band;
}

std::uint32_t snap(std::uint32_t value, bool band7) {
    const std::uint64_t period = band7 ? 50000 : 25000;
    const std::uint64_t fine = band7 ? 10000 : 5000;
    const std::uint64_t coarse = band7 ? 12500 : 6250;
    const std::uint64_t rest = value % period;
    const std::uint64_t base = value - rest;
    const std::uint64_t onFine = roundTo(rest, fine);
    const std::uint64_t onCoarse = roundTo(rest, coarse);
    const std::uint64_t fineDistance = onFine > rest ? onFine - rest : rest - onFine;
    const std::uint64_t coarseDistance = onCoarse > rest ? onCoarse - rest : rest - onCoarse;
    const std::uint64_t snapped = base + (coarseDistance < fineDistance ? onCoarse : onFine);
    // Near the top of the 32-bit range the next grid point does not exist: keep the value.
    return snapped > 0xFFFFFFFFu ? value : static_cast<std::uint32_t>(snapped);
}

std::uint32_t snapFrequency(std::uint32_t frequency) {
    return snap(frequency, frequency >= kBand7Start);
}

std::uint32_t snapOffset(std::uint32_t offset, std::uint32_t channelFrequency) {
    const std::uint32_t snapped = snap(offset, channelFrequency >= kBand7Start);
    return snapped > kMaxOffset ? kMaxOffset : snapped;
}

Grids selectGrids(std::uint32_t frequency, std::uint32_t offset) {
    const bool band7 = frequency >= kBand7Start;
    const std::uint32_t fine = band7 ? 10000 : 5000;
    const std::uint32_t coarse = band7 ? 12500 : 6250;
    const auto classBits = [&](std::uint32_t v) {
        return (v % fine == 0 ? 1 : 0) | (v % coarse == 0 ? 2 : 0);
    };
    const int f = classBits(frequency);
    const int o = classBits(offset);
    if ((f & o & 1) != 0) {
        return {0, 0};
    }
    if ((f & o & 2) != 0) {
        return {1, 1};
    }
    return {f == 2 ? 1 : 0, o == 2 ? 1 : 0};
}

int classify(std::uint32_t frequency, int side, const FrequencyRangeTable& ranges,
             const FeatureFlags& flags) {
    const bool covered =
        inside(frequency, 118000000, 549999999) || inside(frequency, 810000000, 999999999);
    if (!covered) {
        return kClassNotAllowed;
    }
    const int band = bandOf(frequency);
    if ((band == 7 && side == kSideLeft) || (band == 3 && side == kSideRight) ||
        (band == 4 && frequency < 375000000 && side == kSideRight)) {
        return kClassNotAllowed;
    }
    if (flags.fccInhibit &&
        (inside(frequency, 824000000, 848999999) || inside(frequency, 869000000, 893999999))) {
        return kClassNotAllowed;
    }
    return ranges.contains(frequency) ? kClassRestricted : kClassAllowed;
}

bool isFlagged(std::uint32_t frequency, int side, const FrequencyRangeTable& ranges,
               const FeatureFlags& flags) {
    const int result = classify(frequency, side, ranges, flags);
    return result == kClassNotAllowed || (result == kClassRestricted && !flags.rxExpansion);
}

} // namespace qx::frequency
