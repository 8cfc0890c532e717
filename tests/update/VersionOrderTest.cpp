#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "update/VersionOrder.h"

namespace xcyh2 {
namespace {

TEST(VersionOrder, ComparesDottedNumbersAsNumbers) {
    using enum VersionOrder;
    struct Case {
        std::string first, second;
        VersionOrder order;
    };
    const std::string tenThousandDigits(10000, '9');
    const std::vector<Case> cases = {
        {"1.10.0", "1.9.0", Newer},
        {"1.9.0", "1.10.0", Older},
        {"1.1.0", "1.1.0", Same},
        {"1.1", "1.1.0", Same},
        {"1.1.0.0", "1.1", Same},
        {"01.001.0", "1.1", Same},
        {"2", "1.99.99", Newer},
        {"1.1.1", "1.1", Newer},
        {"1.0.9", "1.1.0", Older},
        {"0.0.0", "0", Same},
        {"999999999.0", "999999998.9", Newer},
        {"1.1.0", "", NotComparable},
        {"1.1.", "1.1", NotComparable},
        {".1.1", "1.1", NotComparable},
        {"1..1", "1.1", NotComparable},
        {" 1.1", "1.1", NotComparable},
        {"1.1 ", "1.1", NotComparable},
        {"1.1b", "1.1", NotComparable},
        {"v1.1", "1.1", NotComparable},
        {"1,1", "1.1", NotComparable},
        {"-1.0", "1.0", NotComparable},
        {"1.0", "1.0\r", NotComparable},
        {"1000000000.0", "1.0", NotComparable},
        {tenThousandDigits, "1.1.0", NotComparable},
        {"1.1.0", "1." + tenThousandDigits, NotComparable},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareVersions(c.first, c.second), c.order) << '"' << c.first.substr(0, 20) << "\" against \""
                                                               << c.second.substr(0, 20) << '"';
    }
}

}  // namespace
}  // namespace xcyh2
