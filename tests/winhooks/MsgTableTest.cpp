#include <gtest/gtest.h>

#include "winhooks/MsgTable.h"

namespace xcyh2 {
namespace {

TEST(MsgTable, AllMessagesThenOneMessageBecomesAListOfOne) {
    MsgTable table;
    table.Add(ALL_MESSAGES);
    EXPECT_TRUE(table.Matches(12345));
    table.Add(5);
    EXPECT_EQ(table.Count(), 1);
    EXPECT_TRUE(table.Matches(5));
    EXPECT_FALSE(table.Matches(12345));
}

TEST(MsgTable, DeletingFromAllMessages) {
    MsgTable table;
    table.Add(ALL_MESSAGES);
    table.Delete(15);  // a single message cannot be taken out of "everything"
    EXPECT_EQ(table.Count(), ALL_MESSAGES);
    EXPECT_TRUE(table.Matches(15));
    table.Delete(ALL_MESSAGES);
    EXPECT_EQ(table.Count(), 0);
    EXPECT_FALSE(table.Matches(15));
}

TEST(MsgTable, DuplicatesAndSlotReuse) {
    MsgTable table;
    table.Add(15);
    table.Add(20);
    table.Add(5);
    EXPECT_EQ(table.Add(20), MsgTable::AddResult::AlreadyListed);
    EXPECT_EQ(table.Count(), 3);

    table.Delete(20);
    EXPECT_EQ(table.Count(), 3);  // the slot is freed, the count stays
    EXPECT_FALSE(table.Matches(20));
    EXPECT_TRUE(table.Matches(5));

    table.Add(675);  // lands in the freed slot
    EXPECT_EQ(table.Count(), 3);
    EXPECT_EQ(table.Slot(2), 675);
    EXPECT_TRUE(table.Matches(675));
}

TEST(MsgTable, AMessageListedAfterAFreeSlotIsNotCopiedIntoIt) {
    MsgTable table;
    table.Add(15);
    table.Add(20);
    table.Add(5);
    table.Delete(15);
    EXPECT_EQ(table.Add(5), MsgTable::AddResult::AlreadyListed);
    EXPECT_EQ(table.Slot(1), 0);
    table.Delete(5);  // one deletion must take it out for good
    EXPECT_FALSE(table.Matches(5));
}

TEST(MsgTable, FreedSlotsDoNotStandForMessageZero) {
    MsgTable table;
    table.Add(15);
    table.Delete(15);
    EXPECT_FALSE(table.Matches(0));
    table.Add(0);
    EXPECT_FALSE(table.Matches(0));
}

TEST(MsgTable, ThirtyTwoFitTheThirtyThirdOverflowsAndChangesNothing) {
    MsgTable table;
    for (long m = 1; m <= MSG_ENTRIES; ++m) ASSERT_EQ(table.Add(1000 + m), MsgTable::AddResult::Added);
    EXPECT_EQ(table.Count(), MSG_ENTRIES);
    EXPECT_EQ(table.Add(2000), MsgTable::AddResult::Overflow);
    EXPECT_EQ(table.Count(), MSG_ENTRIES);
    EXPECT_FALSE(table.Matches(2000));
    EXPECT_TRUE(table.Matches(1032));
    // A full table still takes a message into a freed slot, and reports nothing for a listed one.
    EXPECT_EQ(table.Add(1001), MsgTable::AddResult::AlreadyListed);
    table.Delete(1010);
    EXPECT_EQ(table.Add(2000), MsgTable::AddResult::Added);
    EXPECT_TRUE(table.Matches(2000));
}

TEST(MsgTable, LargeMessageNumbersMatchAsUnsigned) {
    MsgTable table;
    table.Add(static_cast<long>(0xC001u));  // a registered message
    table.Add(-5);
    EXPECT_TRUE(table.Matches(0xC001u));
    EXPECT_TRUE(table.Matches(0xFFFFFFFBu));
}

TEST(MsgValues, OnlyIntegersNameMessages) {
    long number = 0;
    EXPECT_TRUE(MsgNumberOf(MsgValue{15L}, number));
    EXPECT_EQ(number, 15);
    EXPECT_TRUE(MsgNumberOf(MsgValue{static_cast<short>(-1)}, number));
    EXPECT_EQ(number, ALL_MESSAGES);
    EXPECT_TRUE(MsgNumberOf(MsgValue{static_cast<unsigned char>(200)}, number));
    EXPECT_EQ(number, 200);
    EXPECT_FALSE(MsgNumberOf(MsgValue{std::wstring(L"15")}, number));
    EXPECT_FALSE(MsgNumberOf(MsgValue{15.0}, number));
}

}  // namespace
}  // namespace xcyh2
