#include "login/AppCommand.h"

#include <gtest/gtest.h>

namespace xcyh2 {
namespace {

TEST(AppCommandTest, RecognisesEachCommandAnywhereInTheAddress) {
    EXPECT_EQ(RecognizeAppCommand(L"app://exitgame").kind, AppCommandKind::kExitGame);
    EXPECT_EQ(RecognizeAppCommand(L"app://minimize/").kind, AppCommandKind::kMinimize);
    // Inside a query string, as a link to a help page may carry it.
    EXPECT_EQ(RecognizeAppCommand(L"http://h/xcyh2/login/help.html?next=app://minimize").kind,
              AppCommandKind::kMinimize);
    EXPECT_EQ(RecognizeAppCommand(L"http://h/x?u=app://loadgame|http://g/1.html").kind, AppCommandKind::kLoadGame);
}

TEST(AppCommandTest, OtherAddressesAndOtherCaseAreNoCommand) {
    EXPECT_EQ(RecognizeAppCommand(L"http://h/xcyh2/login/login.html").kind, AppCommandKind::kNone);
    EXPECT_EQ(RecognizeAppCommand(L"").kind, AppCommandKind::kNone);
    EXPECT_EQ(RecognizeAppCommand(L"APP://EXITGAME").kind, AppCommandKind::kNone);
    EXPECT_EQ(RecognizeAppCommand(L"app://Minimize").kind, AppCommandKind::kNone);
    EXPECT_EQ(RecognizeAppCommand(L"app://exit").kind, AppCommandKind::kNone);
}

TEST(AppCommandTest, FirstInOrderWinsNotFirstInAddress) {
    // exit is tested before minimise, minimise before load game, wherever they stand.
    EXPECT_EQ(RecognizeAppCommand(L"app://minimize?app://exitgame").kind, AppCommandKind::kExitGame);
    EXPECT_EQ(RecognizeAppCommand(L"app://loadgame|http://g/|app://minimize").kind, AppCommandKind::kMinimize);
}

TEST(AppCommandTest, LoadGameTakesTheSecondField) {
    AppCommand c = RecognizeAppCommand(L"app://loadgame|http://g/game1.html|s1");
    EXPECT_EQ(c.kind, AppCommandKind::kLoadGame);
    EXPECT_EQ(c.gameUrl, L"http://g/game1.html");
    EXPECT_EQ(RecognizeAppCommand(L"app://loadgame|A").gameUrl, L"A");
    EXPECT_EQ(RecognizeAppCommand(L"app://loadgame|A|B|C").gameUrl, L"A");
    // The whole address is split: text before the command belongs to field 1.
    EXPECT_EQ(RecognizeAppCommand(L"x|y?app://loadgame|z").gameUrl, L"y?app://loadgame");
}

TEST(AppCommandTest, LoadGameWithoutAGameAddress) {
    AppCommand c = RecognizeAppCommand(L"app://loadgame");
    EXPECT_EQ(c.kind, AppCommandKind::kLoadGame);
    EXPECT_TRUE(c.gameUrl.empty());
    EXPECT_TRUE(RecognizeAppCommand(L"app://loadgame|").gameUrl.empty());
    EXPECT_TRUE(RecognizeAppCommand(L"app://loadgame||B").gameUrl.empty());
}

TEST(AppCommandTest, SplitFieldsKeepsEmptyFields) {
    EXPECT_EQ(SplitFields(L"", L'|'), (std::vector<std::wstring>{L""}));
    EXPECT_EQ(SplitFields(L"a||b|", L'|'), (std::vector<std::wstring>{L"a", L"", L"b", L""}));
}

}  // namespace
}  // namespace xcyh2
