#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "base/decimal.h"
#include "base/rounding.h"
#include "base/twips.h"
#include "base/unique_any.h"
#include "base/utf.h"

namespace xcyh2 {
namespace {

TEST(RoundHalfEven, RoundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(71.5), 72);
    EXPECT_EQ(RoundHalfEven(72.5), 72);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(239.0), 239);
    EXPECT_EQ(RoundHalfEven(0.49999), 0);
    EXPECT_EQ(RoundHalfEven(-0.6), -1);
}

TEST(Twips, FifteenPerPixel) {
    EXPECT_EQ(PixelsToTwips(32), 480);
    EXPECT_EQ(TwipsToPixels(15495), 1033);
    EXPECT_EQ(TwipsToPixels(7.5), 0);  // half a pixel rounds to even
}

int g_closed = 0;
void CountClose(int) { ++g_closed; }

TEST(UniqueAny, ClosesExactlyOnceAndOnlyValidHandles) {
    g_closed = 0;
    {
        unique_any<int, &CountClose, -1> a(5);
        unique_any<int, &CountClose, -1> b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_TRUE(b);
        unique_any<int, &CountClose, -1> none;
        EXPECT_FALSE(none);
        b.reset(7);
        EXPECT_EQ(g_closed, 1);
        EXPECT_EQ(b.release(), 7);
    }
    EXPECT_EQ(g_closed, 1);  // released handles are not closed
}

TEST(Decimal, WritesIntegersAndPointSizesAsPrintfWould) {
    EXPECT_EQ(DecimalText(0), L"0");
    EXPECT_EQ(DecimalText(-2147483633), L"-2147483633");
    EXPECT_EQ(DecimalText(INT_MIN), L"-2147483648");
    EXPECT_EQ(DecimalText(LLONG_MIN), L"-9223372036854775808");
    EXPECT_EQ(DecimalText(4294967295u), L"4294967295");
    EXPECT_EQ(DecimalText(ULLONG_MAX), L"18446744073709551615");
    struct Case {
        double value;
        const wchar_t* text;
    } cases[] = {
        {9, L"9"},           {10.5, L"10.5"},     {7.25, L"7.25"},   {1638.0625, L"1638.0625"},
        {0.1, L"0.1"},       {10.66666, L"10.6667"}, {9.99996, L"10"}, {0, L"0"},
        {-3.5, L"-3.5"},     {-0.00001, L"0"},    {1e20, L"100000000000000000000"},
    };
    for (const auto& c : cases) EXPECT_EQ(FixedDecimal(c.value, 4), c.text) << c.value;
}

TEST(Utf, RoundTripsChineseAndSurrogatePairs) {
    std::string utf8 = "星槎远航录2 \xF0\x9F\x9A\x80";
    std::u16string utf16 = Utf8ToUtf16(utf8);
    EXPECT_EQ(utf16.size(), 9u);  // 6 BMP characters, a space and one surrogate pair
    EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
    EXPECT_EQ(WideToUtf8(Utf8ToWide(utf8)), utf8);
}

TEST(Utf, MalformedInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");            // cut-off sequence
    EXPECT_EQ(Utf8ToUtf16("\xC0\x80"), u"\uFFFD");        // overlong NUL
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");    // encoded surrogate
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");  // lone surrogate
}

}  // namespace
}  // namespace xcyh2
