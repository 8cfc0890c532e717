// The main window with scripted browsers: game addresses in tabs, the layout at size changes,
// the tray's menu, and every way of closing it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>
#include <string>
#include <vector>

#include "base/DpiScale.h"
#include "base/ansi.h"
#include "base/utf.h"
#include "forms/Application.h"
#include "login/FakeBrowser.h"
#include "mainwindow/ModMsg.h"
#include "mainwindow/WebMainFrm.h"
#include "mainwindow/WebMainFrmTestView.h"
#include "base/PublicData.h"
#include "update/UpdateManifest.h"
#include "support/WinTest.h"

namespace xcyh2 {
namespace {

const std::wstring kGame1 = L"http://127.0.0.1:47240/xcyh2/game1.html";
const std::wstring kGame2 = L"http://127.0.0.1:47240/xcyh2/game2.html";

// The tray records the window sends to the shell.
struct TrayCall {
    DWORD message;
    HWND hWnd;
    UINT uID;
    UINT uCallbackMessage;
    HICON hIcon;
    std::string tip;
};
std::vector<TrayCall> g_tray;
BOOL WINAPI RecordTray(DWORD message, PNOTIFYICONDATAA data) {
    g_tray.push_back({message, data->hWnd, data->uID, data->uCallbackMessage, data->hIcon, data->szTip});
    return TRUE;
}

// The version resource of the built shell beside this test, as Windows reads it: the fixed
// record's major.minor.revision, with the text fields required to agree with it.
std::wstring BuiltShellVersion() {
    std::wstring path = forms::Application::ProgramPath();
    path = path.substr(0, path.find_last_of(L'\\') + 1) + L"xcyh2.exe";
    DWORD ignored = 0;
    std::vector<unsigned char> block(::GetFileVersionInfoSizeW(path.c_str(), &ignored));
    if (block.empty() || !::GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()))
        return L"no version resource in " + path;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) || !fixed)
        return L"no fixed version record";
    std::wstring version = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                           std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                           std::to_wstring(HIWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    for (const wchar_t* field : {L"FileVersion", L"ProductVersion"}) {
        wchar_t* text = nullptr;
        std::wstring key = std::wstring(L"\\StringFileInfo\\080404b0\\") + field;
        if (!::VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&text), &size) || !text) {
            ADD_FAILURE() << "no " << WideToUtf8(field);
            continue;
        }
        EXPECT_EQ(std::wstring(text), version + L"." + std::to_wstring(LOWORD(fixed->dwFileVersionLS))) << WideToUtf8(field);
    }
    return version;
}

bool g_menuSeen = false;
void CALLBACK LookForMenuAndEndIt(HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = ::FindWindowW(L"#32768", nullptr);
    if (menu && ::IsWindowVisible(menu)) g_menuSeen = true;
    ::EndMenu();
}

class MainWindowTest : public ::testing::Test {
public:
    void SetUp() override {
        WebMainFrm::Environment env;
        env.browserFactory = [this](HWND parent, int x, int y, int w, int h) {
            auto fake = std::make_shared<test::FakeBrowser>();
            fake->placement = {parent, x, y, w, h};
            browsers.push_back(fake);
            return fake;
        };
        env.shellOpen = [this](const std::wstring& url) { opened.push_back(url); };
        env.shellNotify = &RecordTray;
        env.msgBox = [this](const std::wstring& text, const std::wstring& caption, UINT) {
            messages.push_back(caption + L": " + text);
            return IDOK;
        };
        env.askExit = [this] {
            if (std::exchange(throwWhileAsking, false)) throw std::runtime_error("the question failed");
            ++asked;
            if (closeAgainWhileAsking) {
                closeAgainWhileAsking = false;
                frm().CloseCommand();  // the tray menu's exit item, while the question is open
            }
            return answerYes;
        };
        frm().SetEnvironment(env);
        environment = env;
    }
    void TearDown() override {
        view().m_bExit() = true;
        frm().Unload();
        frm().SetEnvironment({});
        test::PumpMessages(150);
    }
    WebMainFrm& frm() { return frm_; }
    WebMainFrm::TestView view() { return {frm()}; }
    CTabItems& tabs() { return view().WebuTab()->TabItems(); }
    int Navigations(const std::wstring& url) {
        int n = 0;
        for (auto& weak : browsers)
            if (auto b = weak.lock())
                for (auto& u : b->navigated) n += u == url;
        return n;
    }
    test::FakeBrowser& PageBrowser(int tab) {
        auto* page = dynamic_cast<WebUrl*>(tabs().Item(tab)->Form().get());
        return *dynamic_cast<test::FakeBrowser*>(page->wb());
    }
    // A left click on the close mark of a tab (rounded tabs: 20 to 8 pixels before its end).
    void ClickCloseMark(int tab) {
        auto item = tabs().Item(tab);
        HWND strip = view().WebuTab()->hWnd();
        LPARAM at = MAKELPARAM(view().WebuTab()->TabLeftSize() + item->Left() + item->Width() - 14, 12);
        ::SendMessageW(strip, WM_MOUSEMOVE, 0, at);
        ::SendMessageW(strip, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(strip, WM_LBUTTONUP, 0, at);
    }

    std::vector<std::weak_ptr<test::FakeBrowser>> browsers;
    std::vector<std::wstring> opened;
    std::vector<std::wstring> messages;
    int asked = 0;
    bool answerYes = false;
    bool closeAgainWhileAsking = false;
    bool throwWhileAsking = false;
    WebMainFrm::Environment environment;
    // Last, so it goes first: its events call into the members above.
    WebMainFrm frm_;
};

TEST_F(MainWindowTest, EachAddressHasOneTabAndAnOpenPageIsNotReloaded) {
    frm().SetURL(kGame1);
    ASSERT_TRUE(frm().IsLoaded());
    ASSERT_EQ(tabs().Count(), 1);
    EXPECT_EQ(tabs().Item(0)->Caption(), kGame1 + L"Game");  // until the page has a title
    EXPECT_EQ(PageBrowser(0).navigated, (std::vector<std::wstring>{L"about:blank", kGame1}));
    EXPECT_FALSE(::GetWindowLongW(view().Picture1().hWnd(), GWL_STYLE) & WS_VISIBLE);

    // Again, and in other letter case: the same tab, selected, not loaded again.
    frm().SetURL(kGame2);
    EXPECT_EQ(tabs().Selected(), 1);
    frm().SetURL(kGame1);
    frm().SetURL(L"HTTP://127.0.0.1:47240/XCYH2/GAME1.HTML");
    EXPECT_EQ(tabs().Count(), 2);
    EXPECT_EQ(tabs().Selected(), 0);
    EXPECT_EQ(Navigations(kGame1), 1);
    EXPECT_EQ(Navigations(L"HTTP://127.0.0.1:47240/XCYH2/GAME1.HTML"), 0);

    // The page's title becomes its tab's caption, at every change; each completion, frames
    // included, keeps the page silent and hides the top document's scroll bars.
    test::FakeBrowser& page = PageBrowser(0);
    page.FireTitleChange(L"星槎远航录2 - 一区 云海");
    page.FireTitleChange(L"星槎远航录2 - 一区");
    EXPECT_EQ(tabs().Item(0)->Caption(), L"星槎远航录2 - 一区");
    page.SetSilent(false);
    page.FireDocumentComplete(false, kGame1 + L"#frame");
    page.FireDocumentComplete(true, kGame1);
    EXPECT_TRUE(page.Silent());
    EXPECT_EQ(page.overflow, (std::vector<std::wstring>{L"hidden", L"hidden"}));
    // A request for a new window never opens one; web addresses go to the default browser.
    EXPECT_TRUE(page.FireNewWindow(L"http://127.0.0.1:47240/xcyh2/news/1.html"));
    EXPECT_TRUE(page.FireNewWindow(L"file:///C:/Windows/win.ini"));
    EXPECT_EQ(opened, std::vector<std::wstring>{L"http://127.0.0.1:47240/xcyh2/news/1.html"});

    // Hovering shows a tab's caption as the strip's tip, the empty part of the strip none.
    HWND strip = view().WebuTab()->hWnd();
    auto hover = [&](int x) { ::SendMessageW(strip, WM_MOUSEMOVE, 0, MAKELPARAM(x, 12)); };
    hover(view().WebuTab()->TabLeftSize() + tabs().Item(0)->Left() + 20);
    EXPECT_EQ(view().TabToolTip().Text(), L"星槎远航录2 - 一区");
    hover(view().WebuTab()->TabLeftSize() + tabs().Item(1)->Left() + tabs().Item(1)->Width() + 40);
    EXPECT_EQ(view().TabToolTip().Text(), L"");

    // Refresh reloads the selected page only.
    view().appmenu().Choose(L"refresh");
    EXPECT_EQ(page.refreshed, 1);
    EXPECT_EQ(PageBrowser(1).refreshed, 0);
}

TEST_F(MainWindowTest, LayoutFollowsEverySizeChange) {
    frm().SetURL(kGame1);
    HWND hwnd = frm().handle();
    auto place = [&](HWND child) {
        RECT r;
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    // The design size, 15540 x 9585 twips: a region of 1037 x 640 pixels.
    ::SetWindowPos(hwnd, nullptr, 0, 0, 1036, 639, SWP_NOZORDER | SWP_NOACTIVATE);
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(hwnd, region), ERROR);
    RECT box;
    ::GetRgnBox(region, &box);
    // Made 1037 x 640: a rounded region leaves out its last column and row on some systems.
    EXPECT_GE(box.right, 1036);
    EXPECT_LE(box.right, 1037);
    EXPECT_GE(box.bottom, 639);
    EXPECT_LE(box.bottom, 640);
    EXPECT_FALSE(::PtInRegion(region, 0, 0));  // the corners are cut
    ::DeleteObject(region);
    // The frame is printed anew at every size: its edges drawn, the inside white.
    auto frameFits = [&](int width, int height) {
        const Surface& frame = view().FormSurface();
        ASSERT_EQ(frame.Width(), width);
        ASSERT_EQ(frame.Height(), height);
        const COLORREF white = RGB(255, 255, 255);
        EXPECT_NE(::GetPixel(frame.hdc(), 1, height / 2), white);
        EXPECT_NE(::GetPixel(frame.hdc(), width - 2, height / 2), white);
        EXPECT_NE(::GetPixel(frame.hdc(), width / 2, height - 2), white);
        EXPECT_EQ(::GetPixel(frame.hdc(), width / 2, height / 2), white);
    };
    frameFits(1036, 639);
    RECT close = place(view().web_close().hWnd());
    EXPECT_EQ(close.right, 1036 - 6);  // 85 twips before the right edge
    RECT strip = place(view().WebuTab()->hWnd());
    EXPECT_EQ(strip.right - strip.left, 1036 - 460);

    // Narrower than the strip's margins: the strip keeps its width, the rest follows.
    ::SetWindowPos(hwnd, nullptr, 0, 0, 400, 500, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(place(view().WebuTab()->hWnd()).right - place(view().WebuTab()->hWnd()).left, 1036 - 460);
    EXPECT_EQ(place(view().web_close().hWnd()).right, 400 - 6);
    frameFits(400, 500);
    RECT pages = place(view().pCnt().hWnd());
    EXPECT_EQ(pages.right - pages.left, 400 - 8);
    EXPECT_EQ(pages.bottom, 500 - 4);

    // Minimised, nothing moves.
    ::ShowWindow(hwnd, SW_MINIMIZE);
    EXPECT_EQ(place(view().web_close().hWnd()).right, 400 - 6);
}

// The maximise button's Value is the window's maximised state and the title bar drags only a
// restored window, whether the toggle came from the button (Value flipped first) or from a call.
TEST_F(MainWindowTest, TheMaximiseButtonFollowsTheWindowState) {
    frm().SetURL(kGame1);
    HWND hwnd = frm().handle();
    HWND button = view().web_minmax().hWnd();
    auto expectState = [&](bool maximised) {
        EXPECT_EQ(view().objStyle()->Maximised(), maximised);
        EXPECT_EQ(view().web_minmax().Value(), maximised);
        EXPECT_EQ(view().WebBForm().frmHwnd(), maximised ? nullptr : hwnd);
    };
    {
        SCOPED_TRACE("loaded");
        expectState(true);
    }
    struct Step {
        const char* name;
        std::function<void()> toggle;
        bool maximised;
    };
    auto enterOnButton = [button] { ::SendMessageW(button, WM_KEYDOWN, VK_RETURN, 0); };
    auto call = [this] { view().web_minmax_Click(); };
    const Step steps[] = {{"Enter on the button", enterOnButton, false},
                          {"Enter on the button", enterOnButton, true},
                          {"a call, Value not flipped", call, false},
                          {"a call, Value not flipped", call, true}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.toggle();
        expectState(step.maximised);
    }
}

// Closing: the only tab asks, one of several closes silently, m_bExit asks nothing, and a close
// from the system menu asks once however many messages it sends.
TEST_F(MainWindowTest, EveryWayOfClosingAsksOnceUnlessLeavingIsConfirmed) {
    struct Case {
        const char* name;
        int tabs;
        bool exitFlag;
        bool answer;
        std::function<void(MainWindowTest&)> close;
        int asked;
        bool unloaded;
    };
    auto closeMark = [](MainWindowTest& t) { t.ClickCloseMark(t.tabs().Count() - 1); };
    auto systemMenu = [](MainWindowTest& t) {
        ::SendMessageW(t.frm().handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        test::PumpMessages(100);
    };
    const Case cases[] = {
        {"the only tab, no", 1, false, false, closeMark, 1, false},
        {"the only tab, yes: the strip goes inside its own event", 1, false, true, closeMark, 1, true},
        {"one of two tabs", 2, false, true, closeMark, 0, false},
        {"close button, no", 1, false, false, [](MainWindowTest& t) { t.frm().CloseCommand(); }, 1, false},
        {"exit item, yes", 2, false, true, [](MainWindowTest& t) { t.view().appmenu().Choose(L"exit"); }, 1, true},
        {"with m_bExit", 1, true, false, [](MainWindowTest& t) { t.frm().CloseCommand(); }, 0, true},
        {"system menu, no", 1, false, false, systemMenu, 1, false},
        {"system menu, yes", 1, false, true, systemMenu, 1, true},
        {"closed again while asking, no", 1, false, false,
         [](MainWindowTest& t) {
             t.closeAgainWhileAsking = true;
             t.frm().CloseCommand();
         },
         1, false},
        {"WM_CLOSE from outside, no", 1, false, false,
         [](MainWindowTest& t) { ::SendMessageW(t.frm().handle(), WM_CLOSE, 0, 0); }, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        frm().SetURL(kGame1);
        if (c.tabs > 1) frm().SetURL(kGame2);
        // Every page raises its events once more while it is being released.
        for (auto& weak : browsers)
            if (auto b = weak.lock())
                b->onRelease = [](test::FakeBrowser& page) {
                    page.FireDownloadBegin();
                    page.FireTitleChange(L"released");
                    page.FireDocumentComplete(true, kGame1);
                    page.FireNewWindow(L"http://127.0.0.1:47240/xcyh2/released.html");
                };
        opened.clear();
        HWND window = frm().handle();
        asked = 0;
        answerYes = c.answer;
        view().m_bExit() = c.exitFlag;
        c.close(*this);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(!frm().IsLoaded(), c.unloaded);
        EXPECT_EQ(!::IsWindow(window), c.unloaded);
        if (frm().IsLoaded()) {
            EXPECT_EQ(tabs().Count(), c.tabs - (c.asked == 0 && !c.exitFlag ? 1 : 0));
            for (int i = 0; i < tabs().Count(); ++i) EXPECT_NE(tabs().Item(i)->Caption(), L"released");
            EXPECT_TRUE(ModMsg::Hooked(window));
            view().m_bExit() = true;
            frm().Unload();
        }
        EXPECT_FALSE(ModMsg::Hooked(window));
        test::PumpMessages(150);
        EXPECT_EQ(opened, std::vector<std::wstring>{});
    }
}

// The icon file the login window writes may be missing: the window and its tray icon come up
// all the same, without an icon. The tray icon goes with the window.
TEST_F(MainWindowTest, TheTrayIconComesAndGoesWithTheWindowIconFileOrNot) {
    const std::wstring iconFile = GetTempDir() + L"xcyh2.ico";
    for (bool present : {false, true}) {
        SCOPED_TRACE(present ? "icon file present" : "icon file missing");
        ::DeleteFileW(iconFile.c_str());
        if (present) {
            ASSERT_TRUE(SaveResToFile(101, L"ICON", iconFile));
        }
        g_tray.clear();
        frm().SetURL(kGame1);
        ASSERT_TRUE(frm().IsLoaded());
        HWND hwnd = frm().handle();
        ASSERT_GE(g_tray.size(), 1u);
        EXPECT_EQ(g_tray[0].message, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(g_tray[0].hWnd, hwnd);
        EXPECT_EQ(g_tray[0].uID, 1000u);
        EXPECT_EQ(g_tray[0].uCallbackMessage, static_cast<UINT>(ModMsg::kTrayMessage));
        EXPECT_EQ(g_tray[0].hIcon != nullptr, present);
        EXPECT_EQ(g_tray[0].tip, WideToAnsi(L"星槎远航录2客户端"));
        EXPECT_EQ(::SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0) != 0, present);
        view().m_bExit() = true;
        frm().Unload();
        EXPECT_EQ(g_tray.back().message, static_cast<DWORD>(NIM_DELETE));
    }
}

// A restarted taskbar broadcasts "TaskbarCreated": the window adds its icon again.
TEST_F(MainWindowTest, TheTrayIconComesBackWhenTheTaskbarRestarts) {
    frm().SetURL(kGame1);
    HWND hwnd = frm().handle();
    g_tray.clear();
    ::PostMessageW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_TRUE(test::PumpUntil([] { return !g_tray.empty(); }, 2000));
    EXPECT_EQ(g_tray[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(g_tray[0].hWnd, hwnd);
    EXPECT_EQ(g_tray[0].uCallbackMessage, static_cast<UINT>(ModMsg::kTrayMessage));
}

// Logging off or shutting down asks as every close does: no keeps the session, yes lets it end
// with the tray icon and the hooks gone; a session end another program refused changes nothing.
TEST_F(MainWindowTest, TheSessionsEndAsksAndYesLeavesNothingBehind) {
    struct Case {
        const char* name;
        bool answer;
        bool ended;  // the system's WM_ENDSESSION says the session really ends
        LRESULT allowed;
        bool unloaded;
    } cases[] = {
        {"no", false, false, FALSE, false},
        {"yes, then refused by another program", true, false, TRUE, false},
        {"yes", true, true, TRUE, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        frm().SetURL(kGame1);
        HWND hwnd = frm().handle();
        asked = 0;
        answerYes = c.answer;
        g_tray.clear();
        EXPECT_EQ(::SendMessageW(hwnd, WM_QUERYENDSESSION, 0, 0), c.allowed);
        EXPECT_EQ(asked, 1);
        if (c.allowed) ::SendMessageW(hwnd, WM_ENDSESSION, c.ended, 0);
        EXPECT_EQ(!frm().IsLoaded(), c.unloaded);
        EXPECT_EQ(ModMsg::Hooked(hwnd), !c.unloaded);
        EXPECT_EQ(ModMsg::HotKeyRegistered(hwnd), !c.unloaded);
        EXPECT_EQ(!g_tray.empty() && g_tray.back().message == NIM_DELETE, c.unloaded);
        if (frm().IsLoaded()) {
            // Still asks at the next close: the answer to the session's question is not kept.
            asked = 0;
            answerYes = false;
            frm().CloseCommand();
            EXPECT_EQ(asked, 1);
            view().m_bExit() = true;
            frm().Unload();
        }
    }
}

// The menu's update item runs its check from the message loop, once the menu and its button are
// done with the pointer; asked for again before it runs, it runs once.
TEST_F(MainWindowTest, TheUpdateItemRunsOneCheckFromTheMessageLoop) {
    const std::wstring dir = GetTempDir() + L"xcyh2-main-update-test\\";
    ::CreateDirectoryW(dir.c_str(), nullptr);
    ASSERT_TRUE(test::WriteWholeFile(dir + L"update.txt", "version=" + LocalVersionString() + "\r\n"));
    std::vector<std::wstring> said;
    environment.update.tempDir = dir;
    environment.update.manifestUrl = L"http://127.0.0.1:9/gamehome/xcyh2/update.txt";  // nobody answers
    environment.update.msgBox = [&said](const std::wstring& text, UINT) {
        said.push_back(text);
        return IDOK;
    };
    frm().SetEnvironment(environment);
    frm().SetURL(kGame1);
    view().appmenu().Choose(L"update");
    view().appmenu().Choose(L"update");
    EXPECT_TRUE(said.empty()) << "the check ran inside the menu command";
    test::PumpMessages(300);
    EXPECT_EQ(said, std::vector<std::wstring>{L"当前版本已是最新，无需更新！"});
    view().appmenu().Choose(L"update");
    test::PumpMessages(300);
    EXPECT_EQ(said.size(), 2u);
    ::DeleteFileW((dir + L"update.txt").c_str());
    ::RemoveDirectoryW(dir.c_str());
}

// A question that fails still leaves the next close asking.
TEST_F(MainWindowTest, AFailingCloseQuestionStillAsksNextTime) {
    frm().SetURL(kGame1);
    throwWhileAsking = true;
    EXPECT_THROW(frm().CloseCommand(), std::runtime_error);  // called directly: no boundary between
    EXPECT_TRUE(frm().IsLoaded());
    asked = 0;
    answerYes = true;
    frm().CloseCommand();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(frm().IsLoaded());
}

TEST_F(MainWindowTest, TrayRightClickPopsUpTheMenuAndTheHotKeyToggles) {
    frm().SetURL(kGame1);
    frm().Show();
    HWND hwnd = frm().handle();
    // The menu runs its own loop: a timer looks for it and closes it.
    g_menuSeen = false;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 300, &LookForMenuAndEndIt);
    ::SendMessageW(hwnd, ModMsg::kTrayMessage, ModMsg::kHotKeyId, WM_RBUTTONUP);
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(g_menuSeen);
    EXPECT_TRUE(frm().IsLoaded());
    // One version: the built shell's resource, the update check's string and the menu agree.
    std::wstring version = BuiltShellVersion();
    EXPECT_EQ(Utf8ToWide(LocalVersionString()), version);
    EXPECT_EQ(view().appmenu().ItemCaption(L"version"), L"版本号:" + version);

    ::SendMessageW(hwnd, WM_HOTKEY, ModMsg::kHotKeyId, MAKELPARAM(0, VK_F10));
    EXPECT_FALSE(::IsWindowVisible(hwnd));
    view().appmenu().Choose(L"hiderestore");
    EXPECT_TRUE(::IsWindowVisible(hwnd));

    // The cache item cleans and says so, whatever became of the cleaning.
    view().appmenu().Choose(L"clearcache");
    EXPECT_EQ(messages, std::vector<std::wstring>{L"缓存清理: 缓存已清理完毕！"});
}

TEST_F(MainWindowTest, TabAndZoomKeysAreTakenAndEveryOtherKeyIsLeftToThePage) {
    frm().SetURL(kGame1);
    frm().SetURL(kGame2);
    frm().SetURL(L"http://127.0.0.1:47240/xcyh2/game3.html");
    ASSERT_EQ(tabs().Selected(), 2);
    HWND inside = view().pCnt().hWnd();  // the pages' container: a page's window is one of its children
    HWND elsewhere = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    constexpr int kCtrl = 1, kShift = 2, kAlt = 4;
    // A row with a wheel delta is a WM_MOUSEWHEEL (Ctrl in its key state), otherwise a key.
    // zoom: the selected tab's zoom afterwards, as its page's browser was given it (96 DPI).
    const struct {
        HWND target;
        WPARAM key;
        int mods;
        bool taken;
        int selected;
        int zoom;
        short wheel = 0;
    } cases[] = {
        {inside, VK_TAB, kCtrl, true, 0, 100},  // wraps round
        {inside, VK_TAB, kCtrl | kShift, true, 2, 100},
        {inside, VK_PRIOR, kCtrl, true, 1, 100},
        {inside, VK_NEXT, kCtrl, true, 2, 100},
        {inside, '1', kCtrl, true, 0, 100},
        {inside, '9', kCtrl, true, 2, 100},  // the last tab
        {inside, '5', kCtrl, false, 2, 100},  // no such tab
        {inside, 'A', kCtrl, false, 2, 100},  // Ctrl with letters is the game's
        {inside, '1', kCtrl | kAlt, false, 2, 100},  // AltGr
        {inside, VK_TAB, 0, false, 2, 100},
        {elsewhere, VK_TAB, kCtrl, false, 2, 100},
        {inside, VK_OEM_PLUS, kCtrl, true, 2, 110},
        {inside, VK_ADD, kCtrl, true, 2, 125},
        {inside, VK_OEM_MINUS, kCtrl, true, 2, 110},
        {inside, VK_SUBTRACT, kCtrl, true, 2, 100},
        {inside, VK_SUBTRACT, kCtrl, true, 2, 90},
        {inside, '1', kCtrl, true, 0, 100},  // each tab has its own zoom
        {inside, '9', kCtrl, true, 2, 90},
        {inside, '0', kCtrl, true, 2, 100},
        {elsewhere, VK_OEM_PLUS, kCtrl, false, 2, 100},  // the login window has no zoom
        {inside, 0, kCtrl, true, 2, 100, WHEEL_DELTA / 2},  // a fine wheel: half a notch
        {inside, 0, kCtrl, true, 2, 110, WHEEL_DELTA / 2},
        {inside, 0, kCtrl, true, 2, 150, 2 * WHEEL_DELTA},
        {inside, 0, kCtrl, true, 2, 125, -WHEEL_DELTA},
        {inside, 0, 0, false, 2, 125, WHEEL_DELTA},  // the wheel alone scrolls the page
        {elsewhere, 0, kCtrl, false, 2, 125, WHEEL_DELTA},
    };
    BYTE saved[256] = {};
    ::GetKeyboardState(saved);
    for (const auto& c : cases) {
        BYTE state[256] = {};
        state[VK_CONTROL] = (c.mods & kCtrl) ? 0x80 : 0;
        state[VK_SHIFT] = (c.mods & kShift) ? 0x80 : 0;
        state[VK_MENU] = (c.mods & kAlt) ? 0x80 : 0;
        ::SetKeyboardState(state);
        MSG msg{c.target, WM_KEYDOWN, c.key, 1};
        if (c.wheel) msg = MSG{c.target, WM_MOUSEWHEEL, MAKEWPARAM((c.mods & kCtrl) ? MK_CONTROL : 0, c.wheel), 0};
        std::string row = std::to_string(c.key) + " wheel " + std::to_string(c.wheel) + " mods " + std::to_string(c.mods);
        EXPECT_EQ(frm().TranslateKey(msg), c.taken) << row;
        EXPECT_EQ(tabs().Selected(), c.selected) << row;
        EXPECT_EQ(PageBrowser(tabs().Selected()).zoom, c.zoom) << row;
    }
    ::SetKeyboardState(saved);
    ::DestroyWindow(elsewhere);

    // A new tab starts at 100 %; the others keep theirs.
    frm().SetURL(L"http://127.0.0.1:47240/xcyh2/game4.html");
    ASSERT_EQ(tabs().Selected(), 3);
    EXPECT_EQ(PageBrowser(3).zoom, 100);
    EXPECT_EQ(PageBrowser(2).zoom, 125);
}

TEST_F(MainWindowTest, FullScreenCoversTheMonitorAndComesBackExactly) {
    frm().SetURL(kGame1);
    HWND hwnd = frm().hWnd();
    HWND inside = view().pCnt().hWnd();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor));
    auto key = [&](WPARAM vk) {
        MSG msg{inside, WM_KEYDOWN, vk, 1};
        return frm().TranslateKey(msg);
    };
    auto sameRect = [](HWND window, const RECT& expected) {
        RECT r{};
        ::GetWindowRect(window, &r);
        return ::EqualRect(&r, &expected) != FALSE;
    };
    // The window itself may not be on the screen here: its controls' own flag is read.
    auto shown = [](HWND control) { return (::GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0; };
    auto hasRegion = [](HWND window) {
        HRGN region = ::CreateRectRgn(0, 0, 0, 0);
        bool has = ::GetWindowRgn(window, region) != ERROR;
        ::DeleteObject(region);
        return has;
    };
    const struct {
        bool maximised;
        WPARAM leave;
    } cases[] = {{true, VK_F11}, {false, VK_ESCAPE}, {false, VK_F11}, {true, VK_ESCAPE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "maximised " << c.maximised << " leave " << c.leave);
        if (view().objStyle()->Maximised() != c.maximised) view().web_minmax_Click();
        if (!c.maximised) ::SetWindowPos(hwnd, nullptr, 37, 41, 900, 600, SWP_NOZORDER | SWP_NOACTIVATE);
        RECT before{};
        ::GetWindowRect(hwnd, &before);
        EXPECT_FALSE(key(VK_ESCAPE));  // not full screen: the page's

        EXPECT_TRUE(key(VK_F11));
        EXPECT_TRUE(frm().FullScreen());
        EXPECT_TRUE(sameRect(hwnd, monitor.rcMonitor));
        EXPECT_FALSE(shown(view().WebBForm().hWnd()));
        EXPECT_FALSE(shown(view().WebuTab()->hWnd()));
        EXPECT_FALSE(shown(view().web_close().hWnd()));
        // The pages fill the window, square: no rounded region cuts their corners.
        RECT client{}, pages{};
        ::GetClientRect(hwnd, &client);
        ::GetClientRect(inside, &pages);
        EXPECT_TRUE(::EqualRect(&client, &pages));
        EXPECT_FALSE(hasRegion(hwnd));

        EXPECT_TRUE(key(c.leave));
        EXPECT_FALSE(frm().FullScreen());
        EXPECT_TRUE(sameRect(hwnd, before));
        EXPECT_EQ(view().objStyle()->Maximised(), c.maximised);
        EXPECT_EQ(view().web_minmax().Value(), c.maximised);
        EXPECT_TRUE(shown(view().WebBForm().hWnd()));
        EXPECT_TRUE(shown(view().WebuTab()->hWnd()));
        EXPECT_TRUE(hasRegion(hwnd));
    }
}

TEST_F(MainWindowTest, NewScaleRedrawsEverythingAndKeepsTheWindowReachable) {
    frm().SetURL(kGame1);
    HWND hwnd = frm().hWnd();
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT before{};
    ::GetWindowRect(hwnd, &before);
    const struct {
        int dpi;
        RECT suggested, placed;
    } cases[] = {
        {144, {50, 60, 1604, 1018}, {50, 60, 1604, 1018}},                       // as the system asks
        {120, {-50000, -50000, -49000, -49300}, {0, 0, 1000, 700}},              // far off: onto the screen
        {480, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, work},              // absurd: the work area, 400 %
        {96, before, before},                                                    // and back, as it was
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        ::SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi), reinterpret_cast<LPARAM>(&c.suggested));
        RECT placed{};
        ::GetWindowRect(hwnd, &placed);
        EXPECT_TRUE(::EqualRect(&placed, &c.placed))
            << placed.left << "," << placed.top << "," << placed.right << "," << placed.bottom;
        const DpiScale scale(c.dpi);
        RECT bar{}, close{};
        ::GetWindowRect(view().WebBForm().hWnd(), &bar);
        ::GetWindowRect(view().web_close().hWnd(), &close);
        EXPECT_EQ(bar.bottom - bar.top, scale.TwipsToPixels(500));
        EXPECT_EQ(close.right - close.left, scale.TwipsToPixels(645));
        EXPECT_EQ(PageBrowser(0).zoom, scale.Percent());
    }
}

}  // namespace
}  // namespace xcyh2
