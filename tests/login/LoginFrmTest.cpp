// The login page window with a scripted browser: its set-up, the readiness test and the
// app:// commands.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/DpiScale.h"
#include "login/FakeBrowser.h"
#include "app/ShellWindows.h"
#include "login/LoginBgFrm.h"
#include "login/LoginFrm.h"
#include "mainwindow/WebMainFrm.h"
#include "mainwindow/WebMainFrmTestView.h"
#include "base/PublicData.h"
#include "base/Settings.h"
#include "support/WinTest.h"

namespace xcyh2 {
namespace {

// Records the order in which the two login windows become visible.
std::vector<HWND>* g_shown = nullptr;
LRESULT CALLBACK RecordShow(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && g_shown && msg->message == WM_SHOWWINDOW && msg->wParam) g_shown->push_back(msg->hwnd);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

class LoginFrmTest : public ::testing::Test {
protected:
    void SetUp() override {
        windows.loginFrm().SetBrowserFactory([this](HWND parent, int x, int y, int w, int h) {
            fake = std::make_shared<test::FakeBrowser>();
            fake->placement = {parent, x, y, w, h};
            return fake;
        });
        windows.loginFrm().SetFatalEnd([this](const std::wstring& message) { fatal.push_back(message); });
        windows.loginFrm().Load();
        ASSERT_TRUE(fake);
        fake->documentUrl = settings::kLoginPageUrl;
    }
    void TearDown() override {
        windows.loginBgFrm().Unload();
        WebMainFrm::TestView{windows.webMainFrm()}.m_bExit() = true;  // no exit question in the tests
        windows.webMainFrm().Unload();
        xcyh2::test::PumpMessages(50);
    }
    HWND login() { return windows.loginFrm().handle(); }
    HWND background() { return windows.loginBgFrm().handle(); }

    ShellWindows windows;
    std::shared_ptr<test::FakeBrowser> fake;
    std::vector<std::wstring> fatal;
};

TEST_F(LoginFrmTest, LoadSetsUpBothWindowsHidden) {
    ASSERT_TRUE(windows.loginBgFrm().IsLoaded());
    EXPECT_FALSE(::IsWindowVisible(login()));
    EXPECT_FALSE(::IsWindowVisible(background()));
    EXPECT_EQ(fake->navigated, std::vector<std::wstring>{settings::kLoginPageUrl});

    RECT client;
    ::GetClientRect(login(), &client);
    EXPECT_EQ(client.right, 1237);
    EXPECT_EQ(client.bottom, 696);
    EXPECT_TRUE(::GetWindowLongW(login(), GWL_EXSTYLE) & WS_EX_LAYERED);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(login(), &key, &alpha, &flags));
    EXPECT_EQ(key, RGB(254, 254, 254));
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
    EXPECT_EQ(::GetWindow(login(), GW_OWNER), background());

    // The icons went to the background: 16 x 16 as the small one, 32 x 32 with wParam 2.
    HICON small = reinterpret_cast<HICON>(::SendMessageW(background(), WM_GETICON, ICON_SMALL, 0));
    ASSERT_TRUE(small);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(small, &info));
    BITMAP bm{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, 16);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    EXPECT_FALSE(xcyh2::test::ReadWholeFile(GetTempDir() + L"xcyh2.ico").empty());

    // The browser sits in its box at (-1, -1), 19 pixels larger than the 732 x 425 box.
    HWND box = fake->placement.parent;
    ASSERT_TRUE(::IsWindow(box));
    EXPECT_EQ(::GetParent(box), login());
    RECT r;
    ::GetWindowRect(box, &r);
    ::MapWindowPoints(nullptr, login(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 415);
    EXPECT_EQ(r.top, 179);
    EXPECT_EQ(r.right - r.left, 732);
    EXPECT_EQ(r.bottom - r.top, 425);
    EXPECT_EQ(fake->placement.x, -1);
    EXPECT_EQ(fake->placement.y, -1);
    EXPECT_EQ(fake->placement.width, 751);
    EXPECT_EQ(fake->placement.height, 444);

    // The two pictures, at their places and sizes.
    std::vector<RECT> pictures;
    for (HWND child = ::GetWindow(login(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (child == box) continue;
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, login(), reinterpret_cast<POINT*>(&r), 2);
        pictures.push_back(r);
    }
    ASSERT_EQ(pictures.size(), 2u);
    auto has = [&](int x, int y, int w, int h) {
        for (const RECT& p : pictures)
            if (p.left == x && p.top == y && p.right - p.left == w && p.bottom - p.top == h) return true;
        return false;
    };
    EXPECT_TRUE(has(1120, 130, 28, 28));
    EXPECT_TRUE(has(1152, 125, 34, 34));
}

TEST_F(LoginFrmTest, ReadinessWaitsForTheTopDocument) {
    std::vector<HWND> shown;
    g_shown = &shown;
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &RecordShow, nullptr, ::GetCurrentThreadId());

    // A frame whose address does not occur in the top document's address: nothing happens.
    fake->FireDocumentComplete(false, L"http://127.0.0.1:47180/xcyh2/login/news.html");
    EXPECT_FALSE(::IsWindowVisible(login()));
    EXPECT_FALSE(::IsWindowVisible(background()));
    EXPECT_TRUE(fake->Silent());

    // The top document: the background first, then the login window.
    fake->FireDocumentComplete(true, settings::kLoginPageUrl);
    EXPECT_TRUE(::IsWindowVisible(background()));
    EXPECT_TRUE(::IsWindowVisible(login()));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], background());
    EXPECT_EQ(shown[1], login());

    // A later completion repeats harmlessly.
    fake->FireDocumentComplete(true, settings::kLoginPageUrl);
    EXPECT_TRUE(::IsWindowVisible(login()));
    EXPECT_TRUE(fatal.empty());
    ::UnhookWindowsHookEx(hook);
    g_shown = nullptr;
}

TEST_F(LoginFrmTest, EmptyDocumentGivesTheMessageAndTheEnd) {
    fake->rootHtml.clear();
    fake->FireDocumentComplete(true, settings::kLoginPageUrl);
    ASSERT_EQ(fatal.size(), 1u);
    EXPECT_EQ(fatal[0], L"未能连接到服务器，请检查网络连接是否正常！");
    EXPECT_FALSE(::IsWindowVisible(login()));
}

TEST_F(LoginFrmTest, DownloadBeginAndContextMenu) {
    ASSERT_TRUE(fake->DownloadBegin);
    fake->DownloadBegin();
    EXPECT_TRUE(fake->Silent());
    ASSERT_TRUE(fake->Document_oncontextmenu);
    EXPECT_FALSE(fake->Document_oncontextmenu());
}

TEST_F(LoginFrmTest, MinimizeCommandsAndOtherAddresses) {
    fake->FireDocumentComplete(true, settings::kLoginPageUrl);
    EXPECT_FALSE(fake->FireBeforeNavigate2(L"http://127.0.0.1:47180/xcyh2/login/help.html"));
    EXPECT_FALSE(::IsIconic(background()));
    EXPECT_TRUE(fake->FireBeforeNavigate2(L"http://127.0.0.1:47180/xcyh2/login/help.html?next=app://minimize"));
    EXPECT_TRUE(::IsIconic(background()));
    EXPECT_TRUE(windows.loginFrm().IsLoaded());
}

TEST_F(LoginFrmTest, LoadGameWithoutAddressLeavesTheLogin) {
    EXPECT_TRUE(fake->FireBeforeNavigate2(L"app://loadgame"));
    EXPECT_TRUE(fake->FireBeforeNavigate2(L"app://loadgame|"));
    EXPECT_TRUE(windows.loginFrm().IsLoaded());
    EXPECT_TRUE(windows.loginBgFrm().IsLoaded());
    EXPECT_FALSE(windows.webMainFrm().IsLoaded());
}

TEST_F(LoginFrmTest, LoadGameOpensTheMainWindow) {
    std::weak_ptr<test::FakeBrowser> weak = fake;
    fake.reset();
    auto browser = weak.lock();
    // The window lets go of its browser inside the handler; the engine's caller keeps it.
    bool cancel = browser->FireBeforeNavigate2(L"app://loadgame|http://127.0.0.1:47180/xcyh2/game1.html|s1");
    EXPECT_FALSE(cancel);
    EXPECT_FALSE(windows.loginFrm().IsLoaded());
    EXPECT_FALSE(windows.loginBgFrm().IsLoaded());
    ASSERT_TRUE(windows.webMainFrm().IsLoaded());
    EXPECT_TRUE(::IsWindowVisible(windows.webMainFrm().handle()));
    EXPECT_EQ(browser.use_count(), 1);  // the window has let go of it
}

TEST_F(LoginFrmTest, ExitCommandUnloadsBoth) {
    EXPECT_TRUE(fake->FireBeforeNavigate2(L"app://exitgame"));
    EXPECT_FALSE(windows.loginFrm().IsLoaded());
    EXPECT_FALSE(windows.loginBgFrm().IsLoaded());
}

TEST_F(LoginFrmTest, MiniAndCloseButtons) {
    auto click = [this](int x, int y) {
        POINT pt{x, y};
        HWND picture = ::ChildWindowFromPoint(login(), pt);
        ASSERT_NE(picture, login());
        ::SendMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::SendMessageW(picture, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    };
    fake->FireDocumentComplete(true, settings::kLoginPageUrl);
    click(1130, 140);
    EXPECT_TRUE(::IsIconic(background()));
    click(1160, 135);
    EXPECT_FALSE(windows.loginFrm().IsLoaded());
    EXPECT_FALSE(windows.loginBgFrm().IsLoaded());
}

TEST_F(LoginFrmTest, NewScaleRedrawsBothWindowsAndKeepsThemReachable) {
    RECT before{}, work{};
    ::GetWindowRect(background(), &before);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // Far off at 144 DPI: moved onto the screen; then back where it was at 96.
    const struct {
        int dpi;
        RECT suggested;
    } cases[] = {{144, {-60000, 40000, -58000, 41000}}, {96, before}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        ::SendMessageW(background(), WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi), reinterpret_cast<LPARAM>(&c.suggested));
        const DpiScale scale(c.dpi);
        RECT back{}, page{}, inside{};
        ::GetWindowRect(background(), &back);
        ::GetWindowRect(login(), &page);
        EXPECT_EQ(back.right - back.left, scale.Pixels(1237));
        EXPECT_EQ(back.bottom - back.top, scale.Pixels(696));
        EXPECT_EQ(page.right - page.left, scale.Pixels(1237));
        EXPECT_TRUE(::IntersectRect(&inside, &back, &work) && ::EqualRect(&inside, &back)) << "not on the screen";
        if (c.dpi == 96) {
            EXPECT_TRUE(::EqualRect(&back, &before));
        }
        EXPECT_EQ(page.left, back.left);  // the page window came along
        EXPECT_EQ(fake->zoom, scale.Percent());
    }
}

}  // namespace
}  // namespace xcyh2
