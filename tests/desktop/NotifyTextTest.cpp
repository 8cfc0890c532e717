#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktop/NotifyText.h"

namespace xcyh2::desktop {
namespace {

// "星槎远航录2客户端" in GBK: 17 bytes, eight double-byte characters around an ASCII digit.
const std::string kTipGbk = "\xD0\xC7\xE9\xB6\xD4\xB6\xBA\xBD\xC2\xBC" "2" "\xBF\xCD\xBB\xA7\xB6\xCB";

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

TEST(NotifyText, CutsToTheFieldInWholeCharacters) {
    struct Case {
        const char* what;
        std::string text;
        std::size_t field;
        std::size_t kept;
    };
    const Case cases[] = {
        // 1 + 7 * 17 + 6 bytes = 126; the next character, 航, would need bytes 127 and 128.
        {"GBK tip over 127 bytes: cut before a split character", Repeat("2", 1) + Repeat(kTipGbk, 8), 128, 126},
        {"GBK tip whose cut falls between characters", Repeat(kTipGbk, 8), 128, 127},
        {"trail bytes that look like lead bytes", Repeat("\x81\x81", 70), 128, 126},
        {"trail bytes in the ASCII range", Repeat("a", 1) + Repeat("\x81\x40", 70), 128, 127},
        {"exact fit", std::string(127, 'x'), 128, 127},
        {"one byte over", std::string(128, 'x'), 128, 127},
        {"a double-byte character on the last byte of room", std::string(126, 'x') + "\xD0\xC7", 128, 126},
        {"a lead byte without its trail byte counts alone", "ab\xD0", 64, 3},
        {"empty", "", 64, 0},
        {"no room but the terminator", "\xD0\xC7", 2, 0},
    };
    for (const Case& c : cases) {
        std::vector<char> field(c.field, '#');  // whatever was there before
        EXPECT_EQ(CopyToField(c.text, field, &IsGbkLeadByte), c.kept) << c.what;
        EXPECT_EQ(std::string(field.data(), c.kept), c.text.substr(0, c.kept)) << c.what;
        EXPECT_EQ(std::vector<char>(field.begin() + c.kept, field.end()), std::vector<char>(c.field - c.kept, '\0'))
            << c.what << ": the terminator and the rest of the field are zero";
    }
}

}  // namespace
}  // namespace xcyh2::desktop
