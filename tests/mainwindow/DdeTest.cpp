// Another program opens game pages over DDE: the DDE client the tools carry (ddesend.exe)
// sends execute requests to this test program's service while it runs the main window.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "forms/Application.h"
#include "login/FakeBrowser.h"
#include "mainwindow/DdeService.h"
#include "mainwindow/WebMainFrm.h"
#include "mainwindow/WebMainFrmTestView.h"
#include "support/WinTest.h"
#include "tabstrip/EventLogWatch.h"

namespace xcyh2 {
namespace {

// Runs ddesend.exe (beside this program) and lets messages through until it ends: the service
// answers on this thread. Returns its exit code.
DWORD RunClient(const std::wstring& topic, const std::wstring& command) {
    std::wstring program = forms::Application::ProgramPath();
    program = program.substr(0, program.find_last_of(L'\\') + 1) + L"ddesend.exe";
    std::wstring line = L"\"" + program + L"\" \"" + ShellDdeServiceName() + L"\" \"" + topic + L"\" \"" + command + L"\"";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 100;
    test::PumpUntil([&] { return ::WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, 60000);
    DWORD code = 101;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return code;
}

TEST(DdeService, ExecuteRequestsOpenWebAddressesInTheMainWindowAndNothingElse) {
    WebMainFrm frm;
    WebMainFrm::TestView view{frm};
    WebMainFrm::Environment env;
    env.browserFactory = [](HWND, int, int, int, int) { return std::make_shared<test::FakeBrowser>(); };
    env.askExit = [] { return true; };
    frm.SetEnvironment(env);
    DdeService service;
    ASSERT_TRUE(service.Start(ShellDdeServiceName(), [&](const std::wstring& c) { return frm.DdeExecute(c); }));

    // The first request loads the window, which comes up with the page.
    const std::wstring game1 = L"http://127.0.0.1:47240/xcyh2/game1.html";
    EXPECT_EQ(RunClient(kDdeTopic, game1), 0u);
    ASSERT_TRUE(frm.IsLoaded());
    HWND hwnd = frm.handle();
    EXPECT_TRUE(::IsWindowVisible(hwnd));
    EXPECT_EQ(view.WebuTab()->TabItems().Count(), 1);

    // Minimised: restored, and a new address gets its own tab, selected.
    ::ShowWindow(hwnd, SW_MINIMIZE);
    EXPECT_EQ(RunClient(kDdeTopic, L"http://127.0.0.1:47240/xcyh2/game2.html"), 0u);
    EXPECT_FALSE(::IsIconic(hwnd));
    EXPECT_EQ(view.WebuTab()->TabItems().Count(), 2);
    EXPECT_EQ(view.WebuTab()->Selected(), 1);

    // Minimised and hidden with F10: shown and restored, the open tab selected.
    ::ShowWindow(hwnd, SW_MINIMIZE);
    ::SendMessageW(hwnd, WM_HOTKEY, 1000, MAKELPARAM(0, VK_F10));
    ASSERT_FALSE(::IsWindowVisible(hwnd));
    EXPECT_EQ(RunClient(kDdeTopic, L"  HTTP://127.0.0.1:47240/xcyh2/GAME1.html\r\n"), 0u);
    EXPECT_TRUE(::IsWindowVisible(hwnd));
    EXPECT_FALSE(::IsIconic(hwnd));
    EXPECT_EQ(view.WebuTab()->TabItems().Count(), 2);
    EXPECT_EQ(view.WebuTab()->Selected(), 0);

    // Anything but a web address opens nothing and is refused; another topic finds no one.
    for (const wchar_t* bad : {L"", L"file:///C:/windows/win.ini", L"app://exitgame", L"C:\\windows\\notepad.exe",
                               L"javascript:alert(1)"}) {
        EXPECT_EQ(RunClient(kDdeTopic, bad), 1u) << testing::PrintToString(std::wstring(bad));
    }
    EXPECT_EQ(RunClient(L"OtherTopic", game1), 2u);
    EXPECT_EQ(view.WebuTab()->TabItems().Count(), 2);

    view.m_bExit() = true;
    frm.Unload();
    frm.SetEnvironment({});
    service.Stop();
    EXPECT_EQ(RunClient(kDdeTopic, game1), 2u);  // the service is gone with it
    EXPECT_FALSE(frm.IsLoaded());
}

// A handler that throws stops at the DDE library's callback: the request is refused and the
// failure logged; the service answers the next request.
TEST(DdeService, AThrowingHandlerRefusesTheRequestAndTheServiceGoesOn) {
    test::EventLogWatch log;
    bool fail = true;
    DdeService service;
    ASSERT_TRUE(service.Start(ShellDdeServiceName(), [&](const std::wstring&) {
        if (fail) throw std::runtime_error("handler failed");
        return true;
    }));
    EXPECT_EQ(RunClient(kDdeTopic, L"http://127.0.0.1:47240/xcyh2/game1.html"), 1u);
    EXPECT_EQ(test::EventLogWatch::Lines(), std::vector<std::wstring>{L"DdeService.Execute: handler failed"});
    fail = false;
    EXPECT_EQ(RunClient(kDdeTopic, L"http://127.0.0.1:47240/xcyh2/game1.html"), 0u);
}

}  // namespace
}  // namespace xcyh2
