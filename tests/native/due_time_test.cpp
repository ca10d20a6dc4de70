// When a kept chip is due: the first moment from the day before its creation
// date on with its month, day, hour and minute, hours past 23 on the next day.
#include <gtest/gtest.h>

#include "loxa_reminder/due_time.h"
#include "loxa_reminder/timer_wait.h"

namespace {

struct DueCase {
    const char* name;
    LocalMoment created;
    NotifyTime notify;
    LocalMoment due;
};

// clang-format off
const DueCase kDueCases[] = {
    {"later the same day", {2026, 12, 7}, {12, 7, 20, 55}, {2026, 12, 7, 20, 55}},
    {"the creation day counts whole", {2026, 12, 7}, {12, 7, 0, 0}, {2026, 12, 7, 0, 0}},
    {"the day before is this year's, due at once", {2026, 12, 8}, {12, 7, 23, 40}, {2026, 12, 7, 23, 40}},
    {"the whole day before counts", {2026, 12, 8}, {12, 7, 0, 0}, {2026, 12, 7, 0, 0}},
    {"two days before is next year", {2026, 12, 8}, {12, 6, 23, 59}, {2027, 12, 6, 23, 59}},
    {"New Year's Eve registered on New Year's Day", {2027, 1, 1}, {12, 31, 23, 40}, {2026, 12, 31, 23, 40}},
    {"the day before 1 March of a common year", {2027, 3, 1}, {2, 29, 23, 0}, {2027, 2, 28, 23, 0}},
    {"25:30 is 01:30 of the next day", {2026, 12, 7}, {12, 7, 25, 30}, {2026, 12, 8, 1, 30}},
    {"47:59 is the next day's last minute", {2026, 12, 7}, {12, 7, 47, 59}, {2026, 12, 8, 23, 59}},
    {"24:00 is the next day's midnight", {2026, 12, 7}, {12, 7, 24, 0}, {2026, 12, 8, 0, 0}},
    {"25:00 on 31 December is 1 January", {2026, 12, 31}, {12, 31, 25, 0}, {2027, 1, 1, 1, 0}},
    {"25:00 on 31 December registered on 1 January", {2027, 1, 1}, {12, 31, 25, 0}, {2027, 1, 1, 1, 0}},
    {"a carried hour on the day before is this year's", {2026, 12, 8}, {12, 6, 25, 0}, {2026, 12, 7, 1, 0}},
    {"a carried hour two days before is next year", {2026, 12, 9}, {12, 6, 25, 0}, {2027, 12, 7, 1, 0}},
    {"30 April 25:00 is 1 May", {2026, 1, 1}, {4, 30, 25, 0}, {2026, 5, 1, 1, 0}},
    {"31 April 25:00 is the 30th's next day", {2026, 1, 1}, {4, 31, 25, 0}, {2026, 5, 1, 1, 0}},
    {"29 February 24:30 of a common year is 1 March", {2027, 1, 1}, {2, 29, 24, 30}, {2027, 3, 1, 0, 30}},
    {"28 February 24:30 of a leap year is the 29th", {2028, 1, 1}, {2, 28, 24, 30}, {2028, 2, 29, 0, 30}},
    {"New Year's Day registered on New Year's Eve", {2026, 12, 31}, {1, 1, 0, 5}, {2027, 1, 1, 0, 5}},
    {"an earlier month is next year", {2026, 3, 2}, {2, 28, 9, 0}, {2027, 2, 28, 9, 0}},
    {"29 February in a leap year", {2028, 1, 15}, {2, 29, 10, 0}, {2028, 2, 29, 10, 0}},
    {"29 February next year, a leap year", {2027, 3, 2}, {2, 29, 10, 0}, {2028, 2, 29, 10, 0}},
    {"29 February outside a leap year is the 28th", {2026, 3, 2}, {2, 29, 10, 0}, {2027, 2, 28, 10, 0}},
    {"29 February on the 28th of a common year", {2027, 2, 28}, {2, 29, 10, 0}, {2027, 2, 28, 10, 0}},
    {"31 April is the 30th", {2026, 1, 1}, {4, 31, 12, 0}, {2026, 4, 30, 12, 0}},
    {"1900 was no leap year", {1900, 1, 1}, {2, 29, 8, 0}, {1900, 2, 28, 8, 0}},
    {"2000 was a leap year", {2000, 1, 1}, {2, 29, 8, 0}, {2000, 2, 29, 8, 0}},
};
// clang-format on

void ExpectMoment(const LocalMoment& actual, const LocalMoment& expected, const char* name)
{
    EXPECT_EQ(actual.year, expected.year) << name;
    EXPECT_EQ(actual.month, expected.month) << name;
    EXPECT_EQ(actual.day, expected.day) << name;
    EXPECT_EQ(actual.hour, expected.hour) << name;
    EXPECT_EQ(actual.minute, expected.minute) << name;
}

} // namespace

TEST(DueTime, FirstMomentFromTheDayBeforeTheCreationDate)
{
    for (const DueCase& c : kDueCases) {
        ExpectMoment(ComputeDueTime(c.notify, c.created), c.due, c.name);
    }
}

TEST(DueTime, ANonCalendarCreationDateCountsFromTheDayReceived)
{
    ChipView chip;
    chip.notifyMonth = 1;
    chip.notifyDay = 10;
    chip.notifyHour = 7;
    chip.notifyMinute = 30;
    chip.createdYear = 2026;
    chip.createdMonth = 13;
    chip.createdDay = 1;
    const LocalMoment received{2027, 2, 1, 12, 0};
    ExpectMoment(DueTimeOfChip(chip, received), {2028, 1, 10, 7, 30}, "month 13");
    chip.createdMonth = 2;
    chip.createdDay = 30;
    ExpectMoment(DueTimeOfChip(chip, received), {2028, 1, 10, 7, 30}, "30 February");
    chip.createdDay = 1;
    ExpectMoment(DueTimeOfChip(chip, received), {2027, 1, 10, 7, 30}, "a calendar date");
}

TEST(DueTime, SecondsCountTheCalendar)
{
    EXPECT_EQ(SecondsSince1601({1601, 1, 1, 0, 0, 0}), 0);
    EXPECT_EQ(SecondsSince1601({1601, 1, 2, 0, 0, 1}), 86401);
    // The Unix epoch, as Windows' FILETIME counts it.
    EXPECT_EQ(SecondsSince1601({1970, 1, 1, 0, 0, 0}), 11644473600LL);
    // 2000 was a leap year, though a century.
    EXPECT_EQ(SecondsSince1601({2026, 12, 7, 20, 55, 0}), 13441150500LL);
    EXPECT_EQ(SecondsSince1601({2000, 3, 1, 0, 0, 0}) - SecondsSince1601({2000, 2, 28, 0, 0, 0}),
              2 * 86400);
    EXPECT_EQ(SecondsSince1601({2026, 12, 7, 20, 55, 30})
                  - SecondsSince1601({2026, 12, 7, 20, 54, 0}),
              90);
}

TEST(DueTime, TheTimerLooksAgainAtTheDueTimeOrJustPastTheHour)
{
    struct WaitCase {
        const char* name;
        LocalMoment now;
        LocalMoment due;
        std::int64_t wait;
    };
    // clang-format off
    const WaitCase cases[] = {
        {"due within the hour", {2026, 12, 8, 20, 0, 0}, {2026, 12, 8, 20, 55, 0}, 3300},
        {"due at the full hour", {2026, 12, 8, 20, 59, 30}, {2026, 12, 8, 21, 0, 0}, 30},
        {"due later: one second past the hour", {2026, 12, 8, 20, 10, 0}, {2026, 12, 8, 21, 30, 0}, 3001},
        {"due next year", {2026, 12, 8, 0, 0, 0}, {2027, 12, 8, 0, 0, 0}, 3601},
        {"inside an hour the clock may skip", {2027, 3, 28, 1, 59, 58}, {2027, 3, 28, 2, 30, 0}, 3},
        {"due already", {2026, 12, 8, 21, 0, 5}, {2026, 12, 8, 21, 0, 0}, 0},
    };
    // clang-format on
    for (const WaitCase& c : cases) {
        EXPECT_EQ(SecondsUntilNextLook(c.now, SecondsSince1601(c.due)), c.wait) << c.name;
    }
}
