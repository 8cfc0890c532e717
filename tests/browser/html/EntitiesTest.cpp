#include <gtest/gtest.h>

#include "browser/html/Entities.h"

using xcyh2::html::DecodeEntities;

TEST(Entities, NamedReferences) {
    EXPECT_EQ(DecodeEntities(u"&amp;&lt;&gt;&quot;&apos;&nbsp;&copy;&middot;&ldquo;&rdquo;&hellip;"),
              u"&<>\"'\u00A0\u00A9\u00B7\u201C\u201D\u2026");
    EXPECT_EQ(DecodeEntities(u"A&amp;B"), u"A&B");
    // Old names work without ';', newer ones do not.
    EXPECT_EQ(DecodeEntities(u"&copy 2024 &amp more"), u"\u00A9 2024 & more");
    EXPECT_EQ(DecodeEntities(u"&hellip more"), u"&hellip more");
    EXPECT_EQ(DecodeEntities(u"&notit;"), u"\u00ACit;");
}

TEST(Entities, NumericReferences) {
    EXPECT_EQ(DecodeEntities(u"&#20013;&#x6587;&#X41;&#65"), u"中文AA");
    EXPECT_EQ(DecodeEntities(u"&#x1F600;"), u"\U0001F600");
    // Nothing valid: U+FFFD, never a lone surrogate or a NUL.
    EXPECT_EQ(DecodeEntities(u"&#0;&#xD800;&#x110000;&#99999999999999999999;"), u"\xFFFD\xFFFD\xFFFD\xFFFD");
    // 0x80-0x9F are read as Windows-1252.
    EXPECT_EQ(DecodeEntities(u"&#128;&#x93;"), u"\u20AC\u201C");
}

TEST(Entities, InvalidReferencesStayAsWritten) {
    EXPECT_EQ(DecodeEntities(u"&foo; & &; &#; &#x; &#xZ; a&b"), u"&foo; & &; &#; &#x; &#xZ; a&b");
    EXPECT_EQ(DecodeEntities(u"&"), u"&");
    EXPECT_EQ(DecodeEntities(u"&averyveryverylongname;"), u"&averyveryverylongname;");
}

TEST(Entities, AttributeValuesKeepQueryStrings) {
    EXPECT_EQ(DecodeEntities(u"?a=1&copy=2&lt=3&amp;b", true), u"?a=1&copy=2&lt=3&b");
    EXPECT_EQ(DecodeEntities(u"?a=1&copyx", true), u"?a=1&copyx");
    EXPECT_EQ(DecodeEntities(u"&copy 1", true), u"\u00A9 1");
}
