#include "controls/ButtonCore.h"

namespace xcyh2 {

void ButtonCore::cMouseAction(std::int32_t cAction, bool vComplePaint) {
    if (cAction == drawn_ && !vComplePaint) return;
    drawn_ = cAction;
    sink_.Repaint(cAction);
}

std::int32_t ButtonCore::CurrentState() {
    if (!enabled_) return kStateDisabled;
    bool over = sink_.PointerOver();
    if (pressed_) return over ? kStatePressed : kStateNormal;
    return over ? kStateHover : kStateNormal;
}

void ButtonCore::SetValue(bool value) {
    if (style_ != 1) {
        value_ = false;
        return;
    }
    value_ = value;
    cMouseAction(CurrentState(), true);
}

void ButtonCore::Toggle() {
    if (style_ == 1) value_ = !value_;
}

void ButtonCore::RedrawWithFocus() {
    cMouseAction(CurrentState(), true);
    if (!hover_) sink_.DrawFocusRectangle();
}

void ButtonCore::MouseMove(short button, short shift, float x, float y) {
    if (!sink_.RaiseMouse(ButtonEvent::MouseMove, button, shift, x, y)) return;
    if (!sink_.PointerOver()) return;
    sink_.SetCursorShape(ButtonCursor::Hand);
    if (hover_) return;
    cMouseAction(kStateHover, false);
    hover_ = true;
    sink_.SetHoverTimer(true);
    sink_.Raise(ButtonEvent::MouseOver);
}

void ButtonCore::MouseDown(short button, short shift, float x, float y) {
    if (!sink_.RaiseMouse(ButtonEvent::MouseDown, button, shift, x, y)) return;
    lastButton_ = button;
    if (button != kLeftButton) return;
    sink_.SetCursorShape(ButtonCursor::Arrow);
    cMouseAction(kStatePressed, false);
    pressed_ = true;
}

void ButtonCore::MouseUp(short button, short shift, float x, float y) {
    if (!sink_.RaiseMouse(ButtonEvent::MouseUp, button, shift, x, y)) return;
    if (button != kLeftButton) return;
    if (sink_.PointerOver()) {
        // Only the release of a press held on the button flips a toggle: the release that ends
        // a double click raises no Click, and Value must keep matching the Clicks.
        if (pressed_) Toggle();
        cMouseAction(kStateHover, true);
    } else {
        cMouseAction(kStateNormal, true);
    }
    pressed_ = false;
}

void ButtonCore::Click() {
    if (lastButton_ != kLeftButton) return;
    cMouseAction(CurrentState(), true);
    sink_.Raise(ButtonEvent::Click);
}

void ButtonCore::DoubleClick() {
    if (lastButton_ == kLeftButton) cMouseAction(kStatePressed, false);
    sink_.Raise(ButtonEvent::DBClick);
}

void ButtonCore::TimerTick() {
    if (sink_.PointerOver()) {
        if (pressed_) cMouseAction(kStatePressed, false);
        return;
    }
    if (!pressed_) {
        sink_.SetHoverTimer(false);
        hover_ = false;
        if (!sink_.Raise(ButtonEvent::MouseOut)) return;
    }
    cMouseAction(kStateNormal, false);
}

void ButtonCore::KeyDown(short keyCode, short shift) {
    if (!sink_.RaiseKey(ButtonEvent::KeyDown, keyCode, shift)) return;
    if (keyCode == kEnterKey) {
        Press();
    } else if (keyCode == kSpaceKey) {
        cMouseAction(kStatePressed, true);
        if (!hover_) sink_.DrawFocusRectangle();
    }
}

void ButtonCore::KeyUp(short keyCode, short shift) {
    if (!sink_.RaiseKey(ButtonEvent::KeyUP, keyCode, shift)) return;
    if (keyCode != kSpaceKey) return;
    Toggle();
    RedrawWithFocus();
    sink_.Raise(ButtonEvent::Click);
}

void ButtonCore::Press() {
    Toggle();
    RedrawWithFocus();
    sink_.Raise(ButtonEvent::Click);
}

void ButtonCore::KeyPress(short keyAscii) { sink_.RaiseKeyPress(keyAscii); }

void ButtonCore::GotFocus() {
    cMouseAction(CurrentState(), true);
    if (!pressed_) sink_.DrawFocusRectangle();
}

void ButtonCore::LostFocus() { cMouseAction(CurrentState(), true); }

}  // namespace xcyh2
