#include <gtest/gtest.h>

#include <string>

#include "browser/html/Layout.h"

using namespace xcyh2::html;

namespace {
// Latin characters 10 px wide, CJK 20 px; normal lines 20 px high, headings 40 px.
class FakeMeasurer : public TextMeasurer {
public:
    int calls = 0;
    int TextWidth(std::u16string_view text, const FontClass&) override {
        ++calls;
        int w = 0;
        for (char16_t c : text) w += c >= 0x2E80 ? 20 : 10;
        return w;
    }
    int LineHeight(const FontClass& font) override { return font.heading ? 40 : 20; }
};

std::vector<std::u16string> Lines(const PageLayout& page) {
    std::vector<std::u16string> out;
    for (const LayoutLine& line : page.lines) {
        std::u16string text;
        for (std::size_t i = line.firstRun; i < line.firstRun + line.runCount; ++i) text += page.runs[i].text;
        out.push_back(text);
    }
    return out;
}

PageLayout Lay(std::u16string_view html, int width, FakeMeasurer* measurer = nullptr) {
    FakeMeasurer local;
    LayoutOptions options;
    options.viewportWidth = width;
    options.margin = 0;
    options.blockGap = 5;
    return LayOut(Document::Parse(html), measurer ? *measurer : local, options);
}

using Strings = std::vector<std::u16string>;
}  // namespace

TEST(Layout, LatinWrapsAtBlanks) {
    PageLayout page = Lay(u"<p>aaa bbb ccc dddd</p>", 80);
    EXPECT_EQ(Lines(page), (Strings{u"aaa bbb", u"ccc dddd"}));
    page = Lay(u"<p>aaa bbb</p>", 70);  // exactly fits
    EXPECT_EQ(Lines(page), (Strings{u"aaa bbb"}));
    // A word wider than the line is cut; the cut pieces fill whole lines.
    page = Lay(u"<p>ab abcdefghij k</p>", 40);
    EXPECT_EQ(Lines(page), (Strings{u"ab", u"abcd", u"efgh", u"ij k"}));
    // Words glued across differently styled runs stay together.
    page = Lay(u"<p>xx <a href=1>abc</a>def</p>", 70);
    EXPECT_EQ(Lines(page), (Strings{u"xx", u"abcdef"}));
    // Pieces carried to the next line keep their own break opportunities.
    page = Lay(u"<p>a<b>b c</b>d<i>e f</i>g</p>", 40);
    EXPECT_EQ(Lines(page), (Strings{u"ab", u"cde", u"fg"}));
}

TEST(Layout, CjkBreaksBetweenAnyTwoCharactersButNotBeforeClosingPunctuation) {
    PageLayout page = Lay(u"<p>欢迎回来舰长</p>", 60);
    EXPECT_EQ(Lines(page), (Strings{u"欢迎回", u"来舰长"}));
    // "，" does not start a line: it takes the character before it along.
    page = Lay(u"<p>欢迎回，舰长</p>", 60);
    EXPECT_EQ(Lines(page), (Strings{u"欢迎", u"回，舰", u"长"}));
    // Latin next to CJK breaks at the boundary too.
    page = Lay(u"<p>云海abc区</p>", 50);
    EXPECT_EQ(Lines(page), (Strings{u"云海", u"abc区"}));
    // A supplementary-plane ideograph is never split.
    page = Lay(u"<p>\U00020000\U00020001</p>", 20);
    EXPECT_EQ(Lines(page), (Strings{u"\U00020000", u"\U00020001"}));
}

TEST(Layout, GeometryOfLinesBlocksBreaksAndFrames) {
    PageLayout page = Lay(u"<h1>T</h1>a<br><br>b<iframe src=f width=100 height=50></iframe>c", 200);
    EXPECT_EQ(Lines(page), (Strings{u"T", u"a", u"", u"b", u"c"}));
    ASSERT_EQ(page.lines.size(), 5u);
    EXPECT_EQ(page.lines[0].y, 0);
    EXPECT_EQ(page.lines[0].height, 40);
    EXPECT_EQ(page.lines[1].y, 45);  // after the heading's gap
    EXPECT_EQ(page.lines[2].y, 65);
    EXPECT_EQ(page.lines[3].y, 85);
    ASSERT_EQ(page.frames.size(), 1u);
    EXPECT_EQ(page.frames[0].y, 105);
    EXPECT_EQ(page.frames[0].width, 100);
    EXPECT_EQ(page.lines[4].y, 155);
    EXPECT_EQ(page.height, 175);
    // Mixed fonts on one line share its bottom edge.
    page = Lay(u"<p>a<h2>b</h2>", 200);
    EXPECT_EQ(page.runs[1].y + page.runs[1].height, page.lines[1].y + page.lines[1].height);

    // A narrow window: nothing is lost, the page grows wider for an oversized frame.
    page = Lay(u"<iframe width=500></iframe>ab", 1);
    EXPECT_EQ(page.width, 500);
    EXPECT_EQ(Lines(page), (Strings{u"a", u"b"}));
    EXPECT_EQ(Lay(u"", 100).height, 0);
}

TEST(Layout, HitTestFindsLinksAndNothingElse) {
    LayoutOptions options;
    options.viewportWidth = 200;
    FakeMeasurer measurer;
    Document doc = Document::Parse(u"<p>go <a href=a>进入</a> <a href=b target=_blank>help</a></p><p>plain</p>");
    PageLayout page = LayOut(doc, measurer, options);
    // margin 8: "go " 8..38, "进入" 38..78, " " 78..88, "help" 88..128; first line 8..28.
    EXPECT_EQ(page.HitTest(10, 10), -1);
    EXPECT_EQ(page.HitTest(38, 8), 0);
    EXPECT_EQ(page.HitTest(77, 27), 0);
    EXPECT_EQ(page.HitTest(80, 10), -1);
    EXPECT_EQ(page.HitTest(100, 10), 1);
    EXPECT_EQ(page.HitTest(128, 10), -1);
    EXPECT_EQ(page.HitTest(50, 28), -1);  // in the gap below the line
    EXPECT_EQ(page.HitTest(50, 7), -1);
    EXPECT_EQ(page.HitTest(10, 40), -1);  // plain text
    EXPECT_EQ(page.HitTest(-5, -5), -1);
    EXPECT_EQ(page.HitTest(10, 100000), -1);

    auto [first, last] = page.LinesBetween(0, 30);
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(last, 1u);
    std::tie(first, last) = page.LinesBetween(28, 1000);
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(last, 2u);
}

TEST(Layout, LargePageMeasuresEachCharacterOnce) {
    std::u16string page;
    while (page.size() < 500000) page += u"<p>云海巡航周，双倍航行经验 sail the sea of clouds</p>";
    FakeMeasurer measurer;
    PageLayout layout = Lay(page, 300, &measurer);
    EXPECT_GT(layout.lines.size(), 10000u);
    // CJK characters and blanks come from the cache; only Latin words are measured each time.
    EXPECT_LT(measurer.calls, 6 * 11000 + 100);
}
