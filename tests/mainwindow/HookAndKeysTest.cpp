// The main window's hook on a plain window (F10, the tray's left click, every message passed
// on, unhooking under another hook) and the key messages offered to a page's in-place object.
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <vector>

#include "browser/PageKeys.h"
#include "forms/Application.h"
#include "mainwindow/ModMsg.h"
#include "support/WinTest.h"

namespace xcyh2 {
namespace {

std::vector<UINT>* g_received = nullptr;
LRESULT CALLBACK Recording(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (g_received && msg >= WM_USER) g_received->push_back(msg);
    if (g_received && (msg == WM_HOTKEY || msg == WM_KEYDOWN)) g_received->push_back(msg);
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND MakeWindow(HWND parent = nullptr) {
    static const wchar_t* cls = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Recording;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ModMsgTestWindow";
        ::RegisterClassW(&wc);
        return L"ModMsgTestWindow";
    }();
    return ::CreateWindowExW(0, cls, L"", parent ? WS_CHILD | WS_VISIBLE : WS_POPUP, 0, 0, 200, 100, parent, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

WNDPROC g_below = nullptr;
LRESULT CALLBACK OnTop(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(g_below, hwnd, msg, wParam, lParam);
}

TEST(ModMsg, F10AndTheTrayToggleAndEveryMessageGoesOn) {
    std::vector<UINT> received;
    g_received = &received;
    HWND w = MakeWindow();
    ::ShowWindow(w, SW_SHOWNOACTIVATE);
    ModMsg::HookMainWindow(w);
    const struct {
        UINT msg;
        LPARAM lParam;
        bool toggles;
    } cases[] = {
        {WM_HOTKEY, MAKELPARAM(0, VK_F10), true},
        {WM_HOTKEY, MAKELPARAM(0, VK_F10), true},
        {WM_HOTKEY, MAKELPARAM(0, VK_F9), false},
        {ModMsg::kTrayMessage, WM_LBUTTONUP, true},
        {ModMsg::kTrayMessage, WM_LBUTTONDOWN, false},
        {ModMsg::kTrayMessage, WM_MOUSEMOVE, false},
        {ModMsg::kTrayMessage, WM_LBUTTONDBLCLK, false},
        {ModMsg::kTrayMessage, WM_LBUTTONUP, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.msg << " " << c.lParam);
        received.clear();
        bool before = ::IsWindowVisible(w);
        ::SendMessageW(w, c.msg, ModMsg::kHotKeyId, c.lParam);
        EXPECT_EQ(::IsWindowVisible(w) != before, c.toggles);
        EXPECT_EQ(received, std::vector<UINT>{c.msg});  // handled or not, the window got it
    }

    // Unhooked: the window's own procedure is back and F10 does nothing.
    ModMsg::UnhookMainWindow(w);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(w, GWLP_WNDPROC)), &Recording);
    bool before = ::IsWindowVisible(w);
    ::SendMessageW(w, WM_HOTKEY, ModMsg::kHotKeyId, MAKELPARAM(0, VK_F10));
    EXPECT_EQ(::IsWindowVisible(w), before);
    ::DestroyWindow(w);
    g_received = nullptr;
}

TEST(ModMsg, F10HeldElsewhereLeavesTheTrayAndAHookOnTopKeepsTheChain) {
    std::vector<UINT> received;
    g_received = &received;
    HWND holder = MakeWindow();
    HWND w = MakeWindow();
    ASSERT_TRUE(::RegisterHotKey(holder, 7, 0, VK_F10)) << "F10 is taken on this machine";
    ModMsg::HookMainWindow(w);
    EXPECT_FALSE(ModMsg::HotKeyRegistered(w));
    bool before = ::IsWindowVisible(w);
    ::SendMessageW(w, ModMsg::kTrayMessage, ModMsg::kHotKeyId, WM_LBUTTONUP);
    EXPECT_NE(::IsWindowVisible(w), before);
    ::UnregisterHotKey(holder, 7);

    // Another hook goes on top (the styling object's); the main window's hook is removed first
    // and must not cut that hook's chain: messages keep reaching the window until it is gone.
    g_below = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OnTop)));
    ModMsg::UnhookMainWindow(w);
    EXPECT_FALSE(ModMsg::Hooked(w));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(w, GWLP_WNDPROC)), &OnTop);
    received.clear();
    before = ::IsWindowVisible(w);
    ::SendMessageW(w, WM_HOTKEY, ModMsg::kHotKeyId, MAKELPARAM(0, VK_F10));
    ::SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_below));  // the top hook goes
    ::SendMessageW(w, WM_USER + 5, 0, 0);
    EXPECT_EQ(received, (std::vector<UINT>{WM_HOTKEY, WM_USER + 5}));
    EXPECT_EQ(::IsWindowVisible(w), before);
    ::DestroyWindow(w);
    ::DestroyWindow(holder);
    g_received = nullptr;
}

// A page's in-place active object, as the system control hands it to its frame.
class ActiveObjectDouble final : public IOleInPlaceActiveObject {
public:
    std::vector<WPARAM> offered;
    WPARAM takes = VK_TAB;  // the key the page handles itself
    LONG refs = 1;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IOleWindow || riid == IID_IOleInPlaceActiveObject) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetWindow(HWND*) override { return E_NOTIMPL; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override {
        if (msg->message == WM_KEYDOWN) offered.push_back(msg->wParam);
        return msg->message == WM_KEYDOWN && msg->wParam == takes ? S_OK : S_FALSE;
    }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
};

TEST(PageKeys, TheMessageLoopOffersKeysToThePageFirst) {
    std::vector<UINT> received;
    g_received = &received;
    HWND form = MakeWindow();
    HWND host = MakeWindow(form);      // the browser's host window
    HWND inside = MakeWindow(host);    // the control's own window, which has the focus
    HWND elsewhere = MakeWindow(form);
    ActiveObjectDouble page;
    browser::SetInPlaceActiveObject(host, &page);
    browser::RouteKeysToPages();

    auto type = [&](HWND target, WPARAM key) {
        received.clear();
        ::PostMessageW(target, WM_KEYDOWN, key, 1);
        forms::Application::DoEvents();
    };
    type(inside, VK_TAB);  // the page takes it: the window never sees it
    EXPECT_TRUE(received.empty());
    type(inside, VK_DELETE);  // offered, declined, then dispatched as usual
    EXPECT_EQ(received, std::vector<UINT>{WM_KEYDOWN});
    type(elsewhere, VK_TAB);  // not in a page
    EXPECT_EQ(received, std::vector<UINT>{WM_KEYDOWN});
    EXPECT_EQ(page.offered, (std::vector<WPARAM>{VK_TAB, VK_DELETE}));

    // The object is held until the browser lets go of it, or COM is about to go.
    EXPECT_EQ(page.refs, 2);
    browser::ForgetInPlaceActiveObjects();
    EXPECT_EQ(page.refs, 1);
    type(inside, VK_TAB);
    EXPECT_EQ(received, std::vector<UINT>{WM_KEYDOWN});
    forms::Application::SetKeyFilter(nullptr);
    ::DestroyWindow(form);
    g_received = nullptr;
}

}  // namespace
}  // namespace xcyh2
