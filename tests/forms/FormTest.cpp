#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/PictureBox.h"
#include "forms/PropertyBag.h"
#include "forms/Timer.h"
#include "support/WinTest.h"

namespace xcyh2::forms {
namespace {

class RecordingForm : public Form {
public:
    std::vector<std::string> events;
    bool cancelUnload = false;
    std::function<void()> whileAsked;  // runs inside the question, as a nested loop's command would

protected:
    WindowDesign Design() const override {
        WindowDesign design;
        design.className = L"TestRecordingForm";
        design.caption = L"测试窗口";
        design.width = 200;
        design.height = 100;
        return design;
    }
    void Form_Initialize() override { events.push_back("initialize"); }
    void Form_Load() override { events.push_back("load"); }
    void Form_QueryUnload(bool& cancel) override {
        events.push_back("query");
        if (auto nested = std::exchange(whileAsked, nullptr)) nested();
        cancel = cancelUnload;
    }
    void Form_Unload() override { events.push_back("unload"); }
};

TEST(Form, RunsItsLifeCycleInOrderAndInitializesOnce) {
    RecordingForm form;
    form.Initialize();  // without a window
    EXPECT_FALSE(form.IsLoaded());
    HWND hwnd = form.hWnd();  // referring to the window loads the form
    ASSERT_TRUE(::IsWindow(hwnd));
    EXPECT_FALSE(::IsWindowVisible(hwnd));
    EXPECT_EQ(form.Caption(), L"测试窗口");
    EXPECT_TRUE(form.Unload());
    EXPECT_FALSE(::IsWindow(hwnd));
    form.Load();
    EXPECT_TRUE(form.Unload());
    std::vector<std::string> expected{"initialize", "load", "query", "unload", "load", "query", "unload"};
    EXPECT_EQ(form.events, expected);
}

TEST(Form, QueryUnloadCanCancel) {
    RecordingForm form;
    form.Load();
    form.cancelUnload = true;
    EXPECT_FALSE(form.Unload());
    EXPECT_TRUE(form.IsLoaded());
    ::SendMessageW(form.handle(), WM_CLOSE, 0, 0);  // the system close asks the same way
    EXPECT_TRUE(form.IsLoaded());
    form.cancelUnload = false;
    ::SendMessageW(form.handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(form.IsLoaded());
}

// The close question's nested loop can run a command that unloads the same form (an update
// accepted from the tray menu), or unloads and loads it again. The outer unload then has
// nothing left to do: Form_Unload runs once per load, and the form can load and unload again.
TEST(Form, AnUnloadFromInsideItsOwnQuestionIsTheOnlyOne) {
    struct Case {
        const char* name;
        bool reload;
        std::vector<std::string> events;
        bool loadedAfter;
    } cases[] = {
        {"unloaded inside", false, {"query", "query", "unload"}, false},
        {"unloaded and loaded again inside", true, {"query", "query", "unload", "load"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingForm form;
        form.Load();
        form.events.clear();
        form.whileAsked = [&form, &c] {
            form.Unload();
            if (c.reload) form.Load();
        };
        EXPECT_TRUE(form.Unload());
        EXPECT_EQ(form.events, c.events);
        EXPECT_EQ(form.IsLoaded(), c.loadedAfter);
        // Nothing is left half unloaded: the form loads and unloads as usual.
        form.events.clear();
        form.Load();
        EXPECT_TRUE(form.Unload());
        EXPECT_FALSE(form.IsLoaded());
        EXPECT_EQ(form.events.back(), "unload");
    }
}

TEST(Form, DestroyedFromOutsideCountsAsUnloaded) {
    int before = Application::LoadedCount();
    RecordingForm form;
    form.Load();
    EXPECT_EQ(Application::LoadedCount(), before + 1);
    ::DestroyWindow(form.handle());
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(Application::LoadedCount(), before);
    EXPECT_EQ(form.events.back(), "unload");
}

TEST(Application, TheMessageLoopEndsWhenTheLastFormUnloads) {
    // Earlier tests took the count to zero, which posted quit messages: drop them.
    MSG stale;
    while (::PeekMessageW(&stale, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    RecordingForm first, second;
    first.Load();
    second.Load();
    EXPECT_EQ(Application::LoadedCount(), 2);
    Timer timer;
    int ticks = 0;
    timer.Tick = [&] {
        ++ticks;
        if (ticks == 1) first.Unload();
        if (ticks == 2) second.Unload();
    };
    timer.SetInterval(20);
    timer.SetEnabled(true);
    EXPECT_EQ(Application::Run(), 0);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(Application::LoadedCount(), 0);
}

TEST(PictureBox, ReportsAClickOnlyForAPressAndReleaseInside) {
    RecordingForm form;
    form.Load();
    PictureBox box;
    ASSERT_TRUE(box.Create(form.handle(), 10, 10, 50, 40));
    int clicks = 0;
    box.Click = [&] { ++clicks; };
    ::SendMessageW(box.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(box.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(6, 6));
    ::SendMessageW(box.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(box.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(80, 6));  // released outside
    ::SendMessageW(box.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(6, 6));   // release without a press
    EXPECT_EQ(clicks, 1);
    form.Unload();
}

TEST(PropertyBag, ReadsStoredValuesOfTheDefaultsKind) {
    PropertyBag bag{{L"TabStyle", 1}, {L"TabLeftSize", 10}, {L"Caption", std::wstring(L"游戏")}};
    EXPECT_EQ(bag.ReadProperty(L"TabStyle", 0), 1);
    EXPECT_EQ(bag.ReadProperty(L"TabRightSize", 0), 0);
    EXPECT_EQ(bag.ReadProperty(L"Caption", std::wstring()), L"游戏");
    EXPECT_EQ(bag.ReadProperty(L"Caption", 7), 7);  // another kind: the default
    bag.WriteProperty(L"TabRightSize", 3);
    EXPECT_EQ(bag.ReadProperty(L"TabRightSize", 0), 3);
}

}  // namespace
}  // namespace xcyh2::forms
