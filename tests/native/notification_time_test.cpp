#include <gtest/gtest.h>

#include <climits>

#include "reminder/notification_time.h"

namespace {

struct Expected {
    std::int32_t month, day, hour, minute;
};

void ExpectTime(const NotificationTime& time, Expected expected)
{
    EXPECT_EQ(time.month, expected.month);
    EXPECT_EQ(time.day, expected.day);
    EXPECT_EQ(time.hour, expected.hour);
    EXPECT_EQ(time.minute, expected.minute);
}

} // namespace

TEST(NotificationTime, BorrowsOneUnitPerLevel)
{
    ExpectTime(SubtractLeadTime(2027, 4, 1, 20, 3, 5), {4, 1, 19, 58});
    ExpectTime(SubtractLeadTime(2027, 4, 1, 20, 0, 0), {4, 1, 20, 0});
    ExpectTime(SubtractLeadTime(2027, 4, 1, 20, 5, 5), {4, 1, 20, 0});
    ExpectTime(SubtractLeadTime(2027, 4, 1, 0, 10, 45), {3, 31, 23, 25});
    ExpectTime(SubtractLeadTime(2027, 4, 2, 0, 10, 45), {4, 1, 23, 25});
    ExpectTime(SubtractLeadTime(2027, 7, 1, 0, 30, 45), {6, 30, 23, 45});
    ExpectTime(SubtractLeadTime(2027, 4, 1, 20, 59, 60), {4, 1, 19, 59});
}

TEST(NotificationTime, MonthLengthsFollowTheGregorianCalendar)
{
    ExpectTime(SubtractLeadTime(2027, 3, 1, 0, 3, 5), {2, 28, 23, 58});
    ExpectTime(SubtractLeadTime(2028, 3, 1, 0, 3, 5), {2, 29, 23, 58});
    ExpectTime(SubtractLeadTime(2100, 3, 1, 0, 3, 5), {2, 28, 23, 58});
    ExpectTime(SubtractLeadTime(2000, 3, 1, 0, 3, 5), {2, 29, 23, 58});
    ExpectTime(SubtractLeadTime(2027, 5, 1, 0, 0, 1), {4, 30, 23, 59});
    ExpectTime(SubtractLeadTime(2027, 9, 1, 0, 0, 1), {8, 31, 23, 59});
}

TEST(NotificationTime, YearEndStepsBackToDecember)
{
    ExpectTime(SubtractLeadTime(2027, 1, 1, 0, 0, 5), {12, 31, 23, 55});
    // Day 0 or below also borrows a month.
    ExpectTime(SubtractLeadTime(2027, 1, 0, 0, 0, 5), {12, 30, 23, 55});
}

TEST(NotificationTime, LeadTimeIsClamped)
{
    EXPECT_EQ(ClampLeadMinutes(90), 60);
    EXPECT_EQ(ClampLeadMinutes(-1), 0);
    EXPECT_EQ(ClampLeadMinutes(INT_MIN), 0);
    EXPECT_EQ(ClampLeadMinutes(45), 45);
    ExpectTime(SubtractLeadTime(2027, 4, 1, 20, 0, 90), {4, 1, 19, 0});
    ExpectTime(SubtractLeadTime(2027, 4, 1, 20, 0, -30), {4, 1, 20, 0});
}

TEST(NotificationTime, FaultyFieldsStayInsideTheMonthTable)
{
    // Month 0 steps back to November; 14 and -30 are wrapped into 1 to 12.
    ExpectTime(SubtractLeadTime(2027, 0, 1, 0, 0, 5), {11, 30, 23, 55});
    ExpectTime(SubtractLeadTime(2027, 14, 1, 0, 0, 5), {1, 31, 23, 55});
    ExpectTime(SubtractLeadTime(2027, -30, 1, 0, 0, 5), {5, 31, 23, 55});
    ExpectTime(SubtractLeadTime(2027, INT_MIN, 1, 0, 0, 5), {3, 31, 23, 55});
    ExpectTime(SubtractLeadTime(2027, INT_MAX, INT_MIN, 0, 0, 5), {6, INT_MIN + 29, 23, 55});
    // An hour of 24 or more is not a borrow and passes unchanged.
    ExpectTime(SubtractLeadTime(2027, 4, 1, 25, 30, 5), {4, 1, 25, 25});
    ExpectTime(SubtractLeadTime(2027, 4, 1, 20, INT_MIN, 5), {4, 1, 19, INT_MIN + 55});
}
