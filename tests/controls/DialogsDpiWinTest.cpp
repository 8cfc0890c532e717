// The small skinned windows on scaled screens, under Wine: the close question and the updater's
// window at 96, 120, 144 and 192 DPI, each scale in a child process (support/DpiChild.h).
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <optional>
#include <string>

#include "base/WindowScale.h"
#include "desktop/MsgFrm.h"
#include "support/DpiChild.h"
#include "support/HostForm.h"
#include "support/WinTest.h"
#include "updater/UpdateFrm.h"

namespace xcyh2 {
namespace {

using test::At;
using test::ChildDpi;
using test::ClickMiddle;
using test::ExpectScaled;
using test::RectIn;

// What the close question looked like once it was up, measured from inside its modal loop.
struct Seen {
    static inline bool up = false;
    static inline RECT window{}, bar{}, close{}, yes{}, no{};
    static inline HWND yesButton = nullptr, atYesMiddle = nullptr;
    static inline MsgFrm* dialog = nullptr;
    static inline int textBottom = 0;  // below the question's last line, in the dialog

    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
        HWND dialog = ::FindWindowW(MsgFrm::kClassName, nullptr);
        if (!dialog || !::IsWindowVisible(dialog)) return;
        ::KillTimer(nullptr, timer);
        up = true;
        // The question in the dialog's own font, broken into lines as the dialog breaks it.
        RECT text{0, 0, static_cast<LONG>(std::lround(At(209))), 0};
        ::DrawTextW(Seen::dialog->FormSurface().hdc(), MsgFrm::kCloseQuestion, -1, &text,
                    DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        textBottom = static_cast<int>(std::lround(At(56))) + text.bottom;
        ::GetWindowRect(dialog, &window);
        bar = RectIn(::GetDlgItem(dialog, MsgFrm::kTitleBarId), dialog);
        close = RectIn(::GetDlgItem(dialog, MsgFrm::kCloseId), dialog);
        yesButton = ::GetDlgItem(dialog, MsgFrm::kYesId);
        yes = RectIn(yesButton, dialog);
        no = RectIn(::GetDlgItem(dialog, MsgFrm::kNoId), dialog);
        RECT middle{};
        ::GetWindowRect(yesButton, &middle);
        atYesMiddle = ::WindowFromPoint({(middle.left + middle.right) / 2, (middle.top + middle.bottom) / 2});
        ClickMiddle(yesButton);
    }
};

TEST(AtThisDpi, DISABLED_CloseQuestion) {
    ASSERT_GT(ChildDpi(), 0);
    ASSERT_EQ(WindowScale(nullptr).Dpi(), ChildDpi()) << "the prefix's DPI did not reach the program";
    test::HostForm owner{test::HostForm::Popup(L"DpiTestOwner", 0, 0, 800, 600, WS_POPUP)};
    owner.Show();
    bool exit = false;
    MsgFrm dialog(exit);
    Seen::dialog = &dialog;
    ::SetTimer(nullptr, 0, 20, &Seen::Tick);
    // Answered by the pointer on the scaled "是": the answer is yes only if the click landed on it.
    dialog.ShowModal(owner.hWnd());
    EXPECT_TRUE(exit);
    owner.Unload();
    ASSERT_TRUE(Seen::up);
    EXPECT_NEAR(Seen::window.right - Seen::window.left, At(242), 1.0);
    EXPECT_NEAR(Seen::window.bottom - Seen::window.top, At(140), 1.0);
    ExpectScaled(Seen::bar, 0, 0, 242, 500 / 15.0, "title bar");
    ExpectScaled(Seen::close, 242 - 730 / 15.0, 1, 43, 18, "close button");
    ExpectScaled(Seen::yes, 56, 88, 65, 25, "是");
    ExpectScaled(Seen::no, 136, 88, 65, 25, "否");
    EXPECT_EQ(Seen::atYesMiddle, Seen::yesButton);
    // Nothing of the question is under the buttons.
    EXPECT_LE(Seen::textBottom, Seen::yes.top);
}

TEST(AtThisDpi, DISABLED_UpdaterWindow) {
    ASSERT_GT(ChildDpi(), 0);
    UpdateFrm frm(UpdaterTarget{L"C:\\", L""}, L"C:\\no-such-update.txt", std::nullopt);
    frm.Load();
    ASSERT_TRUE(frm.IsLoaded());
    HWND window = frm.hWnd();
    RECT r{};
    ::GetWindowRect(window, &r);
    EXPECT_NEAR(r.right - r.left, At(380), 1.0);
    EXPECT_NEAR(r.bottom - r.top, At(118), 1.0);
    ExpectScaled(RectIn(::GetDlgItem(window, UpdateFrm::kTitleBarId), window), 0, 0, 380, 500 / 15.0, "title bar");
    ExpectScaled(RectIn(::GetDlgItem(window, UpdateFrm::kCloseId), window), 380 - 730 / 15.0, 1, 43, 18, "close");
    ExpectScaled(RectIn(::GetDlgItem(window, UpdateFrm::kProgressId), window), 20, 70, 340, 20, "progress bar");
    // Closing it from outside would ask whether to stop the update: the window goes with frm.
}

// A move to a screen of another scale, told far off: both windows take the new scale's sizes and
// land on the screen; the question still answers the pointer on its scaled button.
struct Moved {
    static inline RECT window{}, yes{};
    static inline const RECT farOff{-60000, 30000, -59000, 30500};
    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
        HWND dialog = ::FindWindowW(MsgFrm::kClassName, nullptr);
        if (!dialog || !::IsWindowVisible(dialog)) return;
        ::KillTimer(nullptr, timer);
        ::SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&farOff));
        ::GetWindowRect(dialog, &window);
        yes = RectIn(::GetDlgItem(dialog, MsgFrm::kYesId), dialog);
        ClickMiddle(::GetDlgItem(dialog, MsgFrm::kYesId));
    }
};

TEST(DialogsOnScaledScreens, FollowANewScaleAndStayReachable) {
    RECT work{}, inside{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const DpiScale scale(144);
    auto onScreen = [&](const RECT& r) { return ::IntersectRect(&inside, &r, &work) && ::EqualRect(&inside, &r); };

    UpdateFrm updater(UpdaterTarget{L"C:\\", L""}, L"C:\\no-such-update.txt", std::nullopt);
    updater.Load();
    ASSERT_TRUE(updater.IsLoaded());
    HWND window = updater.hWnd();
    ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&Moved::farOff));
    RECT r{};
    ::GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, scale.Pixels(380));
    EXPECT_EQ(r.bottom - r.top, scale.Pixels(118));
    EXPECT_TRUE(onScreen(r)) << "updater off the screen";
    RECT bar = RectIn(::GetDlgItem(window, UpdateFrm::kProgressId), window);
    EXPECT_EQ(bar.right - bar.left, scale.Pixels(340));
    RECT close = RectIn(::GetDlgItem(window, UpdateFrm::kCloseId), window);
    EXPECT_EQ(close.right - close.left, scale.Pixels(43));

    test::HostForm owner{test::HostForm::Popup(L"DpiMoveOwner", 0, 0, 800, 600, WS_POPUP)};
    owner.Show();
    bool exit = false;
    ::SetTimer(nullptr, 0, 20, &Moved::Tick);
    MsgFrm::Ask(owner.hWnd(), exit);
    owner.Unload();
    EXPECT_TRUE(exit) << "the pointer missed the scaled yes button";
    EXPECT_EQ(Moved::window.right - Moved::window.left, scale.Pixels(242));
    EXPECT_TRUE(onScreen(Moved::window)) << "question off the screen";
    EXPECT_EQ(Moved::yes.left, scale.Pixels(56));
}

TEST(DialogsOnScaledScreens, TakeTheirSizesAndHitBoxesAtEachDpi) {
    test::RunChildrenAtEveryDpi();
}

}  // namespace
}  // namespace xcyh2
