// A picture box: a child window that shows an optional picture and can hold other windows
// (it is the container of browser controls and tab pages). Events are plain callbacks.
#pragma once

#include <windows.h>

#include <functional>

#include "base/DpiScale.h"
#include "forms/Window.h"

namespace xcyh2::forms {

class PictureBox : public Window {
public:
    PictureBox() = default;
    ~PictureBox() override;

    // Creates the box inside parent at the given pixel rectangle.
    bool Create(HWND parent, int x, int y, int width, int height, UINT_PTR id = 0,
                COLORREF background = RGB(255, 255, 255));
    HWND hWnd() const { return handle(); }

    // The picture is drawn at 0, 0 in its own size at the box's scale (a picture is made for
    // 96 DPI); the box takes ownership of the bitmap.
    // size96: the picture's size at 96 DPI when the bitmap was drawn for a denser screen (the
    // bitmap's own size when empty); it is shown at that size times the box's scale.
    void SetPicture(HBITMAP bitmap, SIZE size96 = {});
    void SetScale(const DpiScale& scale);
    HBITMAP Picture() const { return picture_; }

    void Move(int x, int y, int width, int height);
    void SetVisible(bool visible);
    bool Visible() const;

    std::function<void(short button, short shift, int x, int y)> MouseDown;
    std::function<void(short button, short shift, int x, int y)> MouseMove;
    std::function<void(short button, short shift, int x, int y)> MouseUp;
    std::function<void()> Click;
    std::function<void()> Resize;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    HBITMAP picture_ = nullptr;
    SIZE size96_{};
    DpiScale scale_;
    bool pressed_ = false;
};

}  // namespace xcyh2::forms
