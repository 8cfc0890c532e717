#include "mainwindow/PlainControls.h"

#include <windowsx.h>

namespace xcyh2 {
namespace {

constexpr COLORREF kBarColour = RGB(28, 78, 140);
constexpr int kStates = 3;  // normal, hover, pressed (the caption button strips hold three frames a set)

bool PointerOver(HWND hwnd) {
    POINT pt;
    ::GetCursorPos(&pt);
    return ::WindowFromPoint(pt) == hwnd;
}

forms::WindowDesign ChildDesign(const wchar_t* className, HWND parent, int x, int y, int width, int height) {
    forms::WindowDesign design = forms::WindowDesign::Child(className, parent, x, y, width, height);
    design.background = kBarColour;
    return design;
}

}  // namespace

// ---- PlainImageButton ------------------------------------------------------------------------

PlainImageButton::~PlainImageButton() {
    *alive_ = false;
    DestroyWin();
}

bool PlainImageButton::Create(HWND parent, int x, int y, int width, int height) {
    return CreateWin(ChildDesign(L"Xcyh2PlainImageButton", parent, x, y, width, height));
}

void PlainImageButton::Move(int x, int y, int width, int height) {
    if (exists()) ::MoveWindow(handle(), x, y, width, height, TRUE);
}

void PlainImageButton::SetBackPicture(HBITMAP picture) {
    picture_.reset(picture);
    if (exists()) ::InvalidateRect(handle(), nullptr, FALSE);
}

void PlainImageButton::SetCaption(const std::wstring& caption) {
    caption_ = caption;
    if (exists()) ::InvalidateRect(handle(), nullptr, FALSE);
}

void PlainImageButton::SetCaptionStyle(COLORREF colour, bool underline) {
    captionColour_ = colour;
    underline_ = underline;
}

void PlainImageButton::SetValue(bool value) {
    // Only a two-state button keeps a value.
    value_ = style_ == 1 && value;
    if (exists()) ::InvalidateRect(handle(), nullptr, FALSE);
}

int PlainImageButton::State() const {
    if (pressed_) return hover_ ? 2 : 0;
    return hover_ ? 1 : 0;
}

void PlainImageButton::Paint(HDC dc) {
    RECT r;
    ::GetClientRect(handle(), &r);
    unique_hbrush back(::CreateSolidBrush(kBarColour));
    ::FillRect(dc, &r, back.get());
    if (picture_) {
        BITMAP bm{};
        ::GetObjectW(picture_.get(), sizeof(bm), &bm);
        int frames = kStates * (style_ == 1 ? 2 : 1);
        int frameWidth = bm.bmWidth / frames;
        int frame = State() + (value_ ? kStates : 0);
        unique_hdc mem(::CreateCompatibleDC(dc));
        SelectedObject selected(mem.get(), picture_.get());
        ::SetStretchBltMode(dc, COLORONCOLOR);
        ::StretchBlt(dc, 0, 0, r.right, r.bottom, mem.get(), frame * frameWidth, 0, frameWidth, bm.bmHeight, SRCCOPY);
    }
    if (!caption_.empty()) {
        LOGFONTW lf{};
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
        lf.lfUnderline = underline_;
        unique_hfont font(::CreateFontIndirectW(&lf));
        SelectedObject selected(dc, font.get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, captionColour_);
        if (State() == 2) ::OffsetRect(&r, 1, 1);
        ::DrawTextW(dc, caption_.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

LRESULT PlainImageButton::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(handle(), &ps);
            Paint(dc);
            ::EndPaint(handle(), &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_SETCURSOR:
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        case WM_MOUSEMOVE:
            if (!hover_) {
                hover_ = true;
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, handle(), 0};
                ::TrackMouseEvent(&track);
                ::InvalidateRect(handle(), nullptr, FALSE);
            }
            return 0;
        case WM_MOUSELEAVE:
            hover_ = false;
            ::InvalidateRect(handle(), nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
            pressed_ = true;
            ::SetCapture(handle());
            ::InvalidateRect(handle(), nullptr, FALSE);
            return 0;
        case WM_LBUTTONUP: {
            if (!pressed_) return 0;
            pressed_ = false;
            if (::GetCapture() == handle()) ::ReleaseCapture();
            RECT r;
            ::GetClientRect(handle(), &r);
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            hover_ = ::PtInRect(&r, pt) != FALSE;
            ::InvalidateRect(handle(), nullptr, FALSE);
            if (!hover_) return 0;
            if (style_ == 1) value_ = !value_;
            // The handler may close the window that holds the button, and the button with it.
            if (auto click = Click) click();
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (pressed_ && reinterpret_cast<HWND>(lParam) != handle()) {
                pressed_ = false;
                hover_ = PointerOver(handle());
                ::InvalidateRect(handle(), nullptr, FALSE);
            }
            break;
        default:
            break;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

// ---- PlainTitleBar ---------------------------------------------------------------------------

PlainTitleBar::~PlainTitleBar() {
    *alive_ = false;
    DestroyWin();
}

bool PlainTitleBar::Create(HWND parent, int x, int y, int width, int height) {
    if (!font_) {
        LOGFONTW lf{};
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
        lf.lfWeight = FW_BOLD;
        font_.reset(::CreateFontIndirectW(&lf));
    }
    return CreateWin(ChildDesign(L"Xcyh2PlainTitleBar", parent, x, y, width, height));
}

void PlainTitleBar::Move(int x, int y, int width, int height) {
    if (exists()) ::MoveWindow(handle(), x, y, width, height, TRUE);
}

void PlainTitleBar::SetCaption(const std::wstring& caption) {
    caption_ = caption;
    if (exists()) ::InvalidateRect(handle(), nullptr, TRUE);
}

void PlainTitleBar::Printform(HWND form) {
    if (form) ::InvalidateRect(form, nullptr, TRUE);
}

LRESULT PlainTitleBar::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(handle(), &ps);
            RECT r;
            ::GetClientRect(handle(), &r);
            unique_hbrush back(::CreateSolidBrush(kBarColour));
            ::FillRect(dc, &r, back.get());
            SelectedObject font(dc, font_.get());
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, RGB(255, 255, 255));
            // Room for the logo at the left end (600 twips), as the drawn bar leaves it.
            ::TextOutW(dc, 40, 10, caption_.c_str(), static_cast<int>(caption_.size()));
            ::EndPaint(handle(), &ps);
            return 0;
        }
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: {
            ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
            auto alive = alive_;
            short button = forms::ButtonFromMessage(msg, wParam);
            short shift = forms::ShiftFromKeyState(wParam);
            float x = static_cast<float>(GET_X_LPARAM(lParam)) * 15, y = static_cast<float>(GET_Y_LPARAM(lParam)) * 15;
            // The system's move loop returns when the button is released.
            if (button == forms::kLeftButton && frmHwnd_) forms::StartSystemDrag(frmHwnd_);
            if (!*alive) return 0;
            ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
            if (auto handler = MouseDown) handler(button, shift, x, y);
            return 0;
        }
        case WM_MOUSEMOVE: {
            short button = forms::ButtonFromMessage(msg, wParam);
            short shift = forms::ShiftFromKeyState(wParam);
            float x = static_cast<float>(GET_X_LPARAM(lParam)) * 15, y = static_cast<float>(GET_Y_LPARAM(lParam)) * 15;
            if (auto handler = MouseMove) handler(button, shift, x, y);
            return 0;
        }
        default:
            break;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace xcyh2
