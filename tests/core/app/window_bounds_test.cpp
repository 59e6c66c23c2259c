#include "app/window_bounds.h"

#include <gtest/gtest.h>

#include <limits>

namespace qx {
namespace {

TEST(WindowBounds, AtLeastACornerStaysOnTheWorkArea) {
    struct Case {
        ScreenRect stored;
        ScreenRect expected;
    };
    const ScreenRect area{0, 0, 1280, 984};
    const Case cases[] = {
        {{100, 50, 800, 600}, {100, 50, 800, 600}},    {{5000, 50, 800, 600}, {1264, 50, 800, 600}},
        {{-900, 50, 800, 600}, {-784, 50, 800, 600}},  {{-700, 50, 800, 600}, {-700, 50, 800, 600}},
        {{100, 3000, 800, 600}, {100, 968, 800, 600}}, {{100, -20, 800, 600}, {100, 0, 800, 600}},
    };
    for (const Case& c : cases) {
        const ScreenRect r = reachableWindowBounds(c.stored, area);
        EXPECT_EQ(r, c.expected) << c.stored.left << "," << c.stored.top;
    }
    // A work area that does not start at the origin (a task bar on the left or on top).
    EXPECT_EQ(reachableWindowBounds({-900, 10, 800, 600}, {60, 30, 1220, 954}),
              (ScreenRect{-724, 30, 800, 600}));
}

TEST(WindowBounds, HugeOrEmptySizesFitTheWorkArea) {
    struct Case {
        ScreenRect stored;
        ScreenRect expected;
    };
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    const ScreenRect area{0, 0, 1280, 984};
    const Case cases[] = {
        {{100, 50, kMax, 600}, {100, 50, 1280, 600}},
        {{100, 50, 800, kMax}, {100, 50, 800, 984}},
        {{kMin, kMin, kMax, kMax}, {-1264, 0, 1280, 984}},
        {{kMax, kMax, kMax, kMax}, {1264, 968, 1280, 984}},
        {{kMin, 50, 800, 600}, {-784, 50, 800, 600}},
        {{100, 50, 0, 0}, {100, 50, 800, 600}},
        {{100, 50, -5, kMin}, {100, 50, 800, 600}},
    };
    for (const Case& c : cases) {
        const ScreenRect r = reachableWindowBounds(c.stored, area);
        EXPECT_EQ(r, c.expected) << c.stored.left << "," << c.stored.top << " " << c.stored.width
                                 << "x" << c.stored.height;
    }
    // A small screen: the default size is nine tenths of it.
    EXPECT_EQ(reachableWindowBounds({0, 0, 0, 0}, {0, 0, 640, 480}), (ScreenRect{0, 0, 576, 432}));
}

TEST(WindowBounds, TheSplitterLeavesBothPanesTheirMinimum) {
    struct Case {
        int stored;
        int width;
        int expected;
    };
    const Case cases[] = {
        {200, 800, 200},
        {3, 800, 8},
        {std::numeric_limits<int>::max(), 800, 789},
        {std::numeric_limits<int>::min(), 800, 8},
        {50, 10, 8},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fittedSplitter(c.stored, c.width), c.expected) << c.stored << " in " << c.width;
    }
}

} // namespace
} // namespace qx
