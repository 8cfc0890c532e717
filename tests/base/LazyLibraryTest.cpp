// The platform layer's Windows pieces: DLLs and entry points found on first use (a missing one
// is a failing call, never a crash), the shell's "open", and work on a thread of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "base/BackgroundWork.h"
#include "base/LazyLibrary.h"
#include "base/SystemLibraries.h"
#include "base/utf.h"
#include "support/WinTest.h"
#include "tabstrip/EventLogWatch.h"

namespace xcyh2 {
namespace {

using GetTickCountFn = decltype(&::GetTickCount);

TEST(LazyLibrary, MissingDllOrEntryPointFailsLikeTheCall) {
    struct Case {
        const wchar_t* dll;
        const char* entry;
        bool found;
    } cases[] = {
        {L"kernel32.dll", "GetTickCount", true},
        {L"kernel32.dll", "NoSuchEntryPointAnywhere", false},
        {L"no-such-library-xcyh2.dll", "GetTickCount", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.entry);
        LazyLibrary library(c.dll);
        LazyProc<GetTickCountFn> proc(library, c.entry);
        ::SetLastError(0);
        const DWORD result = proc.call_or(0xFFFFFFFFu);
        EXPECT_EQ(proc.get() != nullptr, c.found);
        if (c.found) {
            EXPECT_NE(result, 0xFFFFFFFFu);
        } else {
            EXPECT_EQ(result, 0xFFFFFFFFu);
            EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
        }
        // A function of no result that is missing is simply not called.
        LazyProc<decltype(&::Sleep)> sleep(library, c.found ? "Sleep" : c.entry);
        sleep.call(0u);
    }
}

// Arguments and the result cross the calling convention the header declares (stdcall on
// 32-bit Windows): a wrong one would unbalance the stack and garble them.
TEST(LazyLibrary, PassesArgumentsAndResultThroughTheDeclaredConvention) {
    LazyLibrary kernel32(L"kernel32.dll");
    LazyLibrary user32(L"user32.dll");
    LazyProc<decltype(&::MulDiv)> mulDiv(kernel32, "MulDiv");
    EXPECT_EQ(mulDiv.call_or(-1, 7, 6, 3), 14);
    EXPECT_EQ(mulDiv.call_or(-1, -300, 10, 7), -429);
    LazyProc<decltype(&::GetSystemMetrics)> metrics(user32, "GetSystemMetrics");
    EXPECT_EQ(metrics.call_or(-1, SM_CXSCREEN), ::GetSystemMetrics(SM_CXSCREEN));
}

// Threads that reach the same entry point at once find it once and all get it.
TEST(LazyLibrary, ThreadsThatCallAtOnceAllGetTheEntryPoint) {
    LazyLibrary library(L"kernel32.dll");
    LazyProc<GetTickCountFn> proc(library, "GetTickCount");
    std::vector<GetTickCountFn> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (auto& slot : seen) threads.emplace_back([&proc, &slot] { slot = proc.get(); });
    for (auto& t : threads) t.join();
    for (GetTickCountFn fn : seen) EXPECT_EQ(fn, proc.get());
    EXPECT_NE(proc.get(), nullptr);
}

// Start-up work that throws on its thread stops there: reported, and the work counts as done.
TEST(BackgroundWork, AnExceptionOnItsThreadIsReportedAndTheWaitEnds) {
    test::EventLogWatch log;
    {
        BackgroundWork work([] { throw std::runtime_error("work failed"); });
        work.Wait();
    }
    EXPECT_EQ(test::EventLogWatch::Lines(), std::vector<std::wstring>{L"BackgroundWork: work failed"});
}

// The shell's "open" hands the system wide text: a program in a folder whose name is outside
// the ANSI code page (ø is not in code page 936) starts, and gets its arguments whole.
TEST(SystemLibraries, ShellOpenStartsAProgramOutsideTheAnsiCodePage) {
    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_GT(::GetTempPathW(MAX_PATH + 1, temp), 0u);
    const std::wstring dir = std::wstring(temp) + L"xcyh2-tmp\u00F8\\";
    ::CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring program = dir + L"Update.exe", mark = dir + L"started.txt";
    ::DeleteFileW(mark.c_str());
    wchar_t self[MAX_PATH] = {};
    std::wstring standIn(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH));
    standIn = standIn.substr(0, standIn.find_last_of(L'\\') + 1) + L"startmark.exe";
    ASSERT_TRUE(::CopyFileW(standIn.c_str(), program.c_str(), FALSE)) << "no startmark.exe beside the test";
    const std::wstring arguments = L"C:\\game\u00F8|C:\\game\u00F8\\xcyh2.exe";
    EXPECT_TRUE(sys::ShellOpen(program, arguments));
    EXPECT_TRUE(test::PumpUntil([&] { return !test::ReadWholeFile(mark).empty(); }, 20000));
    const std::string line = test::ReadWholeFile(mark);
    EXPECT_NE(line.find(WideToUtf8(arguments)), std::string::npos) << line;
    ::DeleteFileW(mark.c_str());
    ::DeleteFileW(program.c_str());
    ::RemoveDirectoryW(dir.c_str());
}

}  // namespace
}  // namespace xcyh2
