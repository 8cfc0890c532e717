#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "update/RangeAnswer.h"

namespace xcyh2 {
namespace {

TEST(ContentRange, ReadsOnlyASatisfiedRangeWithItsFullLength) {
    struct Case {
        const char* text;
        std::optional<ContentRange> range;
    } cases[] = {
        {"bytes 1048576-3145727/3145728", ContentRange{1048576, 3145727, 3145728}},
        {"  BYTES 0-0/1\t", ContentRange{0, 0, 1}},
        {"bytes 9223372036854775806-9223372036854775806/9223372036854775807",
         ContentRange{9223372036854775806u, 9223372036854775806u, 9223372036854775807u}},
        {"bytes 0-0/9223372036854775808", std::nullopt},   // beyond 63 bits
        {"bytes 0-0/18446744073709551626", std::nullopt},  // wraps 64 bits
        {"bytes 5-4/10", std::nullopt},
        {"bytes 0-10/10", std::nullopt},
        {"bytes 0-9/*", std::nullopt},
        {"bytes */10", std::nullopt},
        {"bytes 01-9/10", std::nullopt},
        {"bytes 1-9/10 ", ContentRange{1, 9, 10}},
        {"bytes 1 -9/10", std::nullopt},
        {"bytes 1-9/10/11", std::nullopt},
        {"bytes=1-9/10", std::nullopt},
        {"items 1-9/10", std::nullopt},
        {"bytes -9/10", std::nullopt},
        {"bytes 1-9/+10", std::nullopt},
        {"", std::nullopt},
        {"bytes ", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseContentRange(c.text), c.range);
    }
}

TEST(RangeAnswer, AppendsOnlyTheRestOfTheSameFile) {
    constexpr auto kWrite = AnswerUse::Write, kAppend = AnswerUse::Append, kRestart = AnswerUse::Restart,
                   kRefuse = AnswerUse::Refuse;
    struct Case {
        const char* what;
        std::uint64_t held;
        std::optional<std::uint64_t> knownTotal;
        Answer answer;
        AnswerPlan plan;
    } cases[] = {
        {"whole file, nothing held", 0, {}, {200, 3000, ""}, {kWrite, 3000}},
        {"whole file although bytes were held", 1000, 3000, {200, 3000, ""}, {kWrite, 3000}},
        {"whole file of no length", 0, {}, {200, 0, ""}, {kRefuse}},
        {"the rest", 1000, {}, {206, 2000, "bytes 1000-2999/3000"}, {kAppend, 3000}},
        {"the rest, same total as before", 1000, 3000, {206, 2000, "bytes 1000-2999/3000"}, {kAppend, 3000}},
        {"the rest, no length announced", 1000, {}, {206, 0, "bytes 1000-2999/3000"}, {kAppend, 3000}},
        {"another start", 1000, {}, {206, 2001, "bytes 999-2999/3000"}, {kRestart}},
        {"another total than before", 1000, 3000, {206, 2500, "bytes 1000-3499/3500"}, {kRestart}},
        {"ends before the last byte", 1000, {}, {206, 1000, "bytes 1000-1999/3000"}, {kRestart}},
        {"ends past the total", 1000, {}, {206, 2001, "bytes 1000-3000/3000"}, {kRestart}},
        {"length other than the range's", 1000, {}, {206, 1999, "bytes 1000-2999/3000"}, {kRestart}},
        {"garbage range", 1000, {}, {206, 2000, "bytes 1000-2999/x"}, {kRestart}},
        {"no range", 1000, {}, {206, 2000, ""}, {kRestart}},
        {"206 to a request without a range", 0, {}, {206, 3000, "bytes 0-2999/3000"}, {kRefuse}},
        {"start past the end", 4000, {}, {416, 0, "bytes */3000"}, {kRestart}},
        {"416 to a request without a range", 0, {}, {416, 0, ""}, {kRefuse}},
        {"not found", 1000, {}, {404, 100, ""}, {kRefuse}},
        {"server error", 0, {}, {500, 100, ""}, {kRefuse}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AnswerPlan plan = DecideAnswer(c.held, c.knownTotal, c.answer);
        EXPECT_EQ(plan.use, c.plan.use);
        EXPECT_EQ(plan.total, c.plan.total);
    }
}

}  // namespace
}  // namespace xcyh2
