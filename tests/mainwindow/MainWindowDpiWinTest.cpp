// The main window on scaled screens, under Wine, at 96, 120, 144 and 192 DPI, each scale in a
// child process (support/DpiChild.h): its parts at their 96-DPI sizes times the scale, and the
// real pointer's hit-tests on the scaled maximise button and sizing edge.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>

#include "base/PublicData.h"
#include "base/WindowScale.h"
#include "login/FakeBrowser.h"
#include "mainwindow/WebMainFrm.h"
#include "mainwindow/WebMainFrmTestView.h"
#include "support/DpiChild.h"
#include "support/WinTest.h"

namespace xcyh2 {
namespace {

using test::At;
using test::ChildDpi;
using test::ExpectScaled;
using test::RectIn;

BOOL WINAPI NoTray(DWORD, PNOTIFYICONDATAA) { return TRUE; }

// A length in twips at the child's scale (before rounding).
double Twips(double twips) { return At(twips / 15.0); }

TEST(AtThisDpi, DISABLED_MainWindow) {
    ASSERT_GT(ChildDpi(), 0);
    ASSERT_EQ(WindowScale(nullptr).Dpi(), ChildDpi()) << "the prefix's DPI did not reach the program";
    WebMainFrm frm;
    WebMainFrm::Environment env;
    env.browserFactory = [](HWND parent, int x, int y, int w, int h) {
        auto fake = std::make_shared<test::FakeBrowser>();
        fake->placement = {parent, x, y, w, h};
        return fake;
    };
    env.shellOpen = [](const std::wstring&) {};
    env.shellNotify = &NoTray;
    env.askExit = [] { return true; };
    env.msgBox = [](const std::wstring&, const std::wstring&, UINT) { return IDOK; };
    frm.SetEnvironment(env);
    // The icon file the login writes: the window's icons come from it at the screen's sizes.
    ASSERT_TRUE(SaveResToFile(101, L"ICON", GetTempDir() + L"xcyh2.ico"));
    frm.SetURL(L"http://127.0.0.1:47240/xcyh2/game1.html");
    ASSERT_TRUE(frm.IsLoaded());
    WebMainFrm::TestView view{frm};
    HWND window = frm.hWnd();
    frm.Show(SW_SHOW);
    test::PumpMessages(100);

    // Maximised over the work area: the title bar and the parts on it, from the right edge.
    RECT client{};
    ::GetClientRect(window, &client);
    const double width = client.right * 96.0 / ChildDpi();  // in 96-DPI pixels
    ExpectScaled(RectIn(view.WebBForm().hWnd(), window), 0, 0, width, 500 / 15.0, "title bar");
    ExpectScaled(RectIn(view.web_close().hWnd(), window), width - 730 / 15.0, 1, 43, 18, "close button");
    ExpectScaled(RectIn(view.web_minmax().hWnd(), window), width - 1105 / 15.0, 1, 25, 18, "maximise button");
    ExpectScaled(RectIn(view.OtherUserBtn().hWnd(), window), width - 4850 / 15.0, 0, 1485 / 15.0, 22,
                 "other-account link");
    ExpectScaled(RectIn(view.PicLogo().hWnd(), window), 100 / 15.0, 2, 440 / 15.0, 440 / 15.0, "logo");
    ExpectScaled(RectIn(view.WebuTab()->hWnd(), window), 2300 / 15.0, 3, width - 6900 / 15.0, 32, "tab strip");

    ICONINFO icon{};
    ASSERT_TRUE(::GetIconInfo(reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0)), &icon));
    BITMAP colour{};
    ::GetObjectW(icon.hbmColor, sizeof colour, &colour);
    EXPECT_NEAR(colour.bmWidth, At(16), 1.0) << "small icon";
    ::DeleteObject(icon.hbmColor);
    ::DeleteObject(icon.hbmMask);

    // The pointer on the scaled maximise button restores the window to its design size, or to
    // the work area where that is smaller.
    test::ClickMiddle(view.web_minmax().hWnd());
    ASSERT_TRUE(test::PumpUntil([&] { return !view.objStyle()->Maximised(); }, 3000));
    RECT restored{}, work{};
    ::GetWindowRect(window, &restored);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(restored.right - restored.left, std::min<double>(Twips(15540), work.right - work.left), 1.0);
    EXPECT_NEAR(restored.bottom - restored.top, std::min<double>(Twips(9585), work.bottom - work.top), 1.0);

    // Restored, the pointer just inside the right edge (within the scaled edge width, beyond
    // the 96-DPI one at 192 DPI) shows the sizing cursor.
    ::SetCursorPos(restored.right - static_cast<int>(At(4)), (restored.top + restored.bottom) / 2);
    EXPECT_TRUE(test::PumpUntil([] { return ::GetCursor() == ::LoadCursorW(nullptr, IDC_SIZEWE); }, 3000));

    view.m_bExit() = true;
    frm.Unload();
}

TEST(MainWindowOnScaledScreens, TakesItsSizesAndHitBoxesAtEachDpi) { test::RunChildrenAtEveryDpi(); }

}  // namespace
}  // namespace xcyh2
