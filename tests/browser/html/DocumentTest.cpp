#include <gtest/gtest.h>

#include <string>

#include "browser/html/Document.h"

using namespace xcyh2::html;

namespace {
std::u16string U(std::string_view utf8) {
    std::u16string out;
    for (char c : utf8) out.push_back(static_cast<unsigned char>(c));
    return out;
}

// The text of all blocks, one line per block, "|" for a line break.
std::u16string BlockText(const Document& doc) {
    std::u16string out;
    for (const Block& b : doc.Blocks()) {
        if (!out.empty()) out += u"\n";
        if (b.kind == Block::Kind::Frame) {
            out += u"[frame]";
            continue;
        }
        for (const InlineRun& r : b.runs) out += r.kind == InlineRun::Kind::LineBreak ? u"|" : r.text;
    }
    return out;
}
}  // namespace

TEST(Document, EmptyDocumentRule) {
    // Nothing came, or nothing but blanks, comments, a doctype or an empty root element: empty.
    for (const char* page : {"", " \r\n\t ", "<!-- nothing -->", "<!DOCTYPE html>\n", "<html></html>",
                             "<html>\n</html>\n", "<!DOCTYPE html><html>  <!-- x --> </html>"}) {
        EXPECT_EQ(Document::Parse(U(page)).RootInnerHtml(), u"") << page;
    }
    // Any element or text is content, even outside <html>.
    EXPECT_EQ(Document::Parse(u"<p></p>").RootInnerHtml(), u"<p></p>");
    EXPECT_EQ(Document::Parse(u"x").RootInnerHtml(), u"x");
    EXPECT_EQ(Document::Parse(u"x<html></html>").RootInnerHtml(), u"x");
    EXPECT_EQ(Document::Parse(u"<html><head></head><body></body></html>").RootInnerHtml(),
              u"<head></head><body></body>");
}

TEST(Document, RootInnerHtmlWritesTheTreeBack) {
    Document doc = Document::Parse(
        u"<HTML lang=zh><body><P Class=\"a&quot;b\">1 &lt; 2 &amp;&nbsp;<br>x<script>if (a<b) {}</script></body>");
    EXPECT_EQ(doc.RootInnerHtml(),
              u"<body><p class=\"a&quot;b\">1 &lt; 2 &amp;&nbsp;<br>x<script>if (a<b) {}</script></p></body>");
}

TEST(Document, TitleLinksAndTargets) {
    Document doc = Document::Parse(
        u"<head><title>  星槎\n远航录 </title></head><body>"
        u"<a href=\"app://loadgame|http://h/g.html|s1\">进入 <b>游戏</b></a>"
        u"<a href='/help.html?next=app://minimize&amp;x=1' target=_blank>帮助</a>"
        u"<a name=anchor>not a link</a><a href=\"\">empty</a><title>second</title>");
    EXPECT_EQ(doc.Title(), u"星槎 远航录");
    ASSERT_EQ(doc.Links().size(), 3u);
    EXPECT_EQ(doc.Links()[0].href, u"app://loadgame|http://h/g.html|s1");
    EXPECT_EQ(doc.Links()[0].text, u"进入 游戏");
    EXPECT_EQ(doc.Links()[0].target, u"");
    EXPECT_EQ(doc.Links()[1].href, u"/help.html?next=app://minimize&x=1");
    EXPECT_EQ(doc.Links()[1].target, u"_blank");
    EXPECT_EQ(doc.Links()[2].href, u"");
    // The title is not page text; the link text is, with its link index.
    EXPECT_EQ(BlockText(doc), u"进入 游戏帮助not a linkempty");
    const Block& b = doc.Blocks()[0];
    EXPECT_EQ(b.runs[0].link, 0);
    EXPECT_TRUE(b.runs[0].font.link);
    EXPECT_EQ(b.runs[1].link, 1);
    EXPECT_EQ(b.runs[2].link, -1);
}

TEST(Document, FramesWithSizesAndFallbackContent) {
    Document doc = Document::Parse(
        u"<p>before</p><iframe src=\"/news.html\" width=\"360\" height=\"120\">fallback <b>text</b></iframe>"
        u"<iframe src=x width=50% height=abc></iframe><iframe/><p>after</p>"
        u"<noscript><iframe src=hidden></iframe></noscript>");
    ASSERT_EQ(doc.Frames().size(), 3u);
    EXPECT_EQ(doc.Frames()[0].src, u"/news.html");
    EXPECT_EQ(doc.Frames()[0].width, 360);
    EXPECT_EQ(doc.Frames()[0].height, 120);
    EXPECT_EQ(doc.Frames()[1].width, 300);
    EXPECT_EQ(doc.Frames()[1].height, 150);
    EXPECT_EQ(doc.Frames()[2].src, u"");
    EXPECT_EQ(BlockText(doc), u"before\n[frame]\n[frame]\n[frame]\nafter");
}

TEST(Document, BlocksHeadingsBreaksAndBlanks) {
    Document doc = Document::Parse(
        u"<h1> Title  <a href=a>link</a></h1>text\n  more<br><br/>last<br>"
        u"<ul><li>one<li>two</ul><script>var x = '<p>';</script><style>p{}</style><p>  </p><div>d</div>");
    EXPECT_EQ(BlockText(doc), u"Title link\ntext more||last|\n\u2022 one\n\u2022 two\nd");
    const auto& blocks = doc.Blocks();
    EXPECT_EQ(blocks[0].runs[0].font.heading, 1);
    EXPECT_EQ(blocks[0].runs[1].font, (FontClass{1, true}));
    EXPECT_EQ(blocks[1].runs[0].font, FontClass{});
    EXPECT_FALSE(blocks[0].gapBefore);
    EXPECT_TRUE(blocks[1].gapBefore);  // after a heading
    EXPECT_TRUE(blocks[2].gapBefore);  // a list starts
    EXPECT_FALSE(blocks[3].gapBefore); // next item of the same list
    EXPECT_TRUE(blocks[4].gapBefore);  // after the list
}

TEST(Document, MalformedAndUnclosedMarkup) {
    // Unclosed elements, stray end tags, misnesting.
    Document doc = Document::Parse(u"<p>one<p>two</i></div><b>three</p>four</b></x>");
    EXPECT_EQ(BlockText(doc), u"one\ntwothree\nfour");
    // '<' in text, lone '&', '</' at the end.
    EXPECT_EQ(BlockText(Document::Parse(u"a < b & c <3 <= d </")), u"a < b & c <3 <= d </");
    EXPECT_EQ(BlockText(Document::Parse(u"1 <2 and 3> 2")), u"1 <2 and 3> 2");
    // Unterminated comment, tag, attribute quote: the rest is swallowed, nothing crashes.
    EXPECT_EQ(BlockText(Document::Parse(u"kept<!-- open comment <p>lost")), u"kept");
    EXPECT_EQ(BlockText(Document::Parse(u"kept<a href=\"x>lost")), u"kept");
    EXPECT_EQ(BlockText(Document::Parse(u"kept<p")), u"kept");
    EXPECT_EQ(BlockText(Document::Parse(u"kept<script>for(;;)")), u"kept");
    // Odd comment forms and declarations.
    EXPECT_EQ(BlockText(Document::Parse(u"a<!-->b<!--->c<!-- x --!>d<!x>e<?php f ?>g</ >h")), u"abcdegh");
    // Unknown tags and attributes are inline content.
    doc = Document::Parse(u"<blink foo bar=1 =baz>x</blink><custom-el a='1' a='2'>y</custom-el>");
    EXPECT_EQ(BlockText(doc), u"xy");
    ASSERT_EQ(doc.Nodes()[2].attributes.size(), 1u);
    EXPECT_EQ(doc.Nodes()[2].attributes[0].value, u"1");
    // Nested links close the outer one; </br> is a break.
    doc = Document::Parse(u"<a href=1>a<a href=2>b</a></a>c</br>d");
    ASSERT_EQ(doc.Links().size(), 2u);
    EXPECT_EQ(doc.Links()[0].text, u"a");
    EXPECT_EQ(doc.Links()[1].text, u"b");
    EXPECT_EQ(BlockText(doc), u"abc|d");
    // Content after </body></html> still belongs to the page.
    EXPECT_EQ(BlockText(Document::Parse(u"<html><body>a</body></html>b")), u"ab");
}

TEST(Document, DeepNestingIsCappedWithoutRecursion) {
    std::u16string page = u"<a href=x>link</a>";
    for (int i = 0; i < 100000; ++i) page += u"<div><b>";
    page += u"deep";
    for (int i = 0; i < 100000; ++i) page += u"</b></div>";
    page += u"end";
    Document doc = Document::Parse(page);
    EXPECT_EQ(BlockText(doc), u"link\ndeep\nend");
    ASSERT_EQ(doc.Links().size(), 1u);
    int depth = 0;
    for (int n = static_cast<int>(doc.Nodes().size()) - 2; n >= 0; n = doc.Nodes()[n].parent) ++depth;
    EXPECT_LE(depth, Document::kMaxDepth + 1);
    EXPECT_FALSE(doc.RootInnerHtml().empty());
}

TEST(Document, HugeFlatInputs) {
    std::u16string page;
    for (int i = 0; i < 50000; ++i) page += u"<p>段落 &amp; <a href=\"/x\">链接</a></p>";
    Document doc = Document::Parse(page);
    EXPECT_EQ(doc.Links().size(), 50000u);
    EXPECT_EQ(doc.Blocks().size(), 50000u);
    // One tag with a flood of attributes keeps the first ones only.
    std::u16string tag = u"<p";
    for (int i = 0; i < 100000; ++i) tag += u" a" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) + u"=1";
    EXPECT_EQ(BlockText(Document::Parse(tag + u">ok")), u"ok");
}
