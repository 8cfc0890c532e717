// The main window's window-free rules: which addresses it hands on, and where its controls go.
#include <gtest/gtest.h>

#include "mainwindow/GameAddress.h"
#include "mainwindow/MainLayout.h"

namespace xcyh2 {
namespace {

TEST(GameAddress, OnlyWebAddressesPass) {
    // command, the address it yields (empty: refused)
    const struct {
        const wchar_t* command;
        const wchar_t* address;
    } cases[] = {
        {L"http://127.0.0.1:47240/xcyh2/game1.html", L"http://127.0.0.1:47240/xcyh2/game1.html"},
        {L"HTTPS://game.example.com/s2", L"HTTPS://game.example.com/s2"},
        {L"  http://a.example/x?y=1 \r\n", L"http://a.example/x?y=1"},
        {L"", L""},
        {L" \t\r\n", L""},
        {L"http://", L""},
        {L"http:/a.example", L""},
        {L"http://a.example/\nfile:///c:/x", L""},
        {L"file:///C:/Windows/notepad.exe", L""},
        {L"javascript:alert(1)", L""},
        {L"app://exitgame", L""},
        {L"ftp://a.example/", L""},
        {L"mailto:a@example.com", L""},
        {L"C:\\Windows\\notepad.exe", L""},
        {L"\\\\server\\share\\setup.exe", L""},
        {L"notepad.exe", L""},
        {L"shell:startup", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.command)));
        auto address = GameAddressFromCommand(c.command);
        EXPECT_EQ(address.value_or(L""), c.address);
    }
    // A page's new-window request is taken as it comes: blanks around it already make it no
    // web address.
    EXPECT_FALSE(IsWebAddress(L" http://a.example/"));
}

TEST(GameAddress, ServiceNameIsTheProgramsBaseName) {
    const struct {
        const wchar_t* path;
        const wchar_t* name;
    } cases[] = {
        {L"C:\\Games\\Shell\\xcyh2.exe", L"xcyh2"},
        {L"xcyh2.exe", L"xcyh2"},
        {L"D:\\客户端\\client.EXE", L"client"},
        {L"C:\\dir.with.dots\\client", L"client"},
        {L"Z:/tmp/build/bin/mainwindow_win_test.exe", L"mainwindow_win_test"},
        {L"C:\\x\\archive.tar.exe", L"archive.tar"},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgramBaseName(c.path), c.name) << testing::PrintToString(std::wstring(c.path));
}

TEST(MainLayout, ControlsFollowTheWindowSize) {
    // The design size: the region is one pixel larger than the client area each way.
    auto design = LayOutMainWindow({15540, 15540, 9585, 480, false});
    ASSERT_TRUE(design);
    EXPECT_EQ(design->regionWidth, 1037);
    EXPECT_EQ(design->regionHeight, 640);
    EXPECT_EQ(design->titleBar.width, 15540);
    // Each button ends where the next begins; the close button 85 twips before the edge.
    EXPECT_EQ(design->toolLeft + 360, design->minLeft);
    EXPECT_EQ(design->minLeft + 360, design->minMaxLeft);
    EXPECT_EQ(design->minMaxLeft + 375, design->closeLeft);
    EXPECT_EQ(design->closeLeft + 645, 15540 - 85);
    ASSERT_TRUE(design->tabStrip);
    EXPECT_EQ(design->tabStrip->width, 15540 - 6900);
    // The strip's right end overlaps the other-account button by 250 twips.
    EXPECT_EQ(design->tabStrip->left + design->tabStrip->width - design->otherUserLeft, 250);
    ASSERT_TRUE(design->page);
    EXPECT_EQ(design->page->top, 480);  // the strip's height, not its bottom edge
    EXPECT_EQ(design->page->width, 15540 - 120);
    EXPECT_EQ(design->page->height, 9585 - 480 - 60);

    // Narrower than the strip's margins: that step is skipped, every other one runs.
    auto narrow = LayOutMainWindow({6885, 6885, 3000, 480, false});
    ASSERT_TRUE(narrow);
    EXPECT_FALSE(narrow->tabStrip);
    EXPECT_EQ(narrow->closeLeft, 6885 - 730);
    EXPECT_EQ(narrow->gameSpaceLeft, 6885 - 3300);
    ASSERT_TRUE(narrow->page);
    EXPECT_EQ(narrow->regionWidth, 460);
    EXPECT_TRUE(LayOutMainWindow({6900, 6900, 3000, 480, false})->tabStrip);

    // Too low for the page area: only that step is skipped.
    auto flat = LayOutMainWindow({9000, 9000, 500, 480, false});
    ASSERT_TRUE(flat);
    EXPECT_FALSE(flat->page);
    EXPECT_TRUE(flat->tabStrip);

    // Minimised: nothing moves.
    EXPECT_FALSE(LayOutMainWindow({15540, 15540, 9585, 480, true}));

    // The placeholder's browser lies two pixels beyond its box on every side.
    TwipRect browser = PlaceholderBrowser(8775, 5535);
    EXPECT_EQ(browser.left, -30);
    EXPECT_EQ(browser.width, 8775 + 60);
}

}  // namespace
}  // namespace xcyh2
