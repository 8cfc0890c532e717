// iButton: a button drawn entirely from pictures. BackPicture is a horizontal strip of frames
// (normal, hover, pressed; a toggle button, Style 1, holds a second set shown while Value is
// True), stretched over the button unless AutoSize sizes the button to one frame. An optional
// icon and a centred caption are drawn over it in the button's font and colour. The button
// tracks the pointer itself (a 50 ms hover timer, the hand cursor, the pressed look), handles
// Enter (on key-down) and Space (on key-up) like a click and draws a focus rectangle.
//
// For a host form (the main window, the close dialog, the updater):
//     web_close.Create(handle(), 913, 1, 43, 18, {{L"AutoSize", false}});
//     web_close.SetBackPicture(Picture::LoadBitmapResource(IDB_BTN_CLOSE));
//     web_close.Click = [this] { CloseCommand(); };
// Sizes and positions given to Create and Move are pixels; the events report X and Y in twips.
// A toggle button flips Value before Click is raised. A missing picture leaves a plain button
// (background and caption) that works the same. Any handler may destroy the button.
// With cBackStyle 0 (transparent) a button without pictures shows what lies beneath it (its
// parent's background and the windows below it that answer WM_PRINTCLIENT, as BForm does), so a
// caption alone can sit on a title bar; it takes that picture again when it moves or repaints.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/ButtonCore.h"
#include "controls/Picture.h"
#include "controls/Surface.h"
#include "forms/Accessible.h"
#include "forms/PropertyBag.h"
#include "forms/Window.h"

namespace xcyh2 {

class iButton : public forms::Window, private ButtonSink, private forms::IAccessSource {
public:
    iButton();
    ~iButton() override;

    // Creates the button inside parent, on top of its other children, reads its saved
    // properties and shows it for the first time (which cuts the frames). Every button in the
    // shell passes AutoSize False.
    bool Create(HWND parent, int x, int y, int width, int height, const forms::PropertyBag& properties = {},
                UINT_PTR id = 0);
    // Reads the saved properties as stored values, without cutting frames or painting.
    void ReadProperties(const forms::PropertyBag& properties);
    void WriteProperties(forms::PropertyBag& properties) const;
    void Move(int x, int y, int width, int height);

    // Properties, in the control's interface order.
    HWND hWnd() const { return handle(); }
    short cDrawMode() const { return surface_.DrawMode(); }
    void SetcDrawMode(short mode);
    const FontDesc& cFont() const { return surface_.Font(); }
    void SetcFont(const FontDesc& font);
    std::uint32_t cForeColor() const { return surface_.ForeColor(); }
    void SetcForeColor(std::uint32_t colour);
    bool Locked() const { return locked_; }
    void SetLocked(bool locked);
    bool Value() const { return core_.Value(); }
    void SetValue(bool value) { core_.SetValue(value); }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    std::int32_t Style() const { return core_.Style(); }
    void SetStyle(std::int32_t style);
    const PicturePtr& BackPicture() const { return backPicture_; }
    void SetBackPicture(PicturePtr picture);
    const PicturePtr& Icon() const { return icon_; }
    void SetIcon(PicturePtr picture);
    bool Enabled() const { return core_.Enabled(); }
    void SetEnabled(bool enabled);
    short cBackStyle() const { return surface_.BackStyle(); }
    void SetcBackStyle(short style);
    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& caption);
    // What screen readers call the button where its caption does not say: a picture button's
    // tip or its job. The caption names it otherwise.
    void SetAccessibleName(std::wstring name) { accessName_ = std::move(name); }
    // The object screen readers are handed, for a caller in this process: a new reference.
    IAccessible* AccessibleObject() { return accessible_.Object(); }
    // The DPI the caption's point size is measured at: the holder window's.
    // The back picture is drawn from the art set of that scale.
    void SetDpi(int dpi);
    HDC hdc() const { return surface_.hdc(); }
    HBITMAP Image() const { return surface_.Image(); }

    // Repaints at cAction when it differs from the state last drawn, or when vComplePaint.
    void cMouseAction(std::int32_t cAction, bool vComplePaint) { core_.cMouseAction(cAction, vComplePaint); }
    std::int32_t DrawnState() const { return core_.DrawnState(); }

    // Events, in the control's event order.
    using MouseEvent = std::function<void(short& Button, short& Shift, float& X, float& Y)>;
    using KeyEvent = std::function<void(short& KeyCode, short& Shift)>;
    std::function<void()> Click;
    MouseEvent MouseDown;
    KeyEvent KeyDown;
    KeyEvent KeyUP;
    std::function<void(short& KeyAscii)> KeyPress;
    MouseEvent MouseUp;
    MouseEvent MouseMove;
    std::function<void()> MouseOut;
    std::function<void()> MouseOver;
    std::function<void()> DBClick;
    // A saved property changed (the name as the bag stores it).
    std::function<void(const wchar_t* name)> PropertyChanged;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    const wchar_t* ErrorSource() const override { return L"iButton"; }

private:
    void Mouse(UINT msg, WPARAM wParam, LPARAM lParam);
    void RebuildStateImages();
    void Resized();
    void Refresh() { core_.cMouseAction(core_.CurrentState(), true); }
    void UsePalette(HDC dc) const;
    void PaintUnderneath();
    void Changed(const wchar_t* name);
    void TakeFrameSize();

    // ButtonSink
    bool PointerOver() override;
    void Repaint(std::int32_t state) override;
    void SetCursorShape(ButtonCursor cursor) override;
    void SetHoverTimer(bool running) override;
    void DrawFocusRectangle() override;
    bool Raise(ButtonEvent event) override;
    bool RaiseMouse(ButtonEvent event, short& button, short& shift, float& x, float& y) override;
    bool RaiseKey(ButtonEvent event, short& keyCode, short& shift) override;
    bool RaiseKeyPress(short& keyAscii) override;

    // IAccessSource: a push button, pressed by its default action.
    HWND AccessWindow() const override { return handle(); }
    long AccessRole() const override { return ROLE_SYSTEM_PUSHBUTTON; }
    std::wstring AccessName() const override { return accessName_.empty() ? caption_ : accessName_; }
    std::wstring AccessAction() const override { return L"按下"; }
    void AccessDoAction() override;

    ButtonCore core_;
    Surface surface_;
    PicturePtr backPicture_;
    PicturePtr icon_;
    std::vector<PicturePtr> stateImages_;
    unique_hpalette palette_;  // on a 256-colour display, the palette the frames were cut with
    FrameSize frame_;
    std::wstring caption_;
    std::wstring accessName_;
    // What screen readers hold of the button.
    forms::AccessibleSlot accessible_{*this};
    bool locked_ = false;
    bool autoSize_ = true;
    bool timerRunning_ = false;
    bool sizing_ = false;
    short platformPress_ = 0;  // buttons pressed on the window, for the click that follows
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace xcyh2
