// Tests of windows on scaled screens, under Wine. Wine reads the screen's DPI once a process,
// from its prefix's settings: a parent test sets it and runs this program's child-only tests
// (suite AtThisDpi, disabled so that only a child runs them) in a child process, once a DPI.
// Such a program runs in a prefix of its own (tests/*/CMakeLists.txt), as the setting is the
// prefix's.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace xcyh2::test {

inline constexpr int kTestDpis[] = {96, 120, 144, 192};

inline constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
inline constexpr wchar_t kDpiVariable[] = L"XCYH2_TEST_DPI";

// The screen DPI this child was started for (0: not a child).
inline int ChildDpi() {
    const char* value = std::getenv("XCYH2_TEST_DPI");
    return value ? std::atoi(value) : 0;
}

// A size given at 96 DPI, as the child's scale should draw it (before rounding).
inline double At(double pixels96) { return pixels96 * ChildDpi() / 96.0; }

// A window's rectangle in its parent's client coordinates.
inline RECT RectIn(HWND window, HWND parent) {
    RECT r{};
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Within a pixel of the 96-DPI rectangle scaled: left, top, width, height.
inline void ExpectScaled(const RECT& r, double left, double top, double width, double height, const char* what) {
    EXPECT_NEAR(r.left, At(left), 1.0) << what;
    EXPECT_NEAR(r.top, At(top), 1.0) << what;
    EXPECT_NEAR(r.right - r.left, At(width), 1.0) << what;
    EXPECT_NEAR(r.bottom - r.top, At(height), 1.0) << what;
}

// The real pointer clicks the middle of a window: the system's hit-test finds what is there.
inline void ClickMiddle(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT press[2]{};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, press, sizeof(INPUT));
}

// Sets the prefix's screen DPI for the programs started after it, and puts back what was
// there when it goes.
class ScreenDpiSetting {
public:
    ScreenDpiSetting() {
        DWORD value = 0, size = sizeof value;
        if (::RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", RRF_RT_REG_DWORD, nullptr, &value, &size) ==
            ERROR_SUCCESS)
            saved_ = value;
    }
    ~ScreenDpiSetting() {
        if (saved_) Set(*saved_);
        else ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels");
    }
    ScreenDpiSetting(const ScreenDpiSetting&) = delete;
    ScreenDpiSetting& operator=(const ScreenDpiSetting&) = delete;

    static bool Set(DWORD dpi) {
        return ::RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", REG_DWORD, &dpi, sizeof dpi) ==
               ERROR_SUCCESS;
    }

private:
    std::optional<DWORD> saved_;
};

// Runs this program's child-only tests at a screen DPI; its exit code.
inline DWORD RunChildAt(int dpi) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) +
                           L"\" --gtest_filter=AtThisDpi.* --gtest_also_run_disabled_tests";
    ::SetEnvironmentVariableW(kDpiVariable, std::to_wstring(dpi).c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    BOOL started = ::CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    ::SetEnvironmentVariableW(kDpiVariable, nullptr);
    if (!started) return static_cast<DWORD>(-1);
    DWORD code = static_cast<DWORD>(-2);
    if (::WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) ::GetExitCodeProcess(process.hProcess, &code);
    else ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return code;
}

// For the parent test: every child-only test at every DPI in kTestDpis.
inline void RunChildrenAtEveryDpi() {
    ScreenDpiSetting restore;
    for (int dpi : kTestDpis) {
        ASSERT_TRUE(ScreenDpiSetting::Set(static_cast<DWORD>(dpi)));
        EXPECT_EQ(RunChildAt(dpi), 0u) << "at " << dpi << " DPI (its output is above)";
    }
}

}  // namespace xcyh2::test
