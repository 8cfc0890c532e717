// The built-in engine under Wine against the demo publisher server.
#include <gtest/gtest.h>

#include "browser/BuiltInBrowser.h"
#include "browser/WebBrowser.h"
#include "browser/EngineTestSupport.h"
#include "tabstrip/EventLogWatch.h"

#include <stdexcept>

namespace xcyh2::browser {
namespace {

using test::DemoUrl;
using test::EventLog;
using test::ParentWindow;
using xcyh2::test::PumpMessages;
using xcyh2::test::PumpUntil;

// Closes a popup menu that is showing, noting that it was there.
bool g_menuSeen = false;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = ::FindWindowW(L"#32768", nullptr);
    g_menuSeen = menu && ::IsWindowVisible(menu);
    ::EndMenu();
}

class BuiltInBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (DemoUrl().empty()) GTEST_FAIL() << "XCYH2_DEMO_URL is not set (run through ctest)";
        browser = CreateBuiltInBrowser(parent.get(), 0, 0, 760, 560);
        ASSERT_TRUE(browser);
        log.Attach(*browser);
    }
    // Navigates and waits for the top document's completion.
    bool Open(const std::wstring& url, DWORD ms = 10000) {
        log.lines.clear();
        browser->Navigate(url);
        return PumpUntil([&] { return log.Has(L"DC top "); }, ms);
    }
    std::wstring Text() const { return BuiltInDocumentText(*browser); }
    void Click(int x, int y) {
        ::SendMessageW(browser->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::SendMessageW(browser->hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }

    ParentWindow parent;
    std::shared_ptr<IWebBrowser> browser;
    EventLog log;
};

// An exception from the host's handler stops at the event: reported, and the page goes on.
TEST_F(BuiltInBrowserTest, AThrowingHandlerIsReportedAndThePageGoesOn) {
    xcyh2::test::EventLogWatch watch;
    browser->TitleChange = [](const std::wstring&) { throw std::runtime_error("title failed"); };
    ASSERT_TRUE(Open(DemoUrl() + L"/xcyh2/login/login.html")) << log.Joined();
    const auto& lines = xcyh2::test::EventLogWatch::Lines();
    ASSERT_FALSE(lines.empty());
    for (const std::wstring& line : lines) EXPECT_EQ(line, L"BuiltInBrowser.Event: title failed");
}

TEST_F(BuiltInBrowserTest, EventsComeInTheSystemControlsOrder) {
    std::wstring page = DemoUrl() + L"/xcyh2/login/login.html";
    std::wstring frame = DemoUrl() + L"/xcyh2/login/news.html";
    ASSERT_TRUE(Open(page)) << log.Joined();
    EXPECT_EQ(log.IndexOf(L"BN " + page), 0) << log.Joined();
    EXPECT_EQ(log.IndexOf(L"DB"), 1) << log.Joined();
    int title = log.IndexOf(L"TC 星槎远航录2 登录");
    int frameBn = log.IndexOf(L"BN " + frame);
    int frameDc = log.IndexOf(L"DC frame " + frame);
    int top = log.IndexOf(L"DC top " + page);
    EXPECT_GT(title, 1) << log.Joined();
    EXPECT_GT(frameBn, 1) << log.Joined();
    EXPECT_GT(frameDc, frameBn) << log.Joined();
    EXPECT_GT(top, frameDc) << log.Joined();
    EXPECT_EQ(top, static_cast<int>(log.lines.size()) - 1) << log.Joined();

    EXPECT_EQ(browser->DocumentUrl(), page);
    std::wstring root = browser->DocumentRootInnerHtml();
    EXPECT_NE(root.find(L"app://loadgame|"), std::wstring::npos);
    // Page and frame are both drawn.
    EXPECT_NE(Text().find(L"欢迎回来"), std::wstring::npos) << Text();
    EXPECT_NE(Text().find(L"云海巡航周"), std::wstring::npos) << Text();

    // A later completion (Refresh) raises the events again, without BeforeNavigate2.
    log.lines.clear();
    browser->Refresh();
    EXPECT_TRUE(PumpUntil([&] { return log.Has(L"DC top "); }, 10000)) << log.Joined();
    EXPECT_FALSE(log.Has(L"BN " + page));
}

TEST_F(BuiltInBrowserTest, CancelStopsTheNavigationAndAFrameOnly) {
    ASSERT_TRUE(Open(DemoUrl() + L"/xcyh2/login/help.html"));
    log.cancelIfContains = L"help.html";
    log.lines.clear();
    browser->Navigate(DemoUrl() + L"/xcyh2/login/help.html?again");
    ASSERT_TRUE(PumpUntil([&] { return log.Has(L"BN "); }));
    EXPECT_EQ(browser->DocumentUrl(), DemoUrl() + L"/xcyh2/login/help.html");

    // A cancelled frame is not fetched; the top document still completes. Its completion is
    // also the point by which the cancelled page above would have been asked for.
    log.cancelIfContains = L"news.html";
    browser->Navigate(DemoUrl() + L"/xcyh2/login/login.html");
    ASSERT_TRUE(PumpUntil([&] { return log.Has(L"DC top "); })) << log.Joined();
    EXPECT_EQ(test::DemoRequests().find("help.html?again"), std::string::npos);
    ASSERT_GE(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[1], L"BN " + DemoUrl() + L"/xcyh2/login/login.html") << log.Joined();
    EXPECT_FALSE(log.Has(L"DC frame ")) << log.Joined();
    EXPECT_EQ(Text().find(L"云海巡航周"), std::wstring::npos);
}

TEST_F(BuiltInBrowserTest, LinksClickBlankTargetAndContextMenu) {
    std::string page =
        "<html><body><a href=\"/xcyh2/game2.html\" target=\"_blank\">NEWWINDOWNEWWINDOW</a></body></html>";
    ASSERT_TRUE(test::DemoSet(L"/t/blank.html", page));
    ASSERT_TRUE(Open(DemoUrl() + L"/t/blank.html"));
    log.lines.clear();
    Click(30, 16);  // the one link, at the page's top-left margin
    EXPECT_EQ(log.Joined(), L"NW " + DemoUrl() + L"/xcyh2/game2.html\n");

    std::string same = "<html><body><a href=\"app://minimize\">MINIMIZEMINIMIZE</a></body></html>";
    ASSERT_TRUE(test::DemoSet(L"/t/same.html", same));
    ASSERT_TRUE(Open(DemoUrl() + L"/t/same.html"));
    log.cancelIfContains = L"app://";
    log.lines.clear();
    Click(30, 16);
    EXPECT_EQ(log.Joined(), L"BN app://minimize\n");  // cancelled: nothing else
    // Not a click: pressed on the link, released elsewhere.
    log.lines.clear();
    ::SendMessageW(browser->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 16));
    ::SendMessageW(browser->hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(400, 400));
    EXPECT_TRUE(log.lines.empty());

    // The document's handler says no: no menu, the message returns at once.
    ::SendMessageW(browser->hWnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(browser->hWnd()), MAKELPARAM(100, 100));
    EXPECT_EQ(log.contextMenuCalls, 1);
}

TEST_F(BuiltInBrowserTest, ALinkInAFrameNavigatesThatFrame) {
    ASSERT_TRUE(test::DemoSet(L"/t/outer.html", "<html><body><iframe src=\"/t/inner.html\" width=\"400\" "
                                                 "height=\"100\"></iframe></body></html>"));
    ASSERT_TRUE(test::DemoSet(L"/t/inner.html", "<html><body><a href=\"/xcyh2/login/help.html\">"
                                                 "INNERLINKINNERLINK</a></body></html>"));
    ASSERT_TRUE(Open(DemoUrl() + L"/t/outer.html"));
    log.lines.clear();
    Click(40, 26);  // the frame's box starts at the page margin, its link at the frame's margin
    std::wstring help = DemoUrl() + L"/xcyh2/login/help.html";
    ASSERT_TRUE(PumpUntil([&] { return log.Has(L"DC "); })) << log.Joined();
    EXPECT_EQ(log.Joined(), L"BN " + help + L"\nDC frame " + help + L"\n");
    EXPECT_EQ(browser->DocumentUrl(), DemoUrl() + L"/t/outer.html");
    EXPECT_NE(Text().find(L"登录帮助"), std::wstring::npos) << Text();
}

TEST_F(BuiltInBrowserTest, LongPagesScrollUnlessOverflowIsHidden) {
    std::string page = "<html><body>";
    for (int i = 0; i < 200; ++i) page += "<p>第" + std::to_string(i) + "段</p>";
    ASSERT_TRUE(test::DemoSet(L"/t/long.html", page + "</body></html>"));
    ASSERT_TRUE(Open(DemoUrl() + L"/t/long.html"));
    HWND hwnd = browser->hWnd();
    SCROLLINFO si{sizeof(si), SIF_ALL};
    ASSERT_TRUE(::GetScrollInfo(hwnd, SB_VERT, &si));
    EXPECT_GT(si.nMax, 2000);
    ::SendMessageW(hwnd, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_GT(::GetScrollPos(hwnd, SB_VERT), 0);
    ::SendMessageW(hwnd, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(::GetScrollPos(hwnd, SB_VERT), 0);

    browser->SetRootOverflow(L"hidden");
    ::SendMessageW(hwnd, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(::GetScrollPos(hwnd, SB_VERT), 0);
    si = SCROLLINFO{sizeof(si), SIF_ALL};
    ::GetScrollInfo(hwnd, SB_VERT, &si);
    EXPECT_EQ(si.nMax, 0);
}

// The zoom is the control's: set before a page completes it applies to that page and the next,
// and a change lays out what was fetched again, with no event and no fetch. At 100 % the page is
// laid out exactly as before.
TEST_F(BuiltInBrowserTest, ZoomScalesTheLaidOutText) {
    std::string page = "<html><body>";
    for (int i = 0; i < 40; ++i) page += "<p>第" + std::to_string(i) + "段 paragraph</p>";
    ASSERT_TRUE(test::DemoSet(L"/t/zoom.html", page + "</body></html>"));
    auto pageHeight = [&] {
        SCROLLINFO si{sizeof(si), SIF_RANGE};
        ::GetScrollInfo(browser->hWnd(), SB_VERT, &si);
        return si.nMax + 1;
    };
    ASSERT_TRUE(Open(DemoUrl() + L"/t/zoom.html"));
    const int base = pageHeight();
    log.lines.clear();
    browser->Navigate(DemoUrl() + L"/t/zoom.html?loading");
    browser->SetZoom(150);
    ASSERT_TRUE(PumpUntil([&] { return log.Has(L"DC top "); })) << log.Joined();
    EXPECT_NEAR(pageHeight(), base * 1.5, base * 0.15);

    for (int zoom : {50, 200, 300, 100}) {
        log.lines.clear();
        browser->SetZoom(zoom);
        PumpMessages(50);
        EXPECT_NEAR(pageHeight(), base * zoom / 100.0, base * zoom / 1000.0) << zoom;
        EXPECT_TRUE(log.lines.empty()) << zoom << ": " << log.Joined();
    }
    EXPECT_EQ(pageHeight(), base);
    browser->SetZoom(200);
    ASSERT_TRUE(Open(DemoUrl() + L"/t/zoom.html?next"));
    EXPECT_NEAR(pageHeight(), base * 2, base * 0.2);
}

TEST_F(BuiltInBrowserTest, ContextMenuOfItsOwnWhenTheDocumentAllowsIt) {
    ASSERT_TRUE(Open(DemoUrl() + L"/xcyh2/login/help.html"));
    browser->Document_oncontextmenu = [] { return true; };
    g_menuSeen = false;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 300, &CloseMenu);
    ::SendMessageW(browser->hWnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(browser->hWnd()), MAKELPARAM(50, 50));
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(g_menuSeen);
}

TEST_F(BuiltInBrowserTest, GbkPageShowsChinese) {
    ASSERT_TRUE(Open(DemoUrl() + L"/xcyh2/login/login_gbk.html"));
    EXPECT_TRUE(log.Has(L"TC 星槎远航录2 登录")) << log.Joined();
    EXPECT_NE(Text().find(L"欢迎回来，舰长。"), std::wstring::npos) << Text();
    EXPECT_NE(browser->DocumentRootInnerHtml().find(L"进入游戏"), std::wstring::npos);
}

TEST_F(BuiltInBrowserTest, FailuresShowAnErrorPageWithContent) {
    std::wstring missing = DemoUrl() + L"/test/status/404";
    ASSERT_TRUE(Open(missing));
    EXPECT_TRUE(log.Has(L"DC top " + missing)) << log.Joined();
    EXPECT_NE(Text().find(L"无法显示此网页"), std::wstring::npos) << Text();
    EXPECT_NE(Text().find(L"404"), std::wstring::npos);
    EXPECT_FALSE(browser->DocumentRootInnerHtml().empty());
    EXPECT_EQ(browser->DocumentUrl(), missing);

    ASSERT_TRUE(Open(DemoUrl() + L"/test/status/500"));
    EXPECT_NE(Text().find(L"500"), std::wstring::npos);

    // Nobody listens on port 1.
    ASSERT_TRUE(Open(L"http://127.0.0.1:1/xcyh2/login/login.html", 30000));
    EXPECT_NE(Text().find(L"无法显示此网页"), std::wstring::npos);

    // An address the engine cannot open at all.
    ASSERT_TRUE(Open(L"ftp://127.0.0.1/x"));
    EXPECT_NE(Text().find(L"无法显示此网页"), std::wstring::npos);
}

TEST_F(BuiltInBrowserTest, CutOffEmptyAndMalformedPagesShowWhatCame) {
    ASSERT_TRUE(test::DemoSet(L"/t/bad.html", "<html><body><p>开头<b><i>未闭合<a href='x'>链接<table><td>\xff\xfe</td"));
    ASSERT_TRUE(Open(DemoUrl() + L"/t/bad.html"));
    EXPECT_NE(Text().find(L"未闭合"), std::wstring::npos) << Text();

    // The server announces more than it sends: what came is shown, not an error page.
    ASSERT_TRUE(Open(DemoUrl() + L"/test/cutoff/300?announce=5000", 30000));
    EXPECT_EQ(Text().find(L"无法显示此网页"), std::wstring::npos) << Text();
    EXPECT_FALSE(browser->DocumentRootInnerHtml().empty());

    // An empty answer is an empty document (the login window treats that as "no connection").
    ASSERT_TRUE(Open(DemoUrl() + L"/xcyh2/login/empty.html"));
    EXPECT_TRUE(browser->DocumentRootInnerHtml().empty());
}

TEST_F(BuiltInBrowserTest, HugePageIsCappedAndCompletes) {
    ASSERT_TRUE(Open(DemoUrl() + L"/test/big/12000000", 60000)) << log.Joined();
    EXPECT_FALSE(browser->DocumentRootInnerHtml().empty());
}

TEST_F(BuiltInBrowserTest, StalledServerNeverBlocksTheWindow) {
    browser->Navigate(DemoUrl() + L"/test/stall?ms=20000");
    ASSERT_TRUE(PumpUntil([&] { return log.Has(L"DB"); }));
    // The window answers while the fetch waits.
    for (int i = 0; i < 5; ++i) {
        DWORD_PTR result = 0;
        DWORD start = ::GetTickCount();
        ASSERT_TRUE(::SendMessageTimeoutW(browser->hWnd(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result));
        EXPECT_LT(::GetTickCount() - start, 500u);
        PumpMessages(100);
    }
    EXPECT_FALSE(log.Has(L"DC "));
    // Destroying the engine while its fetch runs: the worker finds nothing to touch.
    browser.reset();
    PumpMessages(200);
}

TEST_F(BuiltInBrowserTest, ReleasedFromInsideItsOwnEvent) {
    bool called = false;
    browser->BeforeNavigate2 = [&](const std::wstring&, bool& Cancel) {
        called = true;
        browser.reset();  // the login window's commands unload the window that holds it
    };
    std::shared_ptr<IWebBrowser> keep = browser;
    HWND hwnd = browser->hWnd();
    keep.reset();
    ::PostMessageW(hwnd, WM_NULL, 0, 0);
    browser->Navigate(DemoUrl() + L"/xcyh2/login/help.html");
    EXPECT_TRUE(PumpUntil([&] { return called; }));
    PumpMessages(200);
    EXPECT_FALSE(browser);
}

}  // namespace
}  // namespace xcyh2::browser
