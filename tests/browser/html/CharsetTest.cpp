#include <gtest/gtest.h>

#include "browser/html/Charset.h"
#include "browser/html/Document.h"

using namespace xcyh2::html;

namespace {
// Stands in for code page 936: every two bytes above 0x7F become one ideograph.
std::u16string FakeGbk(std::string_view bytes, Charset charset) {
    EXPECT_EQ(charset, Charset::Gbk);
    std::u16string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.push_back(b);
        } else if (i + 1 < bytes.size()) {
            out.push_back(static_cast<char16_t>(0x4E00 + (b << 8 | static_cast<unsigned char>(bytes[i + 1])) % 0x5000));
            ++i;
        } else {
            out.push_back(u'\xFFFD');
        }
    }
    return out;
}
}  // namespace

TEST(Charset, MetaInBothFormsHeaderBomAndDefault) {
    EXPECT_EQ(DetectCharset("<html><head><meta charset=\"gb2312\"></head>", ""), Charset::Gbk);
    EXPECT_EQ(DetectCharset("<META CHARSET=GBK>", ""), Charset::Gbk);
    EXPECT_EQ(DetectCharset("<meta charset='gb18030'/>", ""), Charset::Gbk);
    EXPECT_EQ(DetectCharset("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">", ""),
              Charset::Gbk);
    EXPECT_EQ(DetectCharset("<meta content='text/html;charset=GBK' http-equiv='content-type'>", ""), Charset::Gbk);
    // A content attribute without http-equiv names nothing.
    EXPECT_EQ(DetectCharset("<meta name=x content=\"text/html; charset=gbk\">", ""), Charset::Utf8);
    EXPECT_EQ(DetectCharset("<html><body>no meta</body>", ""), Charset::Utf8);
    EXPECT_EQ(DetectCharset("", ""), Charset::Utf8);

    // The header beats the page's meta, a byte order mark beats both.
    EXPECT_EQ(DetectCharset("<meta charset=utf-8>", "text/html; charset=GBK"), Charset::Gbk);
    EXPECT_EQ(DetectCharset("<meta charset=gbk>", "text/html;charset=\"utf-8\""), Charset::Utf8);
    EXPECT_EQ(DetectCharset("\xEF\xBB\xBF<meta charset=gbk>", "text/html; charset=gbk"), Charset::Utf8);
    EXPECT_EQ(DetectCharset("\xFF\xFE<\0", ""), Charset::Utf16Le);
    // A header without charset, or with one we do not know, leaves it to the page.
    EXPECT_EQ(DetectCharset("<meta charset=gbk>", "text/html"), Charset::Gbk);
    EXPECT_EQ(DetectCharset("<meta charset=gbk>", "text/html; charset=klingon"), Charset::Gbk);
}

TEST(Charset, MetaScanSkipsCommentsLookalikesAndBadLabels) {
    EXPECT_EQ(DetectCharset("<!-- <meta charset=gbk> --><p>", ""), Charset::Utf8);
    EXPECT_EQ(DetectCharset("<metadata charset=gbk>", ""), Charset::Utf8);
    EXPECT_EQ(DetectCharset("<meta charset=\"ebcdic\"><meta charset=gbk>", ""), Charset::Gbk);
    EXPECT_EQ(DetectCharset("<meta charset=\"gbk", ""), Charset::Gbk);  // unterminated quote
    EXPECT_EQ(DetectCharset("<!-- never closed <meta charset=gbk>", ""), Charset::Utf8);
    // A page cannot announce UTF-16 in ASCII-readable bytes.
    EXPECT_EQ(DetectCharset("<meta charset=utf-16>", ""), Charset::Utf8);
    // Far into a page, a meta no longer counts.
    EXPECT_EQ(DetectCharset(std::string(8000, ' ') + "<meta charset=gbk>", ""), Charset::Utf8);
}

TEST(Charset, ContentTypeParameter) {
    EXPECT_EQ(CharsetParameter("text/html; charset=gbk"), "gbk");
    EXPECT_EQ(CharsetParameter("text/html;Charset = \"utf-8\" ; q=1"), "utf-8");
    EXPECT_EQ(CharsetParameter("text/html; xcharset=gbk"), "");
    EXPECT_EQ(CharsetParameter("text/html; charset"), "");
    EXPECT_EQ(CharsetParameter(""), "");
}

TEST(Charset, DecodesUtf8Utf16AndGbkThroughTheDecoder) {
    DecodedPage page = DecodePage("\xEF\xBB\xBF\xE4\xB8\xAD<p>", "", &FakeGbk);
    EXPECT_EQ(page.charset, Charset::Utf8);
    EXPECT_EQ(page.text, u"中<p>");  // byte order mark removed

    page = DecodePage(std::string("\xFE\xFF\x4E\x2D\x00\x41", 6), "", &FakeGbk);
    EXPECT_EQ(page.text, u"中A");
    page = DecodePage(std::string("\xFF\xFE\x00\xD8\x41", 5), "", &FakeGbk);  // lone surrogate, odd byte
    EXPECT_EQ(page.text, u"\xFFFD\xFFFD");

    page = DecodePage("<meta charset=gbk>\xD6\xD0", "", &FakeGbk);
    EXPECT_EQ(page.charset, Charset::Gbk);
    EXPECT_EQ(page.text.size(), 19u);
    EXPECT_GE(page.text.back(), 0x4E00);

    // No decoder: ASCII survives, the rest is marked as undecodable.
    EXPECT_EQ(DecodeBytes("a\xD6\xD0", Charset::Gbk, nullptr), u"a\xFFFD\xFFFD");
    // Invalid UTF-8 never throws.
    EXPECT_EQ(DecodeBytes("a\xFF", Charset::Utf8, nullptr), u"a\xFFFD");
}

TEST(Charset, DocumentLoadKeepsTheCharsetAndTitle) {
    Document doc = Document::Load("<meta charset=gb2312><title>\xD0\xC7</title>", "text/html", &FakeGbk);
    EXPECT_EQ(doc.PageCharset(), Charset::Gbk);
    ASSERT_EQ(doc.Title().size(), 1u);
    EXPECT_GE(doc.Title()[0], 0x4E00);
}
