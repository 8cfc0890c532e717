#include "winhooks/cSetStyle.h"

#include <utility>

#include "winhooks/cFormSubclass.h"

namespace xcyh2::winhooks {

namespace {

constexpr DWORD kBorderlessStyle = WS_SYSMENU | WS_MINIMIZEBOX;  // 0xA0000

// The pointer for each edge code, clockwise from the top.
LPCWSTR CursorFor(int edge) {
    static const LPCWSTR kCursors[] = {IDC_SIZENS, IDC_SIZENESW, IDC_SIZEWE, IDC_SIZENWSE,
                                       IDC_SIZENS, IDC_SIZENESW, IDC_SIZEWE, IDC_SIZENWSE};
    return edge >= 0 && edge < 8 ? kCursors[edge] : IDC_ARROW;
}

POINT CursorPos() {
    POINT pt{};
    ::GetCursorPos(&pt);
    return pt;
}

void DrawOutline(HDC dc, const FrameRect& r) {
    const RECT rect{r.left, r.top, r.right, r.bottom};
    ::DrawFocusRect(dc, &rect);
}

}  // namespace

int GetTaskbarHeight() {
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return ::GetSystemMetrics(SM_CYSCREEN) - work.bottom;
}

cSetStyle::cSetStyle() : objSubclass_(std::make_unique<cFormSubclass>()) {
    objSubclass_->MsgCome = [this](bool bBefore, bool& bHandled, LRESULT& lReturn, HWND&, UINT& uMsg,
                                   WPARAM& wParam, LPARAM&) {
        // Over a sizing edge the edge cursor is the answer to the system's question, or the
        // class cursor would come back between every two moves.
        if (bBefore && uMsg == WM_SETCURSOR && SetEdgeCursor()) {
            bHandled = true;
            lReturn = TRUE;
            return;
        }
        objSubclass_MsgCome(bBefore, uMsg, wParam);
    };
}

cSetStyle::~cSetStyle() {
    *alive_ = false;
    if (resizing_) {  // destroyed in the middle of a drag: take the outline off the screen
        DrawOutline(screenDc_, oldOutline_);
        ::ReleaseDC(nullptr, screenDc_);
        if (tookCapture_ && ::GetCapture() == hwnd_) ::ReleaseCapture();
    }
    objSubclass_->DeleteWindowMsg(hwnd_);
    objSubclass_.reset();  // unhooks the window
}

void cSetStyle::SetWindowStyle(HWND hWnd) {
    hwnd_ = hWnd;
    ::SetWindowLongPtrW(hWnd, GWL_STYLE, kBorderlessStyle);
    // The system measures the frame anew only when told to: without this the old caption and
    // border stay until the window's next change of size.
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    objSubclass_->AddWindowMsgs(hWnd);
}

FrameRect cSetStyle::WindowRect(HWND hwnd) const {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return {r.left, r.top, r.right, r.bottom};
}

void cSetStyle::MoveForm(const FrameRect& r) {
    ::MoveWindow(Target(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

bool cSetStyle::CallWindowStateChange() {
    if (maximised_) {
        maximised_ = false;
        MoveForm(restore_);
    } else {
        restore_ = WindowRect(Target());
        maximised_ = true;
        MoveForm(MaximisedRect(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), GetTaskbarHeight()));
    }
    return maximised_;
}

void cSetStyle::objSubclass_MsgCome(bool bBefore, UINT uMsg, WPARAM wParam) {
    if (!bBefore) return;
    switch (uMsg) {
        case WM_SETTINGCHANGE: {
            const std::weak_ptr<bool> alive = alive_;
            if (auto handler = SettingChange) handler();
            if (alive.expired()) return;
            // The work area may have changed under a maximised window.
            if (maximised_ && !held_ && !::IsIconic(Target())) {
                MoveForm(MaximisedRect(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                                       GetTaskbarHeight()));
            }
            break;
        }
        case WM_SYSCOMMAND:
            // The low four bits are the system's own.
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                if (auto handler = CloseClick) handler();
            }
            break;
        case WM_MOUSEMOVE: OnMouseMove(wParam); break;
        case WM_LBUTTONDOWN: OnLeftButtonDown(); break;
        case WM_LBUTTONUP:
            if (resizing_) FinishResizing();
            break;
        default: break;
    }
}

void cSetStyle::OnMouseMove(WPARAM wParam) {
    const POINT cursor = CursorPos();
    if (!resizing_ && !maximised_ && !held_) {
        const int edge = EdgeAt(WindowRect(hwnd_), cursor.x, cursor.y, scale_);
        const std::weak_ptr<bool> alive = alive_;
        if (auto handler = MouseSize) handler(edge);
        if (alive.expired()) return;
        ::SetCursor(::LoadCursorW(nullptr, CursorFor(edge)));
    } else if (resizing_ && wParam != 0) {  // a button (or key) is still held
        UpdateOutline(cursor);
    }
}

bool cSetStyle::SetEdgeCursor() {
    if (resizing_ || maximised_ || held_) return false;
    const POINT cursor = CursorPos();
    const int edge = EdgeAt(WindowRect(hwnd_), cursor.x, cursor.y, scale_);
    if (edge == kEdgeNone) return false;
    ::SetCursor(::LoadCursorW(nullptr, CursorFor(edge)));
    return true;
}

void cSetStyle::OnLeftButtonDown() {
    const POINT cursor = CursorPos();
    const int edge = EdgeAt(WindowRect(hwnd_), cursor.x, cursor.y, scale_);
    if (edge != kEdgeNone && !resizing_ && !maximised_ && !held_) StartResizing(edge);
}

void cSetStyle::StartResizing(int edge) {
    resizing_ = true;
    edge_ = edge;
    oldOutline_ = WindowRect(hwnd_);
    screenDc_ = ::GetDC(nullptr);
    DrawOutline(screenDc_, oldOutline_);
    // The moves and the release must reach the window also outside it. A window procedure that
    // does not capture at the press (DefWindowProc does not) gets the capture from us.
    tookCapture_ = ::GetCapture() != hwnd_;
    if (tookCapture_) ::SetCapture(hwnd_);
}

void cSetStyle::UpdateOutline(POINT cursor) {
    const FrameRect outline = MoveOutline(oldOutline_, edge_, cursor.x, cursor.y, scale_);
    DrawOutline(screenDc_, oldOutline_);  // inverts the old one back
    DrawOutline(screenDc_, outline);
    oldOutline_ = outline;
}

void cSetStyle::FinishResizing() {
    resizing_ = false;
    DrawOutline(screenDc_, oldOutline_);
    // Moving runs the window's own handlers: keep what is still to do in locals.
    HDC dc = std::exchange(screenDc_, nullptr);
    const bool release = std::exchange(tookCapture_, false);
    const HWND hwnd = hwnd_;
    MoveForm(oldOutline_);
    ::ReleaseDC(nullptr, dc);
    if (release && ::GetCapture() == hwnd) ::ReleaseCapture();
}

}  // namespace xcyh2::winhooks
