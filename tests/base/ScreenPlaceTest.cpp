#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "base/ScreenPlace.h"

namespace xcyh2 {

void PrintTo(const EdgeRect& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

TEST(ScreenPlace, WindowAskedToGoAnywhereStaysReachable) {
    // Two screens side by side: the primary 1920 x 1040 above a taskbar, a second 1280 x 1024.
    const std::vector<EdgeRect> areas{{0, 0, 1920, 1040}, {1920, 0, 3200, 1024}};
    constexpr int kMin = 50;
    const struct {
        const char* what;
        EdgeRect wanted, placed;
    } cases[] = {
        {"on the primary: as asked", {100, 100, 1100, 800}, {100, 100, 1100, 800}},
        {"across both screens: as asked", {1500, 100, 2500, 800}, {1500, 100, 2500, 800}},
        {"mostly off the left edge, 50 px left: as asked", {-950, 100, 50, 800}, {-950, 100, 50, 800}},
        {"49 px left: moved inside", {-951, 100, 49, 800}, {0, 100, 1000, 800}},
        {"below every screen: onto the primary", {100, 5000, 1100, 5700}, {100, 340, 1100, 1040}},
        {"far off: onto the primary", {-50000, -50000, -49000, -49300}, {0, 0, 1000, 700}},
        {"larger than its screen: its size", {2000, 100, 5000, 3000}, {1920, 0, 3200, 1024}},
        {"empty: the work area", {300, 300, 300, 300}, {0, 0, 1920, 1040}},
        {"inverted: the work area", {800, 800, 100, 100}, {0, 0, 1920, 1040}},
        {"the widest rectangle there is", {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {0, 0, 1920, 1040}},
    };
    for (const auto& c : cases) EXPECT_EQ(KeepReachable(c.wanted, areas, kMin), c.placed) << c.what;
    EXPECT_EQ(KeepReachable({-5000, 0, -4000, 700}, {}, kMin), (EdgeRect{-5000, 0, -4000, 700})) << "no screens known";
}

}  // namespace
}  // namespace xcyh2
