// The image button and the title bar in real windows under Wine: their surfaces compared pixel
// by pixel with the pictures they are cut from, pointer and keys sent as messages, property
// bags written and read back, and GDI objects counted over many hover sequences.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/BForm.h"
#include "controls/iButton.h"
#include "controls/SkinPixels.h"
#include "support/Accessibility.h"
#include "support/HostForm.h"
#include "support/WinTest.h"
#include "tabstrip/GdiObjectWatch.h"

namespace xcyh2 {
namespace {

using test::Pixels;

// On top, low on the screen, away from the other tests' windows and pointer positions: the
// pointer tests ask the system which window is under the cursor.
forms::WindowDesign HostDesign() {
    forms::WindowDesign w = test::HostForm::Popup(L"ControlsTestHost", 800, 760, 1100, 300);
    w.exStyle = WS_EX_TOPMOST;
    w.background = RGB(0, 128, 0);
    return w;
}

class Controls : public ::testing::Test {
protected:
    void SetUp() override {
        host.Show();
        test::PumpMessages(50);
    }
    void TearDown() override { host.Unload(); }
    HWND Host() { return host.handle(); }

    // Mismatching pixels between a surface and frame `frame` of a strip with frames `width` wide.
    static int FrameMismatches(const Pixels& got, const Pixels& strip, int frame, int width) {
        int bad = 0;
        for (int y = 0; y < strip.height(); ++y)
            for (int x = 0; x < width; ++x) bad += got.At(x, y) != strip.At(frame * width + x, y);
        return bad;
    }

    test::HostForm host{HostDesign()};
};

TEST_F(Controls, EachStateShowsItsFrame) {
    const Pixels close = Pixels::FromResource(103), minmax = Pixels::FromResource(102);
    iButton push, toggle;
    ASSERT_TRUE(push.Create(Host(), 10, 10, 43, 18, {{L"AutoSize", false}, {L"BackPicture", 103}}));
    ASSERT_TRUE(toggle.Create(Host(), 60, 10, 25, 18, {{L"AutoSize", false}, {L"BackPicture", 102}, {L"Style", 1}}));
    struct Case {
        iButton* button;
        const Pixels* strip;
        int frameWidth, state;
        bool value, locked;
        int frame;
    } cases[] = {
        {&push, &close, 43, 0, false, false, 0},  {&push, &close, 43, 1, false, false, 1},
        {&push, &close, 43, 2, false, false, 2},  {&push, &close, 43, 1, false, true, 2},
        {&push, &close, 43, 0, true, false, 0},   // Value stays False on a push button
        {&toggle, &minmax, 25, 0, false, false, 0}, {&toggle, &minmax, 25, 2, false, false, 2},
        {&toggle, &minmax, 25, 0, true, false, 3},  {&toggle, &minmax, 25, 1, true, false, 4},
        {&toggle, &minmax, 25, 2, true, false, 5},  {&toggle, &minmax, 25, 0, true, true, 5},
    };
    for (const auto& c : cases) {
        c.button->SetValue(c.value);
        c.button->SetLocked(c.locked);
        c.button->cMouseAction(c.state, true);
        Pixels got = Pixels::FromDc(c.button->hdc(), c.frameWidth, 18);
        EXPECT_EQ(FrameMismatches(got, *c.strip, c.frame, c.frameWidth), 0)
            << "frame width " << c.frameWidth << " state " << c.state << " value " << c.value << " locked " << c.locked;
    }
    EXPECT_FALSE(push.Value());
}

TEST_F(Controls, ThePressedCaptionMovesOnePixelAndAutoSizeTakesOneFrame) {
    iButton captioned;
    ASSERT_TRUE(captioned.Create(Host(), 10, 40, 65, 25, {{L"AutoSize", false}, {L"Caption", std::wstring(L"是")}}));
    captioned.cMouseAction(0, true);
    Pixels normal = Pixels::FromDc(captioned.hdc(), 65, 25);
    captioned.cMouseAction(2, true);
    Pixels pressed = Pixels::FromDc(captioned.hdc(), 65, 25);
    int text = 0, moved = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 64; ++x) {
            text += normal.At(x, y) != normal.At(0, 0);
            moved += pressed.At(x + 1, y + 1) != normal.At(x, y);
        }
    EXPECT_GT(text, 10);  // the caption is there
    EXPECT_EQ(moved, 0);  // and one pixel right and down while pressed

    // AutoSize (the default) with a 72 x 18 strip: one 24 x 18 frame, also after a resize.
    iButton sized;
    ASSERT_TRUE(sized.Create(Host(), 10, 80, 100, 50, {{L"BackPicture", 101}}));
    RECT r;
    ::GetClientRect(sized.hWnd(), &r);
    EXPECT_EQ(r.right, 24);
    EXPECT_EQ(r.bottom, 18);
    sized.Move(10, 80, 100, 50);
    ::GetClientRect(sized.hWnd(), &r);
    EXPECT_EQ(r.right, 24);
    EXPECT_EQ(r.bottom, 18);
}

TEST_F(Controls, PointerAndKeysDriveTheButtonAndHoveringLeaksNoGdiObject) {
    test::GdiObjectWatch watch;
    auto button = std::make_unique<iButton>();
    ASSERT_TRUE(button->Create(Host(), 200, 10, 43, 18, {{L"AutoSize", false}, {L"BackPicture", 103}}));
    int overs = 0, outs = 0, clicks = 0;
    button->MouseOver = [&] { ++overs; };
    button->MouseOut = [&] { ++outs; };
    button->Click = [&] { ++clicks; };
    POINT inside{20, 9}, outside{5, 250};
    ::ClientToScreen(button->hWnd(), &inside);
    ::ClientToScreen(Host(), &outside);
    auto send = [&](UINT msg, WPARAM w, LPARAM l = MAKELPARAM(20, 9)) { ::SendMessageW(button->hWnd(), msg, w, l); };
    // Over the button, press, release, away: returns the states drawn after each step.
    auto hover = [&] {
        std::vector<int> drawn;
        ::SetCursorPos(inside.x, inside.y);
        send(WM_MOUSEMOVE, 0);
        drawn.push_back(button->DrawnState());
        send(WM_LBUTTONDOWN, MK_LBUTTON);
        drawn.push_back(button->DrawnState());
        send(WM_LBUTTONUP, 0);
        drawn.push_back(button->DrawnState());
        ::SetCursorPos(outside.x, outside.y);
        send(WM_TIMER, 1, 0);
        drawn.push_back(button->DrawnState());
        return drawn;
    };
    const std::vector<int> hovered{1, 2, 1, 0};
    ::SetCursorPos(outside.x, outside.y);
    ASSERT_TRUE(test::PumpUntil([&] { return outs == 1; }, 2000));  // the first tick, away from the pointer
    EXPECT_EQ(hover(), hovered);
    EXPECT_EQ((std::vector<int>{overs, outs, clicks}), (std::vector<int>{1, 2, 1}));

    // Enter clicks on key-down, Space on key-up; a right click does not click.
    send(WM_KEYDOWN, VK_RETURN, 0);
    send(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(clicks, 2);
    send(WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(clicks, 3);
    send(WM_RBUTTONDOWN, MK_RBUTTON);
    send(WM_RBUTTONUP, 0);
    EXPECT_EQ(clicks, 3);

    const std::size_t before = test::GdiObjectWatch::Live();
    int exact = 0;
    for (int i = 0; i < 1000; ++i) exact += hover() == hovered;
    EXPECT_EQ(test::GdiObjectWatch::Live(), before);
    EXPECT_EQ(clicks, 1003);
    // The pointer belongs to the whole Wine session: a test running beside this one in another
    // program may move it now and then.
    EXPECT_GE(exact, 990);

    // A handler may destroy the button that raised its event.
    button->Click = [&] { button.reset(); };
    ::SetCursorPos(inside.x, inside.y);
    HWND window = button->hWnd();
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 9));
    ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(20, 9));
    EXPECT_EQ(button, nullptr);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_LT(test::GdiObjectWatch::Live(), before);  // its surface and frames went with it
}

TEST_F(Controls, TheBarIsTiledFromTheSkinAndHoldsItsHeight) {
    const Pixels skin = Pixels::FromResource(108);
    BForm bar;
    ASSERT_TRUE(bar.Create(Host(), 0, 0, 1033, {{L"Caption", std::wstring(L"星槎")}}));
    RECT r;
    ::GetClientRect(bar.hWnd(), &r);
    EXPECT_EQ(r.bottom, 33);
    bar.Move(0, 0, 1033, 66);
    ::GetClientRect(bar.hWnd(), &r);
    EXPECT_EQ(r.bottom, 33);

    // Every pixel outside the caption's box comes from the skin piece drawn there last.
    auto expected = [&](int x, int y) {
        if (x >= 966) return skin.At(27 + x - 966, y);  // the right end
        if (x < 36) return skin.At(x, y);               // the left end
        return skin.At(20 + (x - 20) % 20, y);          // the tiles, every 20 pixels from x 20
    };
    auto captionStart = [&] {
        Pixels got = Pixels::FromDc(bar.hdc(), 1033, 33);
        int first = -1, bad = 0;
        for (int y = 0; y < 33; ++y)
            for (int x = 0; x < 1033; ++x) {
                if (got.At(x, y) == expected(x, y)) continue;
                if (y >= 8 && y < 30 && x < 100) {
                    if (first < 0 || x < first) first = x;
                } else {
                    ++bad;
                }
            }
        EXPECT_EQ(bad, 0);
        return first;
    };
    int start = captionStart();
    EXPECT_GE(start, 10);
    EXPECT_LT(start, 13);
    bar.SetHasLogo(true);
    start = captionStart();
    EXPECT_GE(start, 40);
    EXPECT_LT(start, 43);
}

// On a screen at exactly 150 % or 200 % the button's frames and the bar's tiles are the art drawn
// for that scale, copied pixel for pixel, not the 100 % art enlarged.
TEST_F(Controls, AtASetsScaleTheButtonAndBarShowItsArt) {
    for (int dpi : {144, 192}) {
        const DpiScale scale(dpi);
        const int set = scale.ArtSet();
        const Pixels strip = Pixels::FromArtSet(103, set), skin = Pixels::FromArtSet(108, set);
        ASSERT_EQ(strip.width(), 3 * scale.Pixels(43)) << set;
        ASSERT_EQ(strip.height(), scale.Pixels(18)) << set;
        const int frameWidth = strip.width() / 3;

        iButton button;
        ASSERT_TRUE(button.Create(Host(), 10, 10, frameWidth, strip.height(), {{L"AutoSize", false}, {L"BackPicture", 103}}));
        button.SetDpi(dpi);
        for (int state = 0; state < 3; ++state) {
            button.cMouseAction(state, true);
            Pixels got = Pixels::FromDc(button.hdc(), frameWidth, strip.height());
            EXPECT_EQ(FrameMismatches(got, strip, state, frameWidth), 0) << "set " << set << " state " << state;
        }

        BForm bar;
        bar.SetScale(scale);
        ASSERT_TRUE(bar.Create(Host(), 0, 60, scale.Pixels(1033), {}));
        const int height = scale.TwipsToPixels(500), tile = scale.Pixels(20);
        Pixels got = Pixels::FromDc(bar.hdc(), scale.Pixels(1033), height);
        int bad = 0;
        // The tiles between the logo's place and the right end, every 20 pixels (at 96 DPI) from x 20.
        for (int y = 0; y < height; ++y)
            for (int x = scale.Pixels(120); x < scale.Pixels(960); ++x) bad += got.At(x, y) != skin.At(tile + (x - tile) % tile, y);
        EXPECT_EQ(bad, 0) << "set " << set;
    }
}

// What happened, in order: caption drags asked of the host, and the bar's events.
std::vector<std::string> g_order;
WNDPROC g_hostProc = nullptr;
LRESULT CALLBACK RecordDrag(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCLBUTTONDOWN && wParam == HTCAPTION) {
        g_order.push_back("drag");
        return 0;  // the system's move loop is not run here
    }
    return ::CallWindowProcW(g_hostProc, hwnd, msg, wParam, lParam);
}

TEST_F(Controls, TheBarDragsItsWindowBeforeRaisingMouseDown) {
    BForm bar;
    ASSERT_TRUE(bar.Create(Host(), 0, 0, 300));
    bar.MouseDown = [](short& button, short&, float& x, float&) {
        g_order.push_back("MouseDown " + std::to_string(button) + " " + std::to_string(static_cast<int>(x)));
    };
    g_hostProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(Host(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordDrag)));
    auto press = [&](UINT msg, WPARAM keys) { ::SendMessageW(bar.hWnd(), msg, keys, MAKELPARAM(50, 10)); };
    press(WM_LBUTTONDOWN, MK_LBUTTON);  // frmHwnd 0: no drag
    bar.SetfrmHwnd(Host());
    press(WM_LBUTTONDOWN, MK_LBUTTON);
    press(WM_RBUTTONDOWN, MK_RBUTTON);  // the right button never drags
    ::SetWindowLongPtrW(Host(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_hostProc));
    EXPECT_EQ(g_order, (std::vector<std::string>{"MouseDown 1 750", "drag", "MouseDown 1 750", "MouseDown 2 750"}));
}

TEST_F(Controls, PrintformDrawsTheFormsEdgesAndCorners) {
    const Pixels skin = Pixels::FromResource(108);
    BForm bar;
    ASSERT_TRUE(bar.Create(Host(), 0, 0, 305));
    Surface form;
    form.SetBackColor(RGB(255, 255, 255));
    form.Resize(305, 200);
    bar.Printform(form);
    Pixels got = Pixels::FromDc(form.hdc(), 305, 200);
    auto expected = [&](int x, int y) -> std::uint32_t {
        if (y >= 196) {  // the bottom edge and its corners: the skin's last four rows
            int sy = 81 + y - 196;
            if (x < 36) return skin.At(x, sy);
            if (x >= 272) return skin.At(61 + x - 272, sy);
            return skin.At(20 + (x - 20) % 20, sy);
        }
        int sy = 53 + (y - 20) % 20;  // side pieces every 20 pixels from y 20, the later on top
        if (y >= 20 && x < 4) return skin.At(x, sy);
        if (y >= 20 && x >= 301) return skin.At(90 + x - 301, sy);
        return 0xFFFFFF;
    };
    int bad = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 305; ++x) bad += got.At(x, y) != expected(x, y);
    EXPECT_EQ(bad, 0);
}

TEST_F(Controls, ATransparentButtonShowsTheBarBeneathIt) {
    host.Hide();  // as a form's controls are made while it loads, before it is shown
    BForm bar;
    ASSERT_TRUE(bar.Create(Host(), 0, 0, 600, {{L"Caption", std::wstring()}}));
    iButton link;
    ASSERT_TRUE(link.Create(Host(), 300, 6, 90, 22, {{L"AutoSize", false}, {L"cBackStyle", 0}}));
    link.Move(400, 6, 90, 22);  // and again after a move
    host.Show();
    Pixels under = Pixels::FromDc(bar.hdc(), 600, 33), shown = Pixels::FromDc(link.hdc(), 90, 22);
    int bad = 0;
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 90; ++x) bad += shown.At(x, y) != (y + 6 < 33 ? under.At(400 + x, y + 6) : 0x008000u);
    EXPECT_EQ(bad, 0);
}

TEST_F(Controls, MissingPicturesLeavePlainWorkingControls) {
    iButton button;
    ASSERT_TRUE(button.Create(Host(), 10, 10, 60, 20,
                              {{L"AutoSize", false}, {L"BackPicture", 999}, {L"Caption", std::wstring(L"确定")}}));
    EXPECT_EQ(button.BackPicture(), nullptr);
    EXPECT_EQ(Picture::FromBitmap(reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(0x1234))), nullptr);
    int clicks = 0;
    button.Click = [&] { ++clicks; };
    ::SendMessageW(button.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(button.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 1);
    Pixels got = Pixels::FromDc(button.hdc(), 60, 20);
    EXPECT_EQ(got.At(1, 1), test::Pixels::Rgb(::GetSysColor(COLOR_BTNFACE)));
    int text = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) text += got.At(x, y) != got.At(0, 0);
    EXPECT_GT(text, 10);

    // A bar without its skin: the background colour and the caption; Printform only clears.
    BForm bar(999);
    ASSERT_TRUE(bar.Create(Host(), 0, 100, 300, {{L"BackColor", std::wstring(L"14606046")}}));
    Pixels plain = Pixels::FromDc(bar.hdc(), 300, 33);
    EXPECT_EQ(plain.At(2, 2), 0xDEDEDEu);
    EXPECT_EQ(plain.At(299, 32), 0xDEDEDEu);
    Surface form;
    form.SetBackColor(RGB(255, 255, 255));
    form.Resize(100, 100);
    bar.Printform(form);
    EXPECT_EQ(Pixels::FromDc(form.hdc(), 100, 100).At(0, 99), 0xFFFFFFu);
}

TEST_F(Controls, ScreenReadersSeeNamedPushButtonsThatTheyCanPress) {
    struct Case {
        const wchar_t* caption;
        const wchar_t* job;  // SetAccessibleName, or none
        bool enabled;
        const wchar_t* name;
        int clicks;
    };
    const Case cases[] = {
        {L"登录其他帐号", nullptr, true, L"登录其他帐号", 1},  // a link: its caption
        {L"", L"关闭", true, L"关闭", 1},                      // a picture button: its job
        {L"", L"最小化", false, L"最小化", 0},                 // disabled: not pressed
    };
    for (const Case& c : cases) {
        auto button = std::make_unique<iButton>();
        ASSERT_TRUE(button->Create(Host(), 10, 10, 60, 20,
                                   {{L"AutoSize", false}, {L"Caption", std::wstring(c.caption)}}));
        if (c.job) button->SetAccessibleName(c.job);
        button->SetEnabled(c.enabled);
        ::EnableWindow(button->hWnd(), c.enabled);
        int clicks = 0;
        button->Click = [&] { ++clicks; };
        IAccessible* acc = test::AccessibleOf(button->hWnd(), button->AccessibleObject());
        ASSERT_NE(acc, nullptr);
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        VARIANT v;
        ASSERT_EQ(acc->get_accRole(self, &v), S_OK);
        EXPECT_EQ(v.lVal, ROLE_SYSTEM_PUSHBUTTON);
        BSTR name = nullptr;
        ASSERT_EQ(acc->get_accName(self, &name), S_OK);
        EXPECT_EQ(std::wstring(name), c.name);
        ::SysFreeString(name);
        ASSERT_EQ(acc->get_accState(self, &v), S_OK);
        EXPECT_EQ((v.lVal & STATE_SYSTEM_UNAVAILABLE) != 0, !c.enabled) << c.name;
        EXPECT_EQ(acc->accDoDefaultAction(self), S_OK);
        EXPECT_EQ(clicks, c.clicks) << c.name;
        long count = -1;
        EXPECT_EQ(acc->get_accChildCount(&count), S_OK);
        EXPECT_EQ(count, 0);
        // Held past the button's end: answers, no crash.
        button.reset();
        EXPECT_EQ(acc->accDoDefaultAction(self), RPC_E_DISCONNECTED);
        acc->Release();
    }
}

TEST_F(Controls, PropertyBagsKeepWhatDiffersFromTheDefaults) {
    forms::PropertyBag fresh;
    iButton plain;
    ASSERT_TRUE(plain.Create(Host(), 0, 0, 20, 20));
    plain.WriteProperties(fresh);
    EXPECT_EQ(fresh.size(), 3u);  // font, draw mode and text colour are always written

    FontDesc font;
    font.name = L"黑体";
    font.size = 10.5;
    font.underline = true;
    forms::PropertyBag saved;
    {
        iButton button;
        ASSERT_TRUE(button.Create(Host(), 0, 0, 20, 20));
        button.SetBackPicture(Picture::LoadBitmapResource(102));
        button.SetStyle(1);
        button.SetAutoSize(false);
        button.SetCaption(L"游戏官网");
        button.SetcForeColor(RGB(255, 255, 255));
        button.SetcFont(font);
        button.SetcBackStyle(0);
        button.SetEnabled(false);
        button.WriteProperties(saved);
    }
    iButton read;
    ASSERT_TRUE(read.Create(Host(), 0, 0, 20, 20, saved));
    ASSERT_NE(read.BackPicture(), nullptr);
    EXPECT_EQ(read.BackPicture()->ResourceId(), 102);
    EXPECT_EQ(read.Style(), 1);
    EXPECT_FALSE(read.AutoSize());
    EXPECT_EQ(read.Caption(), L"游戏官网");
    EXPECT_EQ(read.cForeColor(), RGB(255, 255, 255));
    EXPECT_EQ(read.cFont(), font);
    EXPECT_EQ(read.cBackStyle(), 0);
    EXPECT_FALSE(read.Enabled());
    EXPECT_FALSE(::IsWindowEnabled(read.hWnd()));

    BForm bar;
    ASSERT_TRUE(bar.Create(Host(), 0, 0, 200));
    forms::PropertyBag barBag;
    bar.WriteProperties(barBag);
    EXPECT_EQ(barBag.size(), 1u);  // HasLogo only
    bar.SetBackColor(L"not a colour");
    EXPECT_EQ(bar.BackColor(), L"14346732");
    bar.SetBackColor(L"14606046");
    bar.SetCaption(L"提示");
    bar.SetHasLogo(true);
    bar.SetfrmHwnd(Host());
    bar.WriteProperties(barBag);
    BForm readBar;
    ASSERT_TRUE(readBar.Create(Host(), 0, 40, 200, barBag));
    EXPECT_EQ(readBar.BackColor(), L"14606046");
    EXPECT_EQ(readBar.Caption(), L"提示");
    EXPECT_TRUE(readBar.HasLogo());
    EXPECT_EQ(readBar.frmHwnd(), Host());
}

}  // namespace
}  // namespace xcyh2
