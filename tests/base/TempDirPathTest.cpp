#include <gtest/gtest.h>

#include <string>

#include "base/TempDirPath.h"

namespace xcyh2 {
namespace {

TEST(TempDirWithOneBackslash, EndsInExactlyOneBackslashWhateverTheSystemGave) {
    const struct {
        std::wstring given, expected;
    } cases[] = {
        {L"C:\\Temp", L"C:\\Temp\\"},
        {L"C:\\Temp\\", L"C:\\Temp\\"},
        {L"C:\\Temp\\\\\\", L"C:\\Temp\\"},
        {std::wstring(L"C:\\Temp\\\0garbage", 16), L"C:\\Temp\\"},
        {std::wstring(L"C:\\Temp\0", 8), L"C:\\Temp\\"},
        {L"C:\\", L"C:\\"},
        {L"\\", L"\\"},
        {L"", L"\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TempDirWithOneBackslash(c.given), c.expected) << c.given.c_str();
    }
}

}  // namespace
}  // namespace xcyh2
