// The image button without windows: cutting strips into frames, the frame each state shows, and
// the hover, press, toggle and keyboard rules as scripts of input against what the button does.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "controls/ButtonCore.h"
#include "controls/ButtonFrames.h"

namespace xcyh2 {
namespace {

TEST(ButtonFrames, StripsAreCutIntoWholeFramesAndAutoSizeTakesOne) {
    struct Case {
        std::int32_t stripWidth, stripHeight, style;
        FrameSize frame;
    } cases[] = {
        {129, 18, 0, {43, 18}},  // the close button
        {150, 18, 1, {25, 18}},  // the maximise/restore toggle
        {72, 18, 0, {24, 18}},   // minimise and tool menu
        {0, 0, 0, {0, 0}},
    };
    for (const auto& c : cases) {
        FrameSize frame = CutFrames(PixelsToHimetric(c.stripWidth), PixelsToHimetric(c.stripHeight), c.style);
        EXPECT_EQ(frame, c.frame) << c.stripWidth << " x " << c.stripHeight;
    }
    TwipsSize size;
    ASSERT_TRUE(AutoSizeTwips(CutFrames(PixelsToHimetric(72), PixelsToHimetric(18), 0), size));
    EXPECT_EQ(size, (TwipsSize{360, 270}));
    EXPECT_FALSE(AutoSizeTwips({0, 18}, size));
}

TEST(ButtonFrames, EachStateShowsItsFrame) {
    struct Case {
        std::int32_t state;
        bool locked, value;
        std::int32_t style, frame;
    } cases[] = {
        {kStateNormal, false, false, 0, 0}, {kStateHover, false, false, 0, 1}, {kStatePressed, false, false, 0, 2},
        {kStateNormal, false, true, 1, 3},  {kStateHover, false, true, 1, 4},  {kStatePressed, false, true, 1, 5},
        {kStateHover, true, false, 0, 2},   {kStateNormal, true, true, 1, 5},  // Locked: pressed whatever the state
        {kStateDisabled, false, false, 0, 0}, {kStateDisabled, false, true, 1, 3},  // no disabled frame in the strips
        {kStateHover, false, true, 0, 1},   // a push button has no second set
    };
    for (const auto& c : cases)
        EXPECT_EQ(FrameForState(c.state, c.locked, c.value, c.style), c.frame)
            << "state " << c.state << " locked " << c.locked << " value " << c.value << " style " << c.style;
}

// Records what the core asks for, one word each, and answers "is the pointer over the button?".
class ScriptSink : public ButtonSink {
public:
    bool over = false;
    bool zeroEnter = false;
    std::string destroyOn;  // the event whose handler destroys the button
    bool destroyed = false;
    std::ostringstream log;
    ButtonCore* core = nullptr;

    bool PointerOver() override { return over; }
    void Repaint(std::int32_t state) override { log << "paint" << state << ' '; }
    void SetCursorShape(ButtonCursor c) override { log << (c == ButtonCursor::Hand ? "hand " : "arrow "); }
    void SetHoverTimer(bool running) override { log << (running ? "timer+ " : "timer- "); }
    void DrawFocusRectangle() override { log << "focus "; }
    bool Raise(ButtonEvent e) override {
        static const char* names[] = {"Click", "", "", "", "", "", "", "MouseOut", "MouseOver", "DBClick"};
        std::string name = names[static_cast<int>(e)];
        log << name;
        if (e == ButtonEvent::Click) log << '=' << core->Value();
        log << ' ';
        return Survives(name);
    }
    bool RaiseMouse(ButtonEvent e, short& button, short&, float&, float&) override {
        const char* name = e == ButtonEvent::MouseDown ? "MouseDown" : e == ButtonEvent::MouseUp ? "MouseUp" : "MouseMove";
        log << name << ' ';
        return Survives(name);
    }
    bool RaiseKey(ButtonEvent e, short& keyCode, short&) override {
        log << (e == ButtonEvent::KeyDown ? "KeyDown " : "KeyUP ");
        if (zeroEnter && keyCode == ButtonCore::kEnterKey) keyCode = 0;
        return true;
    }
    bool RaiseKeyPress(short&) override {
        log << "KeyPress ";
        return true;
    }
    bool Survives(const std::string& event) {
        destroyed = destroyed || (!destroyOn.empty() && event == destroyOn);
        return !destroyed;
    }
};

// Runs a script: in/out move the pointer, the rest are input (left button unless r-prefixed).
std::string RunScript(ScriptSink& sink, ButtonCore& core, const std::string& script) {
    std::istringstream words(script);
    for (std::string w; words >> w;) {
        if (w == "in") sink.over = true;
        else if (w == "out") sink.over = false;
        else if (w == "move") core.MouseMove(0, 0, 30, 30);
        else if (w == "down") core.MouseDown(1, 0, 30, 30);
        else if (w == "up") core.MouseUp(1, 0, 30, 30);
        else if (w == "click") core.Click();
        else if (w == "dbl") core.DoubleClick();
        else if (w == "rdown") core.MouseDown(2, 0, 30, 30);
        else if (w == "rup") core.MouseUp(2, 0, 30, 30);
        else if (w == "tick") core.TimerTick();
        else if (w == "enter") core.KeyDown(13, 0);
        else if (w == "space") core.KeyDown(32, 0);
        else if (w == "spaceup") core.KeyUp(32, 0);
        else if (w == "char") core.KeyPress(65);
        else if (w == "focus") core.GotFocus();
        else if (w == "blur") core.LostFocus();
        else if (w == "value+") core.SetValue(true);
        else ADD_FAILURE() << "unknown step " << w;
        if (sink.destroyed) break;
    }
    std::string log = sink.log.str();
    if (!log.empty()) log.pop_back();
    return log;
}

TEST(ButtonCore, ScriptsOfInput) {
    struct Case {
        const char* name;
        std::int32_t style;
        const char* script;
        const char* expected;
        bool value = false;         // Value afterwards
        bool zeroEnter = false;     // a KeyDown handler sets KeyCode 0 for Enter
        const char* destroyOn = "";
    } cases[] = {
        {"created away from the pointer: one MouseOut on the first tick", 0, "tick",
         "timer- MouseOut"},
        {"hover, stay, leave", 0, "in move move tick out tick",
         "MouseMove hand paint1 timer+ MouseOver MouseMove hand timer- MouseOut paint0"},
        {"press, leave, return, release: no MouseOut while held", 0, "in move down out tick in tick up click out tick",
         "MouseMove hand paint1 timer+ MouseOver MouseDown arrow paint2 paint0 paint2 MouseUp paint1 paint1 Click=0 "
         "timer- MouseOut paint0"},
        {"release outside: normal frame and no Click", 0, "in move down out up tick",
         "MouseMove hand paint1 timer+ MouseOver MouseDown arrow paint2 MouseUp paint0 timer- MouseOut"},
        {"right click: no pressed look and no Click", 0, "in move rdown rup click",
         "MouseMove hand paint1 timer+ MouseOver MouseDown MouseUp"},
        {"toggle: Value flips before Click", 1, "in move down up click",
         "MouseMove hand paint1 timer+ MouseOver MouseDown arrow paint2 MouseUp paint1 paint1 Click=1", true},
        {"toggle: a double click flips Value once per Click", 1, "in move down up click dbl up",
         "MouseMove hand paint1 timer+ MouseOver MouseDown arrow paint2 MouseUp paint1 paint1 Click=1 paint2 DBClick "
         "MouseUp paint1", true},
        {"Enter on key-down toggles, repaints, frames the focus and clicks", 1, "enter",
         "KeyDown paint0 focus Click=1", true},
        {"a KeyDown handler that zeroes Enter suppresses everything", 1, "enter",
         "KeyDown", false, true},
        {"Space: pressed on key-down, Click on key-up", 0, "focus space spaceup char",
         "paint0 focus KeyDown paint2 focus KeyUP paint0 focus Click=0 KeyPress"},
        {"no focus rectangle while hovering", 0, "in move enter",
         "MouseMove hand paint1 timer+ MouseOver KeyDown paint1 Click=0"},
        {"Value on a push button stays False, unpainted", 0, "value+", ""},
        {"Value on a toggle button repaints", 1, "value+ blur", "paint0 paint0", true},
        {"a MouseOut handler that destroys the button ends the tick", 0, "in move out tick",
         "MouseMove hand paint1 timer+ MouseOver timer- MouseOut", false, false, "MouseOut"},
        {"a MouseDown handler that destroys the button ends the press", 0, "in down",
         "MouseDown", false, false, "MouseDown"},
    };
    for (const auto& c : cases) {
        ScriptSink sink;
        ButtonCore core(sink);
        sink.core = &core;
        sink.zeroEnter = c.zeroEnter;
        sink.destroyOn = c.destroyOn;
        core.SetStyle(c.style);
        EXPECT_EQ(RunScript(sink, core, c.script), c.expected) << c.name;
        if (!*c.destroyOn) {
            EXPECT_EQ(core.Value(), c.value) << c.name;
        }
    }
}

}  // namespace
}  // namespace xcyh2
