#include "forms/PictureBox.h"

#include <windowsx.h>

#include "forms/ScaledCopy.h"

namespace xcyh2::forms {

PictureBox::~PictureBox() {
    DestroyWin();
    if (picture_) ::DeleteObject(picture_);
}

bool PictureBox::Create(HWND parent, int x, int y, int width, int height, UINT_PTR id, COLORREF background) {
    WindowDesign design = WindowDesign::Child(L"Xcyh2PictureBox", parent, x, y, width, height);
    design.style |= WS_CLIPCHILDREN;
    design.id = id;
    design.background = background;
    return CreateWin(design);
}

void PictureBox::SetPicture(HBITMAP bitmap, SIZE size96) {
    if (picture_ && picture_ != bitmap) ::DeleteObject(picture_);
    picture_ = bitmap;
    size96_ = size96;
    if (exists()) ::InvalidateRect(handle(), nullptr, TRUE);
}

void PictureBox::SetScale(const DpiScale& scale) {
    scale_ = scale;
    if (exists()) ::InvalidateRect(handle(), nullptr, TRUE);
}

void PictureBox::Move(int x, int y, int width, int height) {
    if (exists()) ::MoveWindow(handle(), x, y, width, height, TRUE);
}

void PictureBox::SetVisible(bool visible) {
    if (exists()) ::ShowWindow(handle(), visible ? SW_SHOW : SW_HIDE);
}

bool PictureBox::Visible() const { return exists() && ::IsWindowVisible(handle()); }

LRESULT PictureBox::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    int x = GET_X_LPARAM(lParam);
    int y = GET_Y_LPARAM(lParam);
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC hdc = ::BeginPaint(handle(), &ps);
            if (picture_) {
                BITMAP bm{};
                ::GetObjectW(picture_, sizeof(bm), &bm);
                HDC mem = ::CreateCompatibleDC(hdc);
                HGDIOBJ old = ::SelectObject(mem, picture_);
                const SIZE size = size96_.cx > 0 && size96_.cy > 0 ? size96_ : SIZE{bm.bmWidth, bm.bmHeight};
                CopyScaled(hdc, 0, 0, scale_.Pixels(size.cx), scale_.Pixels(size.cy), mem, 0, 0, bm.bmWidth, bm.bmHeight);
                ::SelectObject(mem, old);
                ::DeleteDC(mem);
            }
            ::EndPaint(handle(), &ps);
            return 0;
        }
        case WM_SIZE:
            if (Resize) Resize();
            break;
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
            if (msg == WM_LBUTTONDOWN) pressed_ = true;
            if (MouseDown) MouseDown(ButtonFromMessage(msg, wParam), ShiftFromKeyState(wParam), x, y);
            return 0;
        case WM_MOUSEMOVE:
            if (MouseMove) MouseMove(ButtonFromMessage(msg, wParam), ShiftFromKeyState(wParam), x, y);
            return 0;
        case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
            if (MouseUp) MouseUp(ButtonFromMessage(msg, wParam), ShiftFromKeyState(wParam), x, y);
            bool click = msg == WM_LBUTTONUP && pressed_;
            pressed_ = false;
            RECT r;
            ::GetClientRect(handle(), &r);
            POINT pt{x, y};
            if (click && ::PtInRect(&r, pt) && Click) Click();
            return 0;
        }
        default:
            break;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace xcyh2::forms
