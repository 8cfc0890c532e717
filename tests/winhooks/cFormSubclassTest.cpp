#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/win_handles.h"
#include "winhooks/cFormSubclass.h"

namespace xcyh2::winhooks {
namespace {

constexpr UINT kAsk = WM_USER + 1;  // the window's own procedure answers 42

std::vector<std::string> g_log;  // what reached which procedure, in order

LRESULT CALLBACK OwnProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kAsk) {
        g_log.push_back("own " + std::to_string(wParam));
        return 42;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

unique_hwnd MakeWindow() {
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &OwnProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"FormHookTestWindow";
        return ::RegisterClassW(&wc);
    }();
    (void)atom;
    return unique_hwnd(::CreateWindowExW(0, L"FormHookTestWindow", L"", WS_OVERLAPPED, 0, 0, 200, 150, nullptr,
                                         nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

WNDPROC ProcOf(HWND hwnd) { return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)); }

// Logs every kAsk that reaches MsgCome under the given name.
void LogAsks(cFormSubclass& hook, std::string name) {
    hook.MsgCome = [name](bool bBefore, bool&, LRESULT&, HWND&, UINT& uMsg, WPARAM& wParam, LPARAM&) {
        if (uMsg == kAsk) g_log.push_back(name + (bBefore ? " before " : " after ") + std::to_string(wParam));
    };
}

using Log = std::vector<std::string>;

TEST(cFormSubclass, HandlerSwallowsOrChangesWhatTheWindowReceives) {
    struct Case {
        const char* what;
        bool handle;
        WPARAM newWParam;
        LRESULT result;
        Log log;
    };
    const Case cases[] = {
        {"handled with result 1: the window never sees it", true, 5, 1, {"hook 5"}},
        {"a changed wParam reaches the window", false, 9, 42, {"hook 5", "own 9"}},
    };
    for (const Case& c : cases) {
        g_log.clear();
        auto window = MakeWindow();
        cFormSubclass hook;
        hook.MsgCome = [&](bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hwnd, UINT& uMsg, WPARAM& wParam,
                           LPARAM&) {
            if (uMsg != kAsk) return;
            EXPECT_TRUE(bBefore);
            EXPECT_FALSE(bHandled);
            EXPECT_EQ(lReturn, 0);
            EXPECT_EQ(hwnd, window.get());
            g_log.push_back("hook " + std::to_string(wParam));
            wParam = c.newWParam;
            if (c.handle) {
                bHandled = true;
                lReturn = 1;
            }
        };
        EXPECT_TRUE(hook.AddWindowMsgs(window.get()));
        EXPECT_EQ(::SendMessageW(window.get(), kAsk, 5, 0), c.result) << c.what;
        EXPECT_EQ(g_log, c.log) << c.what;
    }
}

TEST(cFormSubclass, DestructionUnhooksBothOfTwoHooksOnOneWindow) {
    g_log.clear();
    auto window = MakeWindow();
    const WNDPROC own = ProcOf(window.get());
    {
        cFormSubclass hook;
        LogAsks(hook, "hook");
        hook.AddWindowMsgs(window.get());
        hook.AddWindowMsgs(window.get());  // a second, chained hook
        EXPECT_FALSE(hook.DeleteWindowMsg(window.get()));
        EXPECT_EQ(::SendMessageW(window.get(), kAsk, 1, 0), 42);
    }
    EXPECT_EQ(ProcOf(window.get()), own);
    EXPECT_EQ(::SendMessageW(window.get(), kAsk, 2, 0), 42);
    EXPECT_EQ(g_log, (Log{"hook before 1", "hook before 1", "own 1", "own 2"}));
}

// A hook installed by someone else on top of ours, which it calls as its previous procedure.
WNDPROC g_underLater = nullptr;
LRESULT CALLBACK LaterProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kAsk) g_log.push_back("later " + std::to_string(wParam));
    return ::CallWindowProcW(g_underLater, hwnd, msg, wParam, lParam);
}

TEST(cFormSubclass, AHookInstalledLaterIsNeverCutOff) {
    g_log.clear();
    auto window = MakeWindow();
    const WNDPROC own = ProcOf(window.get());
    auto hook = std::make_unique<cFormSubclass>();
    LogAsks(*hook, "hook");
    hook->AddWindowMsgs(window.get());
    g_underLater = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterProc)));

    hook.reset();  // ours cannot come out from under the later hook: it only passes messages on
    EXPECT_EQ(ProcOf(window.get()), &LaterProc);
    EXPECT_EQ(::SendMessageW(window.get(), kAsk, 1, 0), 42);
    EXPECT_EQ(g_log, (Log{"later 1", "own 1"}));

    // The later hook leaves, putting ours back; ours leaves at its next message.
    ::SetWindowLongPtrW(window.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_underLater));
    EXPECT_EQ(::SendMessageW(window.get(), kAsk, 2, 0), 42);
    EXPECT_EQ(ProcOf(window.get()), own);
    EXPECT_EQ(::SendMessageW(window.get(), kAsk, 3, 0), 42);
    EXPECT_EQ(g_log, (Log{"later 1", "own 1", "own 2", "own 3"}));
}

TEST(cFormSubclass, HandlerMayDestroyTheHookAndTheMessageStillGoesOn) {
    g_log.clear();
    auto window = MakeWindow();
    const WNDPROC own = ProcOf(window.get());
    auto hook = std::make_unique<cFormSubclass>();
    hook->MsgCome = [&hook, big = std::string(64, 'x')](bool, bool&, LRESULT&, HWND&, UINT& uMsg, WPARAM& wParam,
                                                        LPARAM&) {
        if (uMsg != kAsk) return;
        hook.reset();
        // The handler's own state is still there after its hook object is gone.
        g_log.push_back("hook " + std::to_string(wParam) + " " + std::to_string(big.size()));
        wParam = 7;
    };
    hook->AddWindowMsgs(window.get());
    EXPECT_EQ(::SendMessageW(window.get(), kAsk, 1, 0), 42);
    EXPECT_EQ(g_log, (Log{"hook 1 64", "own 7"}));
    EXPECT_EQ(ProcOf(window.get()), own);
}

}  // namespace
}  // namespace xcyh2::winhooks
