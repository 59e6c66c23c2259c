#include "app/window_bounds.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace qx
