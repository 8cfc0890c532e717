#include "forms/Window.h"

#include "base/EventLog.h"
#include "resources/ResourceIds.h"

#include <windowsx.h>

#include <set>
#include <string>

namespace xcyh2::forms {

void WindowDesign::CentreOnScreen() {
    x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
}

WindowDesign WindowDesign::Child(const wchar_t* className, HWND parent, int x, int y, int width, int height) {
    WindowDesign design;
    design.className = className;
    design.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    design.x = x;
    design.y = y;
    design.width = width;
    design.height = height;
    design.parent = parent;
    return design;
}

Window::~Window() {
    DestroyWin();
    if (backgroundBrush_) ::DeleteObject(backgroundBrush_);
}

Window* Window::FromHandle(HWND hwnd) {
    if (!hwnd || !::IsWindow(hwnd)) return nullptr;
    return reinterpret_cast<Window*>(::GetPropW(hwnd, L"Xcyh2.Window"));
}

void Window::RegisterClassOnce(const wchar_t* className, UINT classStyle) {
    WNDCLASSEXW existing{sizeof(existing)};
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (::GetClassInfoExW(instance, className, &existing)) return;
    WNDCLASSEXW wc{sizeof(wc)};
    wc.style = classStyle;
    wc.lpfnWndProc = &StaticWindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_XCYH2));
    wc.lpszClassName = className;
    ::RegisterClassExW(&wc);
}

bool Window::CreateWin(const WindowDesign& design) {
    if (hwnd_) return true;
    RegisterClassOnce(design.className, design.classStyle);
    set_background(design.background);
    int width = design.width;
    int height = design.height;
    if (design.clientSize && width != CW_USEDEFAULT) {
        RECT r{0, 0, width, height};
        ::AdjustWindowRectEx(&r, design.style, FALSE, design.exStyle);
        width = r.right - r.left;
        height = r.bottom - r.top;
    }
    HMENU menu = (design.style & WS_CHILD) ? reinterpret_cast<HMENU>(design.id) : nullptr;
    HWND hwnd = ::CreateWindowExW(design.exStyle, design.className, design.caption.c_str(), design.style, design.x, design.y,
                                  width, height, design.parent, menu, ::GetModuleHandleW(nullptr), this);
    return hwnd != nullptr;
}

void Window::DestroyWin() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

void Window::set_background(COLORREF colour) {
    if (backgroundBrush_ && colour == background_) return;
    background_ = colour;
    if (backgroundBrush_) ::DeleteObject(backgroundBrush_);
    backgroundBrush_ = ::CreateSolidBrush(colour);
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ERASEBKGND && backgroundBrush_) {
        RECT r;
        ::GetClientRect(hwnd_, &r);
        ::FillRect(reinterpret_cast<HDC>(wParam), &r, backgroundBrush_);
        return 1;
    }
    return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK Window::StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* self = reinterpret_cast<Window*>(::GetPropW(hwnd, L"Xcyh2.Window"));
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<Window*>(create->lpCreateParams);
        if (self) {
            ::SetPropW(hwnd, L"Xcyh2.Window", self);
            self->hwnd_ = hwnd;
        }
    }
    if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    LRESULT result = 0;
    try {
        result = self->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        ReportCurrentException(std::wstring(self->ErrorSource()) + L".HandleMessage");
    }
    if (msg == WM_NCDESTROY) {
        ::RemovePropW(hwnd, L"Xcyh2.Window");
        self->hwnd_ = nullptr;
        self->OnWindowGone();
    }
    return result;
}

short ButtonFromMessage(UINT msg, WPARAM wParam) {
    switch (msg) {
        case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: return kLeftButton;
        case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return kRightButton;
        case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return kMiddleButton;
        default: break;
    }
    short held = 0;
    if (wParam & MK_LBUTTON) held |= kLeftButton;
    if (wParam & MK_RBUTTON) held |= kRightButton;
    if (wParam & MK_MBUTTON) held |= kMiddleButton;
    return held;
}

short ShiftFromKeyState(WPARAM wParam) {
    short shift = 0;
    if (wParam & MK_SHIFT) shift |= kShiftMask;
    if (wParam & MK_CONTROL) shift |= kCtrlMask;
    if (::GetKeyState(VK_MENU) < 0) shift |= kAltMask;
    return shift;
}

void RectRgn(HWND hWnd, int width, int Buttom, int cornerWidth, int cornerHeight) {
    HRGN region = ::CreateRoundRectRgn(0, 0, width, Buttom, cornerWidth, cornerHeight);
    if (region && !::SetWindowRgn(hWnd, region, TRUE)) ::DeleteObject(region);
}

void StartSystemDrag(HWND hwnd) {
    ::ReleaseCapture();
    ::SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

}  // namespace xcyh2::forms
