// The tab strip on scaled screens, under Wine: at 96, 120, 144 and 192 DPI (each in a child
// process, support/DpiChild.h) a strip made at 96 DPI takes its window's scale, and the real
// pointer selects and closes tabs where they are drawn.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/WindowScale.h"
#include "forms/Form.h"
#include "forms/PictureBox.h"
#include "support/Accessibility.h"
#include "support/DpiChild.h"
#include "support/HostForm.h"
#include "support/WinTest.h"
#include "tabstrip/mdlTabAPI.h"
#include "tabstrip/uTab.h"

namespace xcyh2 {
namespace {

using test::At;

class PageForm : public forms::Form, public ITabForm {
public:
    TabWnd hWnd() override { return Form::hWnd(); }
    void Initialize(IuTab*, const std::shared_ptr<CTabItem>&) override {}
    void RefreshPage() override {}

protected:
    forms::WindowDesign Design() const override {
        forms::WindowDesign w;
        w.className = L"TabDpiTestPage";
        return w;
    }
};

// The real pointer: moved to a point of the screen, then a left click there if asked.
void PointerTo(POINT at, bool click) {
    INPUT input[3]{};
    for (auto& i : input) i.type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[0].mi.dx = (at.x * 65536 + 65535) / ::GetSystemMetrics(SM_CXSCREEN);
    input[0].mi.dy = (at.y * 65536 + 65535) / ::GetSystemMetrics(SM_CYSCREEN);
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(click ? 3 : 1, input, sizeof(INPUT));
    test::PumpMessages(150);
}

// The main window's strip: rounded tabs, a left margin of 10, three tabs of the full 200 width.
TEST(AtThisDpi, DISABLED_TabStrip) {
    ASSERT_GT(test::ChildDpi(), 0);
    test::HostForm host{test::HostForm::Popup(L"TabDpiTestHost", 0, 0, 10, 10)};
    host.Show();
    const DpiScale scale = WindowScale(host.handle());
    ASSERT_EQ(scale.Dpi(), test::ChildDpi()) << "the prefix's DPI did not reach the window";
    const int width = scale.Pixels(700);
    ::SetWindowPos(host.handle(), HWND_TOPMOST, 0, 0, width, scale.Pixels(300), SWP_NOACTIVATE);
    forms::PictureBox container;
    container.Create(host.handle(), 0, scale.Pixels(40), width, scale.Pixels(200));

    // Made at 96 DPI with its tabs, then told its window's scale, as a DPI change tells it.
    uTab strip;
    ASSERT_TRUE(strip.Create(host.handle(), 0, 0, width, {{L"TabStyle", 1}, {L"TabLeftSize", 10}}));
    strip.SethContainerWnd(container.hWnd());
    strip.LockReDraw(false);
    std::vector<std::shared_ptr<PageForm>> pages;
    for (const wchar_t* caption : {L"一区 云海", L"二区 星河", L"三区 群星"}) {
        pages.push_back(std::make_shared<PageForm>());
        strip.TabItems().Add(caption, pages.back());
    }
    strip.SetSelected(0);
    strip.SetScale(scale);

    RECT client{};
    ::GetClientRect(strip.hWnd(), &client);
    EXPECT_NEAR(client.bottom, At(32), 1.0);
    EXPECT_EQ(client.right, width);
    POINT origin{0, 0};
    ::ClientToScreen(strip.hWnd(), &origin);

    // Each tab where it is drawn, as screen readers are told: its 96-DPI place scaled.
    IAccessible* acc = test::AccessibleOf(strip.hWnd(), strip.AccessibleObject());
    ASSERT_NE(acc, nullptr);
    for (long id = 1; id <= 3; ++id) {
        VARIANT child;
        child.vt = VT_I4;
        child.lVal = id;
        long x = 0, y = 0, w = 0, h = 0;
        ASSERT_EQ(acc->accLocation(&x, &y, &w, &h, child), S_OK);
        EXPECT_NEAR(x - origin.x, At(10 + (id - 1) * 205), 1.0) << id;
        EXPECT_NEAR(w, At(200), 1.0) << id;
        EXPECT_NEAR(h, At(32), 1.0) << id;
    }
    acc->Release();

    // Each tab picture's ends and bottom at the scaled place.
    auto pixels = mdlTabAPI::ReadPixels(strip.CompositeDC(), client.right, client.bottom);
    const auto pixel = [&](int x, int y) { return pixels[static_cast<std::size_t>(y * client.right + x)] & 0xFFFFFF; };
    // Unlike the strip's background, as it is in each row right of the tabs.
    const auto onTab = [&](int x, int y) {
        const std::uint32_t a = pixel(x, y), b = pixel(client.right - 1, y);
        int difference = 0;
        for (int shift : {0, 8, 16})
            difference += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        return difference > 40;
    };
    const int middleRow = static_cast<int>(At(16));
    for (int i = 0; i < 3; ++i) {
        const int left = static_cast<int>(At(10 + 205 * i)), right = static_cast<int>(At(10 + 205 * i + 200));
        int first = left - 4, last = right + 4, bottom = 0;
        while (first < right && !onTab(first, middleRow)) ++first;
        while (last > left && !onTab(last, middleRow)) --last;
        const int column = static_cast<int>(At(10 + 205 * i + 30));
        for (int y = 0; y < client.bottom; ++y)
            if (onTab(column, y)) bottom = y;
        EXPECT_NEAR(first, At(10 + 205 * i), 1.0) << "tab " << i << " left end";
        EXPECT_NEAR(last + 1, At(10 + 205 * i + 200), 1.0) << "tab " << i << " right end";
        EXPECT_NEAR(bottom + 1, At(26), 1.0) << "tab " << i << " bottom";
    }
    // The pointer over the second tab's close button: its glyph turns red where it is drawn.
    const POINT close{origin.x + static_cast<LONG>(At(10 + 205 + 200 - 14)), origin.y + static_cast<LONG>(At(13))};
    PointerTo(close, false);
    ASSERT_EQ(strip.HoverIndex(), 1);
    ASSERT_EQ(strip.HoverState(), 1) << "the pointer is not on the scaled close button";
    pixels = mdlTabAPI::ReadPixels(strip.CompositeDC(), client.right, client.bottom);
    // The red disc fills about half of the glyph's scaled box.
    int reds = 0;
    const int boxLeft = static_cast<int>(At(415 - 20)), boxTop = static_cast<int>(At(7));
    const int side = static_cast<int>(At(12));
    for (int y = boxTop; y < boxTop + side; ++y)
        for (int x = boxLeft; x < boxLeft + side; ++x)
            if (((pixel(x, y) >> 16) & 0xFF) > 150 && ((pixel(x, y) >> 8) & 0xFF) < 110) ++reds;
    EXPECT_GT(reds, side * side * 3 / 10) << "of " << side * side;

    // The real pointer on the second tab's middle selects it; on its close button, closes it.
    PointerTo({origin.x + static_cast<LONG>(At(10 + 205 + 80)), origin.y + static_cast<LONG>(At(16))}, true);
    EXPECT_EQ(strip.Selected(), 1);
    PointerTo(close, true);
    ASSERT_EQ(strip.TabItems().Count(), 2);
    EXPECT_EQ(strip.TabItems().Item(1)->Caption(), L"三区 群星");
    host.Unload();
}

TEST(TabStripOnScaledScreens, DrawsAndIsHitAtEachDpi) {
    test::RunChildrenAtEveryDpi();
}

}  // namespace
}  // namespace xcyh2
