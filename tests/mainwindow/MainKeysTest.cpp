// The main window's own keys and the page zoom steps they walk.
#include <gtest/gtest.h>

#include "base/DpiScale.h"
#include "mainwindow/MainKeys.h"
#include "mainwindow/PageZoom.h"

namespace xcyh2 {
namespace {

TEST(PageZoom, StepsFromAnyValueAndAddsTheWindowScale) {
    // current zoom, one step in, one step out
    const struct {
        int current, in, out;
    } steps[] = {
        {100, 110, 90}, {50, 67, 50}, {67, 75, 50}, {300, 300, 250},
        {101, 110, 100}, {66, 67, 50}, {68, 75, 67}, {299, 300, 250}, {20, 50, 50}, {400, 300, 300},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(ZoomIn(s.current), s.in) << s.current;
        EXPECT_EQ(ZoomOut(s.current), s.out) << s.current;
    }
    // dpi, tab zoom, the zoom the page gets (137.5 and 117.25 rounded; the engine's 10..1000)
    const struct {
        int dpi, tab, page;
    } pages[] = {
        {96, 100, 100}, {120, 100, 125}, {144, 110, 165}, {120, 110, 138}, {168, 67, 117},
        {192, 50, 100}, {72, 300, 300}, {384, 300, 1000}, {96, 0, 10},
    };
    for (const auto& p : pages) EXPECT_EQ(EffectivePageZoom(DpiScale(p.dpi), p.tab), p.page) << p.dpi << " " << p.tab;
}

TEST(MainKeys, TakesOnlyTheShellsKeys) {
    using A = KeyAction;
    const std::uint32_t kA = 'A', kW = 'W', k1 = '1', k3 = '3', k8 = '8', k9 = '9', k0 = '0';
    // key, ctrl, shift, alt; tab count, selected, full screen; action, tab
    const struct {
        std::uint32_t key;
        bool ctrl, shift, alt;
        int count, selected;
        bool full;
        A action;
        int tab;
    } cases[] = {
        {vk::kTab, true, false, false, 4, 1, false, A::SelectTab, 2},
        {vk::kTab, true, false, false, 4, 3, false, A::SelectTab, 0},
        {vk::kTab, true, true, false, 4, 0, false, A::SelectTab, 3},
        {vk::kTab, true, false, false, 4, -1, false, A::SelectTab, 0},
        {vk::kTab, true, true, false, 4, 9, false, A::SelectTab, 3},
        {vk::kTab, true, false, false, 0, -1, false, A::None, -1},
        {vk::kTab, false, false, false, 4, 1, false, A::None, -1},
        {vk::kPageDown, true, false, false, 3, 2, false, A::SelectTab, 0},
        {vk::kPageUp, true, false, false, 3, 0, false, A::SelectTab, 2},
        {vk::kPageUp, true, true, false, 3, 0, false, A::None, -1},
        {k1, true, false, false, 3, 2, false, A::SelectTab, 0},
        {k3, true, false, false, 3, 0, false, A::SelectTab, 2},
        {k8, true, false, false, 3, 0, false, A::None, -1},
        {k8, true, false, false, 12, 0, false, A::SelectTab, 7},
        {k9, true, false, false, 12, 0, false, A::SelectTab, 11},
        {k9, true, false, false, 0, -1, false, A::None, -1},
        {k1, true, false, true, 3, 0, false, A::None, -1},
        {k1, false, false, false, 3, 0, false, A::None, -1},
        {vk::kOemPlus, true, false, false, 1, 0, false, A::ZoomIn, -1},
        {vk::kNumpadAdd, true, false, false, 1, 0, false, A::ZoomIn, -1},
        {vk::kOemMinus, true, false, false, 1, 0, false, A::ZoomOut, -1},
        {vk::kNumpadSubtract, true, false, false, 1, 0, false, A::ZoomOut, -1},
        {k0, true, false, false, 1, 0, false, A::ZoomReset, -1},
        {vk::kF11, false, false, false, 1, 0, false, A::ToggleFullScreen, -1},
        {vk::kF11, false, false, false, 1, 0, true, A::ToggleFullScreen, -1},
        {vk::kEscape, false, false, false, 1, 0, true, A::LeaveFullScreen, -1},
        {vk::kEscape, false, false, false, 1, 0, false, A::None, -1},
        {kA, true, false, false, 3, 0, false, A::None, -1},
        {kW, true, true, false, 3, 0, true, A::None, -1},
    };
    for (const auto& c : cases) {
        KeyDecision got = DecideMainKey({c.key, c.ctrl, c.shift, c.alt}, {c.count, c.selected, c.full});
        EXPECT_EQ(got, (KeyDecision{c.action, c.tab}))
            << "key " << c.key << " ctrl " << c.ctrl << " shift " << c.shift << " alt " << c.alt << " count "
            << c.count << " selected " << c.selected;
    }
}

}  // namespace
}  // namespace xcyh2
