#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/win_handles.h"
#include "support/WinTest.h"
#include "winhooks/CSubclass.h"

namespace xcyh2 {
namespace {

constexpr UINT kAsk = WM_USER + 1;    // the test window answers 42
constexpr UINT kOther = WM_USER + 2;  // answered 7
constexpr UINT kThird = WM_USER + 3;

// What happened, in order: the window's own procedure and every event, as short lines.
std::vector<std::string> g_log;

std::string Name(UINT msg) {
    switch (msg) {
        case kAsk: return "ask";
        case kOther: return "other";
        case kThird: return "third";
        case WM_ERASEBKGND: return "erase";
        case WM_DESTROY: return "destroy";
        case WM_NCDESTROY: return "ncdestroy";
        case WM_MOUSELEAVE: return "mouseleave";
        default: return std::to_string(msg);
    }
}

LRESULT CALLBACK OwnProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case kAsk: g_log.push_back("own ask"); return 42;
        case kOther: g_log.push_back("own other"); return 7;
        case kThird: g_log.push_back("own third"); return 3;
        case WM_ERASEBKGND: g_log.push_back("own erase"); return 0;
        case WM_NCDESTROY: g_log.push_back("own ncdestroy"); break;
        case WM_MOUSELEAVE: g_log.push_back("own mouseleave"); return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK OwnProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kAsk) return 42;
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

unique_hwnd MakeWindow(DWORD style = WS_OVERLAPPED) {
    static ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &OwnProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"WinhooksTestWindow";
        return ::RegisterClassW(&wc);
    }();
    (void)atom;
    return unique_hwnd(::CreateWindowExW(0, L"WinhooksTestWindow", L"", style, 100, 100, 200, 150, nullptr, nullptr,
                                         ::GetModuleHandleW(nullptr), nullptr));
}

unique_hwnd MakeAnsiWindow() {
    static ATOM atom = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &OwnProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "WinhooksTestWindowA";
        return ::RegisterClassA(&wc);
    }();
    (void)atom;
    return unique_hwnd(::CreateWindowExA(0, "WinhooksTestWindowA", "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                         nullptr, ::GetModuleHandleA(nullptr), nullptr));
}

// A holder that logs its events and runs what a test asks of it.
class Holder : public ISubclassHandler {
public:
    explicit Holder(std::string name = "") : name_(std::move(name)) {}
    std::function<void(bool, bool&, LRESULT&, HWND, UINT, LONG_PTR&)> act;
    std::vector<LRESULT> seenResults;
    std::vector<LONG_PTR> seenUser;

    void WindowProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND hwnd, UINT uMsg, WPARAM, LPARAM,
                    LONG_PTR& lParamUser) override {
        EXPECT_FALSE(bHandled);
        g_log.push_back(name_ + (bBefore ? "before " : "after ") + Name(uMsg));
        seenResults.push_back(lReturn);
        seenUser.push_back(lParamUser);
        if (act) act(bBefore, bHandled, lReturn, hwnd, uMsg, lParamUser);
    }

private:
    std::string name_;
};

using Log = std::vector<std::string>;

class CSubclassTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        SetSubclassErrorObserver([this](const std::wstring& line) { errors.push_back(line); });
        baseRecords = CSubclass::LiveRecordCount();
    }
    void TearDown() override {
        SetSubclassErrorObserver(nullptr);
        // Every test leaves the engine with no record behind once the release timers ran.
        EXPECT_TRUE(test::PumpUntil([&] { return CSubclass::LiveRecordCount() == baseRecords; }, 3000));
    }

    static WNDPROC ProcOf(HWND hwnd) { return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)); }

    std::vector<std::wstring> errors;
    long baseRecords = 0;
};

TEST_F(CSubclassTest, BeforeOwnProcedureAfterInOrderWithResultAndUserValue) {
    auto window = MakeWindow();
    Holder holder;
    CSubclass engine(holder);
    ASSERT_TRUE(engine.ssc_Subclass(window.get(), 7));
    engine.ssc_AddMsg(window.get(), kAsk, MSG_BEFORE_AND_AFTER);
    holder.act = [](bool before, bool&, LRESULT& lReturn, HWND, UINT, LONG_PTR& user) {
        if (before) user = 8;  // persists for later messages
        else lReturn += 1;     // the after phase may change the result
    };

    EXPECT_EQ(::SendMessageW(window.get(), kAsk, 0, 0), 43);
    EXPECT_EQ(g_log, (Log{"before ask", "own ask", "after ask"}));
    EXPECT_EQ(holder.seenResults, (std::vector<LRESULT>{0, 42}));
    EXPECT_EQ(holder.seenUser, (std::vector<LONG_PTR>{7, 8}));
    EXPECT_EQ(engine.zGet_lParamUser(window.get()), 8);

    // Unlisted messages reach only the window's own procedure.
    g_log.clear();
    EXPECT_EQ(::SendMessageW(window.get(), kOther, 0, 0), 7);
    EXPECT_EQ(g_log, (Log{"own other"}));

    engine.zSet_lParamUser(window.get(), 99);
    ::SendMessageW(window.get(), kAsk, 0, 0);
    EXPECT_EQ(holder.seenUser.back(), 8);  // the after event of this message
    EXPECT_EQ(holder.seenUser[2], 99);
    EXPECT_TRUE(errors.empty());
}

TEST_F(CSubclassTest, SwallowedMessageSkipsOwnProcedureAndAfterPhase) {
    auto window = MakeWindow();
    Holder holder;
    CSubclass engine(holder);
    ASSERT_TRUE(engine.ssc_Subclass(window.get()));
    engine.ssc_AddMsg(window.get(), WM_ERASEBKGND, MSG_BEFORE_AND_AFTER);
    holder.act = [](bool before, bool& handled, LRESULT& lReturn, HWND, UINT, LONG_PTR&) {
        if (before) {
            handled = true;
            lReturn = 1;
        }
    };
    EXPECT_EQ(::SendMessageW(window.get(), WM_ERASEBKGND, 0, 0), 1);
    EXPECT_EQ(g_log, (Log{"before erase"}));
}

TEST_F(CSubclassTest, AllMessagesAndDeletionsWithNonIntegerValues) {
    auto window = MakeWindow();
    Holder holder;
    CSubclass engine(holder);
    ASSERT_TRUE(engine.ssc_Subclass(window.get()));

    engine.ssc_AddMsg(window.get(), ALL_MESSAGES, MSG_BEFORE);
    ::SendMessageW(window.get(), kThird, 0, 0);
    EXPECT_EQ(g_log, (Log{"before third", "own third"}));
    engine.ssc_DelMsg(window.get(), MSG_BEFORE, {std::wstring(L"x"), ALL_MESSAGES});

    engine.ssc_AddMsg(window.get(), kAsk, MSG_AFTER);
    engine.ssc_AddMsg(window.get(), kOther, MSG_AFTER);
    engine.ssc_AddMsg(window.get(), kThird, MSG_AFTER);
    engine.ssc_DelMsg(window.get(), MSG_AFTER, {static_cast<long>(kAsk), std::wstring(L"skip"), 2.5, static_cast<long>(kThird)});
    g_log.clear();
    for (UINT m : {kAsk, kOther, kThird}) ::SendMessageW(window.get(), m, 0, 0);
    EXPECT_EQ(g_log, (Log{"own ask", "own other", "after other", "own third"}));
    EXPECT_TRUE(errors.empty());
}

TEST_F(CSubclassTest, SubclassingTwiceFailsAndKeepsTheFirst) {
    auto window = MakeWindow();
    Holder holder;
    CSubclass engine(holder);
    ASSERT_TRUE(engine.ssc_Subclass(window.get(), 1));
    engine.ssc_AddMsg(window.get(), kAsk, MSG_BEFORE);
    EXPECT_FALSE(engine.ssc_Subclass(window.get(), 2));
    EXPECT_EQ(errors, (std::vector<std::wstring>{L"CSubclass.ssc_Subclass: Window handle is already subclassed"}));
    EXPECT_EQ(::SendMessageW(window.get(), kAsk, 0, 0), 42);
    EXPECT_EQ(g_log, (Log{"before ask", "own ask"}));
    EXPECT_EQ(engine.zGet_lParamUser(window.get()), 1);
}

TEST_F(CSubclassTest, UnicodeRequestFollowsTheWindow) {
    auto ansi = MakeAnsiWindow();
    auto wide = MakeWindow();
    Holder holder;
    CSubclass engine(holder);
    bool unicode = true;
    EXPECT_TRUE(engine.ssc_Subclass(ansi.get(), 0, 1, true, &unicode));
    EXPECT_FALSE(unicode);
    EXPECT_FALSE(::IsWindowUnicode(ansi.get()));
    engine.ssc_AddMsg(ansi.get(), kAsk, MSG_AFTER);
    EXPECT_EQ(::SendMessageA(ansi.get(), kAsk, 0, 0), 42);
    EXPECT_EQ(g_log, (Log{"after ask"}));

    unicode = true;
    EXPECT_TRUE(engine.ssc_Subclass(wide.get(), 0, 1, true, &unicode));
    EXPECT_TRUE(unicode);
}

TEST_F(CSubclassTest, UnsubclassFromInsideBeforeHandlerFinishesTheMessageThenLetsGo) {
    auto window = MakeWindow();
    const WNDPROC own = ProcOf(window.get());
    Holder holder;
    CSubclass engine(holder);
    ASSERT_TRUE(engine.ssc_Subclass(window.get()));
    ASSERT_NE(ProcOf(window.get()), own);
    engine.ssc_AddMsg(window.get(), kAsk, MSG_BEFORE_AND_AFTER);
    bool stillHookedInside = false;
    holder.act = [&](bool before, bool&, LRESULT&, HWND hwnd, UINT, LONG_PTR&) {
        if (!before) return;
        engine.ssc_UnSubclass(hwnd);
        stillHookedInside = ProcOf(hwnd) != own;
    };

    EXPECT_EQ(::SendMessageW(window.get(), kAsk, 0, 0), 42);
    EXPECT_EQ(g_log, (Log{"before ask", "own ask"}));
    EXPECT_TRUE(stillHookedInside);
    EXPECT_EQ(ProcOf(window.get()), own);

    // The record goes only after a quiet 100 ms.
    const DWORD released = ::GetTickCount();
    EXPECT_EQ(CSubclass::LiveRecordCount(), baseRecords + 1);
    ASSERT_TRUE(test::PumpUntil([&] { return CSubclass::LiveRecordCount() == baseRecords; }, 3000));
    EXPECT_GE(::GetTickCount() - released, 90u);

    g_log.clear();
    ::SendMessageW(window.get(), kAsk, 0, 0);
    EXPECT_EQ(g_log, (Log{"own ask"}));
    EXPECT_EQ(engine.zGet_lParamUser(window.get()), 0);  // registry empty: not found, silently
    EXPECT_TRUE(errors.empty());
}

TEST_F(CSubclassTest, NestedMessagesKeepTheRecordUntilTheOutermostEnds) {
    auto window = MakeWindow();
    const WNDPROC own = ProcOf(window.get());
    Holder holder;
    CSubclass engine(holder);
    ASSERT_TRUE(engine.ssc_Subclass(window.get()));
    engine.ssc_AddMsg(window.get(), kAsk, MSG_BEFORE_AND_AFTER);
    engine.ssc_AddMsg(window.get(), kOther, MSG_BEFORE);
    bool hookedAfterInner = false;
    holder.act = [&](bool before, bool&, LRESULT&, HWND hwnd, UINT msg, LONG_PTR&) {
        if (msg == kAsk && before) {
            ::SendMessageW(hwnd, kOther, 0, 0);
            hookedAfterInner = ProcOf(hwnd) != own;
        } else if (msg == kOther) {
            engine.ssc_UnSubclass(hwnd);
        }
    };
    EXPECT_EQ(::SendMessageW(window.get(), kAsk, 0, 0), 42);
    EXPECT_EQ(g_log, (Log{"before ask", "before other", "own other", "own ask"}));
    EXPECT_TRUE(hookedAfterInner);
    EXPECT_EQ(ProcOf(window.get()), own);
}

TEST_F(CSubclassTest, DestroyedWindowGetsNcDestroyThenItsRecordIsReleased) {
    auto window = MakeWindow();
    HWND hwnd = window.get();
    Holder holder;
    CSubclass engine(holder);
    ASSERT_TRUE(engine.ssc_Subclass(hwnd, 5));
    engine.ssc_AddMsg(hwnd, WM_DESTROY, MSG_BEFORE);
    engine.ssc_AddMsg(hwnd, WM_NCDESTROY, MSG_AFTER);
    window.reset();
    EXPECT_EQ(g_log, (Log{"before destroy", "own ncdestroy", "after ncdestroy"}));

    EXPECT_EQ(engine.zGet_lParamUser(hwnd), 5);  // not yet freed
    ASSERT_TRUE(test::PumpUntil([&] { return CSubclass::LiveRecordCount() == baseRecords; }, 3000));
    // The entry outlives the record: found, released, nothing reported.
    EXPECT_EQ(engine.zGet_lParamUser(hwnd), 0);
    engine.ssc_AddMsg(hwnd, kAsk, MSG_BEFORE);
    EXPECT_TRUE(errors.empty());
    engine.ssc_UnSubclass(hwnd);
    EXPECT_TRUE(errors.empty());
}

TEST_F(CSubclassTest, WindowDestroyedInsideOneOfItsMessages) {
    // WM_CLOSE's default handling destroys the window while WM_CLOSE is still inside the record.
    HWND hwnd = MakeWindow().release();
    Holder holder;
    CSubclass engine(holder);
    ASSERT_TRUE(engine.ssc_Subclass(hwnd));
    engine.ssc_AddMsg(hwnd, WM_CLOSE, MSG_AFTER);
    engine.ssc_AddMsg(hwnd, WM_NCDESTROY, MSG_AFTER);
    ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(g_log, (Log{"own ncdestroy", "after ncdestroy", "after " + std::to_string(WM_CLOSE)}));
    EXPECT_EQ(CSubclass::LiveRecordCount(), baseRecords + 1);  // TearDown waits for its release
}

TEST_F(CSubclassTest, ThirtyThirdMessageOverflowsTheBeforeTableOnly) {
    auto window = MakeWindow();
    Holder holder;
    CSubclass engine(holder);
    ASSERT_TRUE(engine.ssc_Subclass(window.get()));
    for (UINT m = 0; m < MSG_ENTRIES; ++m) engine.ssc_AddMsg(window.get(), WM_APP + m, MSG_BEFORE);
    EXPECT_TRUE(errors.empty());
    engine.ssc_AddMsg(window.get(), kAsk, MSG_BEFORE_AND_AFTER);
    EXPECT_EQ(errors, (std::vector<std::wstring>{
                          L"CSubclass.zAddMsg: Message table overflow. Either increase the value of Const "
                          L"MSG_ENTRIES or use ALL_MESSAGES instead of specific message values"}));
    ::SendMessageW(window.get(), kAsk, 0, 0);
    ::SendMessageW(window.get(), WM_APP + MSG_ENTRIES - 1, 0, 0);
    EXPECT_EQ(g_log, (Log{"own ask", "after ask", "before " + std::to_string(WM_APP + MSG_ENTRIES - 1)}));
}

TEST_F(CSubclassTest, LookupAndSubclassErrorsAreReportedWithTheirTexts) {
    auto window = MakeWindow();
    auto other = MakeWindow();
    Holder holder;
    CSubclass engine(holder);
    engine.ssc_AddMsg(window.get(), kAsk, MSG_BEFORE);
    EXPECT_EQ(engine.ssc_CallOrigWndProc(window.get(), kAsk, 0, 0), 0);

    EXPECT_FALSE(engine.ssc_Subclass(reinterpret_cast<HWND>(0x1234)));
    EXPECT_FALSE(engine.ssc_Subclass(window.get(), 0, 2));
    ASSERT_TRUE(engine.ssc_Subclass(window.get()));
    engine.ssc_AddMsg(other.get(), kAsk, MSG_BEFORE);
    engine.ssc_UnSubclass(other.get());  // silent
    engine.ssc_Terminate();
    engine.zSet_lParamUser(window.get(), 3);

    const std::wstring notInitialized = L"CSubclass.zMap_VFunction: Thunk hasn't been initialized";
    EXPECT_EQ(errors, (std::vector<std::wstring>{
                          notInitialized,
                          notInitialized,
                          L"CSubclass.ssc_Subclass: Invalid window handle",
                          L"CSubclass.ssc_Subclass: Callback method not found",
                          L"CSubclass.zMap_VFunction: Thunk type for  does not exist",
                          notInitialized,
                      }));
    ::SendMessageW(window.get(), kAsk, 0, 0);
    EXPECT_EQ(g_log, (Log{"own ask"}));
}

TEST_F(CSubclassTest, CallOrigWndProcInsideAndOutsideAMessage) {
    auto window = MakeWindow();
    Holder holder;
    CSubclass engine(holder);
    ASSERT_TRUE(engine.ssc_Subclass(window.get()));
    engine.ssc_AddMsg(window.get(), kAsk, MSG_BEFORE_AND_AFTER);
    holder.act = [&](bool before, bool& handled, LRESULT& lReturn, HWND hwnd, UINT msg, LONG_PTR&) {
        handled = true;
        lReturn = engine.ssc_CallOrigWndProc(hwnd, msg, 0, 0) * 2;
    };
    EXPECT_EQ(::SendMessageW(window.get(), kAsk, 0, 0), 84);
    EXPECT_EQ(g_log, (Log{"before ask", "own ask"}));
    g_log.clear();
    EXPECT_EQ(engine.ssc_CallOrigWndProc(window.get(), kAsk, 0, 0), 42);
    EXPECT_EQ(g_log, (Log{"own ask"}));
}

TEST_F(CSubclassTest, TwoEnginesChainOnOneWindowAndLeaveInAnyOrder) {
    auto window = MakeWindow();
    const WNDPROC own = ProcOf(window.get());
    Holder first("1 "), second("2 ");
    CSubclass engine1(first), engine2(second);
    ASSERT_TRUE(engine1.ssc_Subclass(window.get()));
    ASSERT_TRUE(engine2.ssc_Subclass(window.get()));
    engine1.ssc_AddMsg(window.get(), kAsk, MSG_BEFORE_AND_AFTER);
    engine2.ssc_AddMsg(window.get(), kAsk, MSG_BEFORE_AND_AFTER);
    first.act = [](bool before, bool&, LRESULT& lReturn, HWND, UINT, LONG_PTR&) {
        if (!before) lReturn += 100;
    };

    EXPECT_EQ(::SendMessageW(window.get(), kAsk, 0, 0), 142);
    EXPECT_EQ(g_log, (Log{"2 before ask", "1 before ask", "own ask", "1 after ask", "2 after ask"}));
    EXPECT_EQ(second.seenResults.back(), 142);  // the later engine sees the earlier one's result

    // The engine underneath leaves first: the other keeps working.
    engine1.ssc_UnSubclass(window.get());
    g_log.clear();
    EXPECT_EQ(::SendMessageW(window.get(), kAsk, 0, 0), 42);
    EXPECT_EQ(g_log, (Log{"2 before ask", "own ask", "2 after ask"}));
    engine2.ssc_UnSubclass(window.get());
    g_log.clear();
    EXPECT_EQ(::SendMessageW(window.get(), kAsk, 0, 0), 42);
    EXPECT_EQ(g_log, (Log{"own ask"}));
    // The engine underneath could not take its procedure out while the other one still called
    // it; it does so at the end of the window's next message.
    EXPECT_EQ(ProcOf(window.get()), own);
}

WNDPROC g_foreignNext = nullptr;
LRESULT CALLBACK ForeignHook(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kAsk) g_log.push_back("foreign ask");
    return ::CallWindowProcW(g_foreignNext, hwnd, msg, wParam, lParam);
}

TEST_F(CSubclassTest, ProcedureReplacedByOthersIsNotCutOffWhenUnsubclassing) {
    auto window = MakeWindow();
    const WNDPROC own = ProcOf(window.get());
    Holder holder;
    CSubclass engine(holder);
    ASSERT_TRUE(engine.ssc_Subclass(window.get()));
    engine.ssc_AddMsg(window.get(), kAsk, MSG_BEFORE);
    g_foreignNext = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignHook)));

    engine.ssc_UnSubclass(window.get());
    EXPECT_EQ(ProcOf(window.get()), &ForeignHook);
    EXPECT_EQ(::SendMessageW(window.get(), kAsk, 0, 0), 42);
    EXPECT_EQ(g_log, (Log{"foreign ask", "own ask"}));  // forwarded, no event
    EXPECT_EQ(CSubclass::LiveRecordCount(), baseRecords + 1);

    // Once the other hook lets go, the next message takes ours out too.
    ::SetWindowLongPtrW(window.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_foreignNext));
    ::SendMessageW(window.get(), kOther, 0, 0);
    EXPECT_EQ(ProcOf(window.get()), own);
}

TEST_F(CSubclassTest, RecordUnderAnotherHookIsReleasedWhenTheWindowIsDestroyed) {
    auto window = MakeWindow();
    Holder holder;
    CSubclass engine(holder);
    ASSERT_TRUE(engine.ssc_Subclass(window.get()));
    g_foreignNext = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignHook)));
    engine.ssc_UnSubclass(window.get());
    window.reset();  // TearDown checks that the record is gone
}

TEST_F(CSubclassTest, TextSurvivesBothCharacterSetForms) {
    const std::wstring text = L"星槎远航录2";
    for (bool wide : {false, true}) {
        g_log.clear();
        auto window = MakeWindow();
        Holder holder;
        CSubclass engine(holder);
        bool unicode = wide;
        ASSERT_TRUE(engine.ssc_Subclass(window.get(), 0, 1, true, &unicode));
        EXPECT_EQ(unicode, wide);
        engine.ssc_AddMsg(window.get(), WM_SETTEXT, MSG_BEFORE_AND_AFTER);
        ::SetWindowTextW(window.get(), text.c_str());
        wchar_t read[32] = {};
        ::GetWindowTextW(window.get(), read, 32);
        EXPECT_EQ(read, text) << (wide ? "wide" : "ANSI");
        EXPECT_EQ(g_log, (Log{"before 12", "after 12"}));
    }
}

TEST_F(CSubclassTest, EngineDestroyedInsideItsOwnHandler) {
    auto window = MakeWindow();
    const WNDPROC own = ProcOf(window.get());
    Holder holder;
    auto engine = std::make_unique<CSubclass>(holder);
    ASSERT_TRUE(engine->ssc_Subclass(window.get()));
    engine->ssc_AddMsg(window.get(), kAsk, MSG_BEFORE_AND_AFTER);
    holder.act = [&](bool, bool&, LRESULT&, HWND, UINT, LONG_PTR&) { engine.reset(); };
    EXPECT_EQ(::SendMessageW(window.get(), kAsk, 0, 0), 42);
    EXPECT_EQ(g_log, (Log{"before ask", "own ask"}));
    EXPECT_EQ(ProcOf(window.get()), own);
}

TEST_F(CSubclassTest, EngineDestroyedWithWindowsStillInterceptedReleasesEverything) {
    auto a = MakeWindow();
    auto b = MakeWindow();
    const WNDPROC own = ProcOf(a.get());
    Holder holder;
    {
        CSubclass engine(holder);
        ASSERT_TRUE(engine.ssc_Subclass(a.get()));
        ASSERT_TRUE(engine.ssc_Subclass(b.get()));
        EXPECT_EQ(CSubclass::LiveRecordCount(), baseRecords + 2);
    }
    EXPECT_EQ(ProcOf(a.get()), own);
    EXPECT_EQ(ProcOf(b.get()), own);
    EXPECT_TRUE(test::PumpUntil([&] { return CSubclass::LiveRecordCount() == baseRecords; }, 3000));
}

TEST_F(CSubclassTest, AThousandCyclesLeaveMemoryAndHandlesSteady) {
    auto window = MakeWindow();
    Holder holder;
    CSubclass engine(holder);
    auto cycles = [&] {
        for (int i = 0; i < 1000; ++i) {
            ASSERT_TRUE(engine.ssc_Subclass(window.get(), i));
            engine.ssc_AddMsg(window.get(), kAsk, MSG_BEFORE_AND_AFTER);
            ::SendMessageW(window.get(), kAsk, 0, 0);
            engine.ssc_UnSubclass(window.get());
            if (i % 100 == 0) test::PumpMessages(0);
        }
        ASSERT_TRUE(test::PumpUntil([&] { return CSubclass::LiveRecordCount() == baseRecords; }, 5000));
    };
    auto privateBytes = [] {
        PROCESS_MEMORY_COUNTERS_EX counters{};
        ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                               sizeof(counters));
        return counters.PrivateUsage;
    };
    cycles();  // warms the heap and the timer tables
    DWORD handles = 0, handlesAfter = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &handles);
    const SIZE_T bytes = privateBytes();
    cycles();
    ::GetProcessHandleCount(::GetCurrentProcess(), &handlesAfter);
    EXPECT_EQ(handlesAfter, handles);
    // A thousand leaked records would be several hundred kilobytes.
    EXPECT_LT(privateBytes(), bytes + 64 * 1024);
    EXPECT_EQ(holder.seenResults.size(), 4000u);
}

TEST_F(CSubclassTest, TrackMouseTrackingPostsMouseLeave) {
    auto window = MakeWindow(WS_POPUP | WS_VISIBLE);
    ::SetCursorPos(150, 150);  // over the window
    test::PumpMessages(100);
    Holder holder;
    CSubclass engine(holder);
    engine.TrackMouseTracking(window.get());
    ::SetCursorPos(900, 700);  // and away
    auto left = [] { return std::find(g_log.begin(), g_log.end(), "own mouseleave") != g_log.end(); };
    EXPECT_TRUE(test::PumpUntil(left, 2000));
}

}  // namespace
}  // namespace xcyh2
