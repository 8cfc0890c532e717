// Fonts and colours as the controls keep them in property bags: what reads back, what is refused.
#include <gtest/gtest.h>

#include "controls/PropertyText.h"

namespace xcyh2 {
namespace {

TEST(PropertyText, FontsAndColoursReadBackAndBadTextChangesNothing) {
    FontDesc font;
    font.name = L"Micro;Hei";  // the name may hold the separator
    font.size = 10.5;
    font.bold = font.underline = true;
    font.charset = 0;
    FontDesc read;
    ASSERT_TRUE(FontFromText(FontToText(font), read));
    EXPECT_EQ(read, font);

    for (const wchar_t* bad : {L"", L"宋体", L"宋体;9;B", L";9;;134", L"宋体;0;;134", L"宋体;nine;;134",
                               L"宋体;9;X;134", L"宋体;9;;300", L"宋体;9.;;134", L"宋体;9.-5;;134"}) {
        FontDesc kept;
        EXPECT_FALSE(FontFromText(bad, kept)) << bad;
        EXPECT_EQ(kept, FontDesc{}) << bad;
    }

    struct Case {
        const wchar_t* text;
        bool ok;
        std::uint32_t colour;
    } colours[] = {
        {L"14346732", true, 14346732},  {L"-2147483633", true, 0x8000000F}, {L"4294967295", true, 0xFFFFFFFF},
        {L" 255 ", true, 255},          {L"4294967296", false, 7},          {L"12abc", false, 7},
        {L"", false, 7},                {L"-", false, 7},                   {L"99999999999999999999", false, 7},
    };
    for (const auto& c : colours) {
        std::uint32_t colour = 7;
        EXPECT_EQ(ColourFromText(c.text, colour), c.ok) << c.text;
        EXPECT_EQ(colour, c.colour) << c.text;
    }
    EXPECT_EQ(ColourToText(0x8000000F), L"-2147483633");
}

}  // namespace
}  // namespace xcyh2
