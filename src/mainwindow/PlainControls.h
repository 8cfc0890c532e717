// Plain stand-ins for the main window's drawn title bar and image buttons: the members and
// events the window uses, drawn simply. The skinned controls take their place later with the
// same names, so the window's code does not change.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "base/win_handles.h"
#include "forms/Window.h"

namespace xcyh2 {

// A button drawn from a horizontal strip of state pictures (normal, hover, pressed;
// a two-state button has a second set for Value true), with an optional caption.
class PlainImageButton : public forms::Window {
public:
    PlainImageButton() = default;
    ~PlainImageButton() override;

    bool Create(HWND parent, int x, int y, int width, int height);
    void Move(int x, int y, int width, int height);
    HWND hWnd() const { return handle(); }

    // Takes ownership of the bitmap.
    void SetBackPicture(HBITMAP picture);
    void SetCaption(const std::wstring& caption);
    void SetCaptionStyle(COLORREF colour, bool underline);
    // 0: push button; 1: two-state button whose Value flips at each click.
    void SetStyle(int style) { style_ = style; }
    bool Value() const { return value_; }
    void SetValue(bool value);
    std::wstring ToolTipText;

    // After a left click released over the button; the handler may destroy the button.
    std::function<void()> Click;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc);
    int State() const;

    unique_hbitmap picture_;
    std::wstring caption_;
    COLORREF captionColour_ = RGB(255, 255, 255);
    bool underline_ = false;
    int style_ = 0;
    bool value_ = false;
    bool hover_ = false;
    bool pressed_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The title bar: the caption over a plain bar, and dragging of frmHwnd while it is set.
class PlainTitleBar : public forms::Window {
public:
    PlainTitleBar() = default;
    ~PlainTitleBar() override;

    bool Create(HWND parent, int x, int y, int width, int height);
    void Move(int x, int y, int width, int height);
    HWND hWnd() const { return handle(); }

    void SetCaption(const std::wstring& caption);
    const std::wstring& Caption() const { return caption_; }
    // The window a left-button drag on the bar moves; 0: none.
    HWND frmHwnd() const { return frmHwnd_; }
    void SetfrmHwnd(HWND window) { frmHwnd_ = window; }
    // Paints the frame of the form that holds the bar (the plain form paints its own).
    void Printform(HWND form);

    std::function<void(short& button, short& shift, float& x, float& y)> MouseDown;
    std::function<void(short& button, short& shift, float& x, float& y)> MouseMove;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    std::wstring caption_;
    HWND frmHwnd_ = nullptr;
    unique_hfont font_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace xcyh2
