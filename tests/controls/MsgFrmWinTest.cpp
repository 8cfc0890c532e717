// The close question under Wine: its three answers and the closes that answer nothing, asked
// modally with the buttons pressed by messages; its shape, parts and pixels; dragging by its bar;
// and a thousand questions that leave no GDI object or window behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "controls/SkinPixels.h"
#include "desktop/MsgFrm.h"
#include "support/HostForm.h"
#include "support/WinTest.h"
#include "tabstrip/GdiObjectWatch.h"

namespace xcyh2 {
namespace {

using test::Pixels;

// Answers the next question once its dialog is on screen: presses a button (by its control id)
// with a left click, or sends WM_CLOSE when the id is 0.
struct Answerer {
    static inline UINT_PTR button = 0;
    static inline HWND owner = nullptr;
    static inline bool ownerWasDisabled = false;

    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
        HWND dialog = ::FindWindowW(MsgFrm::kClassName, nullptr);
        if (!dialog || !::IsWindowVisible(dialog)) return;  // next tick
        ::KillTimer(nullptr, timer);
        ownerWasDisabled = owner && !::IsWindowEnabled(owner);
        if (button == 0) {
            ::PostMessageW(dialog, WM_CLOSE, 0, 0);
            return;
        }
        HWND target = ::GetDlgItem(dialog, static_cast<int>(button));
        ::PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::PostMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    static bool Ask(HWND ownerWindow, UINT_PTR id, bool& m_bExit) {
        button = id;
        owner = ownerWindow;
        ::SetTimer(nullptr, 0, 1, &Tick);
        return MsgFrm::Ask(ownerWindow, m_bExit);
    }
};

BOOL CALLBACK CountChild(HWND, LPARAM p) {
    ++*reinterpret_cast<int*>(p);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND w, LPARAM p) {
    ++*reinterpret_cast<int*>(p);
    ::EnumChildWindows(w, &CountChild, p);
    return TRUE;
}

int CountThreadWindows() {
    int count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountTopLevel, reinterpret_cast<LPARAM>(&count));
    return count;
}

class MsgFrmTest : public ::testing::Test {
protected:
    void SetUp() override { owner.Show(); }
    void TearDown() override { owner.Unload(); }
    test::HostForm owner{test::HostForm::Popup(L"MsgFrmTestOwner", 0, 0, 600, 400, WS_POPUP)};
};

TEST_F(MsgFrmTest, ThreeAnswersAndClosesThatAnswerNothing) {
    struct Case {
        UINT_PTR button;
        bool before, after;
    } cases[] = {
        {MsgFrm::kYesId, false, true},   {MsgFrm::kNoId, true, false}, {MsgFrm::kCloseId, true, false},
        {0, true, true},                 {0, false, false},
    };
    for (const auto& c : cases) {
        bool m_bExit = c.before;
        EXPECT_EQ(Answerer::Ask(owner.handle(), c.button, m_bExit), c.after) << "button " << c.button;
        EXPECT_EQ(m_bExit, c.after) << "button " << c.button;
        EXPECT_TRUE(Answerer::ownerWasDisabled);           // the owner took no input meanwhile
        EXPECT_TRUE(::IsWindowEnabled(owner.handle()));    // and takes it again
        EXPECT_EQ(::FindWindowW(MsgFrm::kClassName, nullptr), nullptr);
    }
}

// Records the caption drags the dialog asks the system for, instead of running them.
WNDPROC g_dialogProc = nullptr;
int g_captionDrags = 0;
LRESULT CALLBACK RecordDrags(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCLBUTTONDOWN && wParam == HTCAPTION) {
        ++g_captionDrags;
        return 0;
    }
    return ::CallWindowProcW(g_dialogProc, hwnd, msg, wParam, lParam);
}

TEST_F(MsgFrmTest, ShapePartsPixelsAndDragging) {
    bool m_bExit = false;
    MsgFrm dialog(m_bExit);
    dialog.Show();
    HWND window = dialog.handle();
    RECT client;
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, 242);
    EXPECT_EQ(client.bottom, 140);

    // Rounded corners; the outline is given one pixel larger than the inner area, because a
    // rounded region leaves out its right and bottom lines: it covers the whole dialog.
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(window, region), ERROR);
    RECT box;
    ::GetRgnBox(region, &box);
    EXPECT_EQ(box.right, 242);
    EXPECT_EQ(box.bottom, 140);
    EXPECT_FALSE(::PtInRegion(region, 0, 0));
    EXPECT_FALSE(::PtInRegion(region, 241, 139));
    EXPECT_TRUE(::PtInRegion(region, 241, 70));
    EXPECT_TRUE(::PtInRegion(region, 120, 139));
    ::DeleteObject(region);

    auto placed = [&](HWND child) {
        RECT r;
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        return std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top};
    };
    EXPECT_EQ(placed(dialog.BForm1().hWnd()), (std::vector<LONG>{0, 0, 242, 33}));
    EXPECT_EQ(placed(dialog.closebtn().hWnd()), (std::vector<LONG>{193, 1, 43, 18}));  // 730 twips from the right
    EXPECT_EQ(placed(dialog.iButton1().hWnd()), (std::vector<LONG>{56, 88, 65, 25}));
    EXPECT_EQ(placed(dialog.iButton2().hWnd()), (std::vector<LONG>{136, 88, 65, 25}));
    EXPECT_EQ(dialog.BForm1().Caption(), L"星槎远航录2客户端");
    EXPECT_EQ(dialog.BForm1().BackColor(), std::to_wstring(0xDEDEDE));
    EXPECT_EQ(dialog.iButton1().Caption(), L"是");
    EXPECT_EQ(dialog.iButton2().Caption(), L"否");
    // The answers are drawn in the system's button-text colour, one character of 9 pt type (12
    // pixels, smoothed) in the middle of the button: its pixels, not the properties, which
    // would equal the control's defaults whether the dialog set them or not.
    const COLORREF ink = ::GetSysColor(COLOR_BTNTEXT);
    for (iButton* answer : {&dialog.iButton1(), &dialog.iButton2()}) {
        const Pixels face = Pixels::FromDc(answer->hdc(), 65, 25);
        const std::uint32_t background = face.At(1, 1);
        auto level = [](std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
        int left = 65, right = -1, top = 25, bottom = -1, inked = 0, darkest = 0;
        std::uint32_t darkestColour = background;
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < 65; ++x) {
                const std::uint32_t c = face.At(x, y);
                int away = 0;
                for (int shift : {0, 8, 16}) away = std::max(away, std::abs(level(c, shift) - level(background, shift)));
                if (away < 0x40) continue;  // the button's face, or the faintest edge of a stroke
                ++inked;
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
                if (away > darkest) darkest = away, darkestColour = c;
            }
        EXPECT_GT(inked, 15);
        EXPECT_GE(bottom - top + 1, 8);
        EXPECT_LE(bottom - top + 1, 13);
        EXPECT_LE(right - left + 1, 13);  // one character
        EXPECT_NEAR((left + right) / 2.0, 32, 3);
        EXPECT_NEAR((top + bottom) / 2.0, 12, 3);
        // The strokes' core is the ink's colour, give or take the smoothing.
        EXPECT_NEAR(level(darkestColour, 16), GetRValue(ink), 0x60);
        EXPECT_NEAR(level(darkestColour, 8), GetGValue(ink), 0x60);
        EXPECT_NEAR(level(darkestColour, 0), GetBValue(ink), 0x60);
    }

    // The close button shows the first frame of bitmap 103; the frame's edges come from bitmap 108
    // round a white inside that holds the question.
    const Pixels close = Pixels::FromResource(103), skin = Pixels::FromResource(108);
    Pixels button = Pixels::FromDc(dialog.closebtn().hdc(), 43, 18);
    int bad = 0;
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 43; ++x) bad += button.At(x, y) != close.At(x, y);
    EXPECT_EQ(bad, 0);
    Pixels form = Pixels::FromDc(dialog.FormSurface().hdc(), 242, 140);
    EXPECT_EQ(form.At(0, 100), skin.At(0, 53 + 100 % 20));
    EXPECT_EQ(form.At(241, 100), skin.At(93, 53 + 100 % 20));
    EXPECT_EQ(form.At(120, 139), skin.At(20 + 100 % 20, 84));
    EXPECT_EQ(form.At(120, 120), 0xFFFFFFu);
    int question = 0;
    for (int y = 56; y < 97; ++y)
        for (int x = 24; x < 233; ++x) question += form.At(x, y) != 0xFFFFFFu;
    EXPECT_GT(question, 100);

    // A press of any button on the bar starts the system's move of the dialog.
    g_dialogProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(window, GWLP_WNDPROC,
                                                                 reinterpret_cast<LONG_PTR>(&RecordDrags)));
    ::SendMessageW(dialog.BForm1().hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 10));
    ::SendMessageW(dialog.BForm1().hWnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(50, 10));
    EXPECT_EQ(g_captionDrags, 2);
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_dialogProc));

    // Escape answers as the close button does.
    m_bExit = true;
    ::SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(m_bExit);
    EXPECT_FALSE(dialog.IsLoaded());
}

TEST_F(MsgFrmTest, AThousandQuestionsLeaveNoGdiObjectOrWindow) {
    test::GdiObjectWatch watch;
    bool m_bExit = false;
    Answerer::Ask(owner.handle(), MsgFrm::kNoId, m_bExit);  // warm up
    const std::size_t objects = test::GdiObjectWatch::Live();
    const int windows = CountThreadWindows();
    int yes = 0;
    for (int i = 0; i < 1000; ++i) {
        m_bExit = false;
        yes += Answerer::Ask(owner.handle(), i % 3 == 0 ? MsgFrm::kYesId : i % 3 == 1 ? MsgFrm::kNoId : MsgFrm::kCloseId,
                             m_bExit);
    }
    EXPECT_EQ(yes, 334);
    EXPECT_EQ(test::GdiObjectWatch::Live(), objects);
    EXPECT_EQ(CountThreadWindows(), windows);
    EXPECT_TRUE(::IsWindowEnabled(owner.handle()));
}

}  // namespace
}  // namespace xcyh2
