#include <gtest/gtest.h>

#include "base/CommandLine.h"

namespace xcyh2 {
namespace {

TEST(ArgumentString, SkipsTheProgramNameQuotedOrBare) {
    EXPECT_EQ(ArgumentString(L"\"C:\\Program Files\\Game\\xcyh2.exe\" /web"), L"/web");
    EXPECT_EQ(ArgumentString(L"xcyh2.exe /web"), L"/web");
    EXPECT_EQ(ArgumentString(L"xcyh2.exe"), L"");
    EXPECT_EQ(ArgumentString(L"\"xcyh2.exe\""), L"");
    EXPECT_EQ(ArgumentString(L"\"unterminated"), L"");
    EXPECT_EQ(ArgumentString(L""), L"");
}

TEST(ArgumentString, KeepsTheRestAsItIs) {
    EXPECT_EQ(ArgumentString(L"xcyh2.exe   /web x"), L"/web x");
    EXPECT_EQ(ArgumentString(L"xcyh2.exe\t/web "), L"/web ");
    EXPECT_EQ(ArgumentString(L"\"a b.exe\"/web"), L"/web");
}

TEST(WebSwitch, IsExactAndCaseSensitive) {
    EXPECT_TRUE(IsWebSwitch(L"/web"));
    EXPECT_FALSE(IsWebSwitch(L"/WEB"));
    EXPECT_FALSE(IsWebSwitch(L"/Web"));
    EXPECT_FALSE(IsWebSwitch(L"/web x"));
    EXPECT_FALSE(IsWebSwitch(L"/web "));
    EXPECT_FALSE(IsWebSwitch(L" /web"));
    EXPECT_FALSE(IsWebSwitch(L""));
}

}  // namespace
}  // namespace xcyh2
