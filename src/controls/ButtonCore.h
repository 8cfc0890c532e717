// The image button's behaviour without windows: hover, press, toggle, keyboard and focus rules.
// The window side (iButton) answers the sink's questions (is the pointer over the button?) and
// carries out what the core asks (repaint at a state, cursor, timer, focus rectangle, events).
//
// Every event is raised through the sink, which returns false when the handler destroyed the
// button; the core then returns at once without touching itself again.
#pragma once

#include <cstdint>

#include "controls/ButtonFrames.h"

namespace xcyh2 {

enum class ButtonEvent { Click, MouseDown, KeyDown, KeyUP, KeyPress, MouseUp, MouseMove, MouseOut, MouseOver, DBClick };
enum class ButtonCursor { Hand, Arrow };

class ButtonSink {
public:
    virtual bool PointerOver() = 0;
    virtual void Repaint(std::int32_t state) = 0;
    virtual void SetCursorShape(ButtonCursor cursor) = 0;
    virtual void SetHoverTimer(bool running) = 0;
    virtual void DrawFocusRectangle() = 0;
    // Click, MouseOut, MouseOver, DBClick.
    virtual bool Raise(ButtonEvent event) = 0;
    virtual bool RaiseMouse(ButtonEvent event, short& button, short& shift, float& x, float& y) = 0;
    // KeyDown and KeyUP.
    virtual bool RaiseKey(ButtonEvent event, short& keyCode, short& shift) = 0;
    virtual bool RaiseKeyPress(short& keyAscii) = 0;

protected:
    ~ButtonSink() = default;
};

class ButtonCore {
public:
    explicit ButtonCore(ButtonSink& sink) : sink_(sink) {}

    static constexpr short kLeftButton = 1;
    static constexpr short kEnterKey = 13;
    static constexpr short kSpaceKey = 32;

    // Repaints at cAction when it differs from the drawn state or when forced.
    void cMouseAction(std::int32_t cAction, bool vComplePaint);
    std::int32_t CurrentState();
    std::int32_t DrawnState() const { return drawn_; }

    bool Value() const { return value_; }
    // A push button keeps False and is not repainted; a toggle button stores and repaints.
    void SetValue(bool value);
    std::int32_t Style() const { return style_; }
    void SetStyle(std::int32_t style) { style_ = style; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }

    bool Hovering() const { return hover_; }
    bool Pressed() const { return pressed_; }

    // Input, in the platform's order (a click follows the mouse-up of a press on the button).
    void MouseMove(short button, short shift, float x, float y);
    void MouseDown(short button, short shift, float x, float y);
    void MouseUp(short button, short shift, float x, float y);
    void Click();
    void DoubleClick();
    void TimerTick();
    void KeyDown(short keyCode, short shift);
    void KeyUp(short keyCode, short shift);
    void KeyPress(short keyAscii);
    // A press as by the Enter key, also a screen reader's: a toggle flips, then Click.
    void Press();
    void GotFocus();
    void LostFocus();

private:
    void Toggle();
    // Repaints at the current state (forced), then draws the focus rectangle unless hovering.
    void RedrawWithFocus();

    ButtonSink& sink_;
    bool hover_ = false;
    bool pressed_ = false;
    short lastButton_ = 0;
    std::int32_t drawn_ = kStateNormal;
    bool value_ = false;
    std::int32_t style_ = 0;
    bool enabled_ = true;
};

}  // namespace xcyh2
