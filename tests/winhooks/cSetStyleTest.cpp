#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <ostream>
#include <vector>

#include "base/win_handles.h"
#include "support/WinTest.h"
#include "winhooks/cSetStyle.h"

namespace xcyh2::winhooks {

void PrintTo(const FrameRect& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

std::vector<WPARAM> g_sysCommands;  // WM_SYSCOMMAND as the window's own procedure saw it

LRESULT CALLBACK OwnProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSCOMMAND) {
        g_sysCommands.push_back(wParam);
        if ((wParam & 0xFFF0) == SC_CLOSE) return 0;  // the test keeps its window
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

constexpr FrameRect kStart{100, 100, 1100, 800};  // 1000 x 700

FrameRect RectOf(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return {r.left, r.top, r.right, r.bottom};
}

FrameRect MaximisedArea() {
    return MaximisedRect(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), GetTaskbarHeight());
}

LPARAM ClientPoint(HWND hwnd, int x, int y) {
    POINT pt{x, y};
    ::ScreenToClient(hwnd, &pt);
    return MAKELPARAM(pt.x, pt.y);
}

// A shown window of 1000 x 700 at (100, 100), styled and hooked.
class cSetStyleTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &OwnProc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
            wc.lpszClassName = L"SetStyleTestWindow";
            return ::RegisterClassW(&wc);
        }();
        (void)atom;
        g_sysCommands.clear();
        window.reset(::CreateWindowExW(WS_EX_TOPMOST, L"SetStyleTestWindow", L"", WS_OVERLAPPEDWINDOW, kStart.left,
                                       kStart.top, kStart.right - kStart.left, kStart.bottom - kStart.top, nullptr,
                                       nullptr, ::GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(window);
        style = std::make_unique<cSetStyle>();
        style->set_objForm(hwnd());
        style->SetWindowStyle(hwnd());
        style->MouseSize = [this](int code) { mouseSizes.push_back(code); };
        ::ShowWindow(hwnd(), SW_SHOWNORMAL);
        ::SetForegroundWindow(hwnd());
        test::PumpMessages(100);
        // The window manager may have placed the window on its own.
        ::MoveWindow(hwnd(), kStart.left, kStart.top, kStart.right - kStart.left, kStart.bottom - kStart.top, TRUE);
        test::PumpMessages(50);
        ASSERT_EQ(RectOf(hwnd()), kStart);
    }
    void TearDown() override {
        style.reset();
        window.reset();
        test::PumpMessages(20);
    }

    HWND hwnd() const { return window.get(); }

    // Moves the pointer to (x, y) as the mouse does and waits for the window to hear of it.
    int EdgeCodeAt(int x, int y) {
        mouseSizes.clear();
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        input.mi.dx = (x * 65536 + 65535) / ::GetSystemMetrics(SM_CXSCREEN);
        input.mi.dy = (y * 65536 + 65535) / ::GetSystemMetrics(SM_CYSCREEN);
        ::SendInput(1, &input, sizeof(input));
        if (!test::PumpUntil([&] { return !mouseSizes.empty(); }, 2000)) return -100;
        POINT at{};
        ::GetCursorPos(&at);
        EXPECT_EQ(at.x, x);
        EXPECT_EQ(at.y, y);
        return mouseSizes.back();
    }

    // Press at `from`, move the pointer along to `to` one pixel step at a time, release there.
    void DragEdge(POINT from, POINT to) {
        ::SetCursorPos(from.x, from.y);
        ::SendMessageW(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(hwnd(), from.x, from.y));
        EXPECT_EQ(::GetCapture(), hwnd()) << "the window holds the mouse while resizing";
        const int steps = std::max(std::abs(to.x - from.x), std::abs(to.y - from.y));
        for (int i = 1; i <= steps; ++i) {
            const int x = from.x + (to.x - from.x) * i / steps;
            const int y = from.y + (to.y - from.y) * i / steps;
            ::SetCursorPos(x, y);
            ::SendMessageW(hwnd(), WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(hwnd(), x, y));
        }
        ::SendMessageW(hwnd(), WM_LBUTTONUP, 0, ClientPoint(hwnd(), to.x, to.y));
        EXPECT_EQ(::GetCapture(), nullptr);
    }

    unique_hwnd window;
    std::unique_ptr<cSetStyle> style;
    std::vector<int> mouseSizes;
};

TEST_F(cSetStyleTest, StyleIsSystemMenuAndMinimiseBoxOnly) {
    const LONG_PTR bits = ::GetWindowLongPtrW(hwnd(), GWL_STYLE) & ~static_cast<LONG_PTR>(WS_VISIBLE | WS_CLIPSIBLINGS);
    EXPECT_EQ(bits, 0xA0000);
    // No frame is left: the client area is the whole window.
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    EXPECT_EQ(client.right, kStart.right - kStart.left);
    EXPECT_EQ(client.bottom, kStart.bottom - kStart.top);
}

TEST_F(cSetStyleTest, EdgeCursorsFollowThePointer) {
    struct Case {
        const char* what;
        int x, y;
        int code;
        LPCWSTR cursor;
    };
    const Case cases[] = {
        {"3 px inside the left edge, halfway", 103, 450, kEdgeLeft, IDC_SIZEWE},
        {"near the left and the bottom edge", 102, 797, kEdgeBottomLeft, IDC_SIZENESW},
        {"top", 600, 101, kEdgeTop, IDC_SIZENS},
        {"bottom-right", 1097, 797, kEdgeBottomRight, IDC_SIZENWSE},
        {"middle", 600, 450, kEdgeNone, IDC_ARROW},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EdgeCodeAt(c.x, c.y), c.code) << c.what;
        EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, c.cursor)) << c.what;
        // The system asks for the cursor before every move: the answer is the same one, so the
        // class cursor never shows in between.
        ::SendMessageW(hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, c.cursor)) << c.what << ", asked again";
    }
}

TEST_F(cSetStyleTest, DraggingAnEdgeResizesOnceAtTheReleaseAndKeepsTheMinimum) {
    struct Case {
        const char* what;
        POINT from, to;
        FrameRect result;
    };
    const Case cases[] = {
        // The last width above 800 is 801.
        {"right edge to 700 px wide", {1097, 450}, {800, 450}, {100, 100, 901, 800}},
        // The left edge follows the pointer until the window would be 800 wide.
        {"bottom-left corner", {102, 797}, {350, 950}, {299, 100, 1100, 950}},
    };
    for (const Case& c : cases) {
        ::MoveWindow(hwnd(), kStart.left, kStart.top, 1000, 700, TRUE);
        DragEdge(c.from, c.to);
        EXPECT_EQ(RectOf(hwnd()), c.result) << c.what;
    }
}

TEST_F(cSetStyleTest, MaximiseAndRestoreTwiceComeBackExactly) {
    const FrameRect before = RectOf(hwnd());
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(style->CallWindowStateChange());
        EXPECT_TRUE(style->Maximised());
        EXPECT_EQ(RectOf(hwnd()), MaximisedArea());
        EXPECT_FALSE(::IsZoomed(hwnd())) << "the system's own state stays normal";

        // While maximised, no edge: no cursor event and no resize.
        mouseSizes.clear();
        ::SetCursorPos(3, 500);
        ::SendMessageW(hwnd(), WM_MOUSEMOVE, 0, ClientPoint(hwnd(), 3, 500));
        ::SendMessageW(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(hwnd(), 3, 500));
        ::SendMessageW(hwnd(), WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(hwnd(), 300, 500));
        ::SendMessageW(hwnd(), WM_LBUTTONUP, 0, ClientPoint(hwnd(), 300, 500));
        EXPECT_TRUE(mouseSizes.empty());
        EXPECT_EQ(RectOf(hwnd()), MaximisedArea());

        EXPECT_FALSE(style->CallWindowStateChange());
        EXPECT_EQ(RectOf(hwnd()), before);
    }
}

TEST_F(cSetStyleTest, SettingChangeRefitsOnlyAMaximisedWindowThatIsNotMinimised) {
    struct Case {
        const char* what;
        bool maximised;
        bool minimised;
        bool refit;
    };
    const Case cases[] = {
        {"maximised", true, false, true},
        {"maximised and minimised", true, true, false},
        {"restored", false, false, false},
    };
    for (const Case& c : cases) {
        if (c.maximised) style->CallWindowStateChange();
        ::MoveWindow(hwnd(), 50, 60, 900, 650, TRUE);
        if (c.minimised) ::ShowWindow(hwnd(), SW_MINIMIZE);
        int changes = 0;
        style->SettingChange = [&] { ++changes; };
        ::SendMessageW(hwnd(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
        EXPECT_EQ(changes, 1) << c.what;
        if (c.minimised) ::ShowWindow(hwnd(), SW_RESTORE);
        EXPECT_EQ(RectOf(hwnd()) == MaximisedArea(), c.refit) << c.what;
        if (style->Maximised()) style->CallWindowStateChange();
    }
}

TEST_F(cSetStyleTest, CloseFromTheSystemMenuRaisesCloseClickAndStillReachesTheWindow) {
    const WNDPROC own = &OwnProc;
    for (bool destroyInHandler : {false, true}) {
        g_sysCommands.clear();
        int clicks = 0;
        style->CloseClick = [&] {
            ++clicks;
            if (destroyInHandler) style.reset();  // as the main window unloads itself
        };
        ::SendMessageW(hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(clicks, 1);
        EXPECT_EQ(g_sysCommands, std::vector<WPARAM>{SC_CLOSE});
    }
    EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd(), GWLP_WNDPROC)), own) << "unhooked";
}

}  // namespace
}  // namespace xcyh2::winhooks
