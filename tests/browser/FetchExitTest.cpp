// A program that returns from main while a page fetch waits in the system's HTTP library ends
// cleanly: nothing it loaded on first use is unloaded under the waiting thread.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "browser/EngineTestSupport.h"

namespace xcyh2::browser::test {
namespace {

TEST(FetchAtExit, ReturningFromMainMidFetchExitsWithZero) {
    ASSERT_FALSE(DemoUrl().empty()) << "XCYH2_DEMO_URL is not set";
    wchar_t self[MAX_PATH] = {};
    std::wstring child(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH));
    child = child.substr(0, child.find_last_of(L'\\') + 1) + L"fetch_exit_child.exe";
    std::wstring stalled = DemoUrl() + L"/test/slow/4000000?chunk=64&delay_ms=1";
    for (int run = 1; run <= 20; ++run) {
        SCOPED_TRACE(testing::Message() << "run " << run);
        std::wstring command = L"\"" + child + L"\" " + stalled + L" 300";
        STARTUPINFOW startup{sizeof(startup)};
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(::CreateProcessW(child.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                     &startup, &process))
            << "cannot start " << std::string(child.begin(), child.end());
        DWORD waited = ::WaitForSingleObject(process.hProcess, 30000);
        DWORD code = 0xDEAD;
        ::GetExitCodeProcess(process.hProcess, &code);
        if (waited != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 1);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        ASSERT_EQ(waited, WAIT_OBJECT_0) << "the program did not end";
        ASSERT_EQ(code, 0u) << std::hex << "exit code 0x" << code;
    }
}

}  // namespace
}  // namespace xcyh2::browser::test
