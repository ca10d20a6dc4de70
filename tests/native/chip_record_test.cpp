#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "expected_chip.h"
#include "reminder/chip_record.h"
#include "reminder/local_date.h"

namespace {

using Bytes = std::vector<unsigned char>;

CalendarDate FifthOfJanuary()
{
    return CalendarDate{2027, 1, 5};
}

// Fixes the creation date for one test.
class FixedDate {
public:
    explicit FixedDate(LocalDateReader reader) : previous_(ReplaceLocalDateReader(reader)) {}
    ~FixedDate() { ReplaceLocalDateReader(previous_); }
    FixedDate(const FixedDate&) = delete;
    FixedDate& operator=(const FixedDate&) = delete;

private:
    LocalDateReader previous_;
};

std::string Fill(const char* title, const char* memo, std::int32_t month, std::int32_t day,
                 std::int32_t hour, std::int32_t minute)
{
    std::string record(GetChipRecordSize(title, memo), '\0');
    const std::uint32_t required =
        FillChipRecord(record.data(), static_cast<std::uint32_t>(record.size()), title, memo, month,
                       day, hour, minute);
    EXPECT_EQ(required, record.size());
    return record;
}

} // namespace

TEST(ChipRecord, AbsentAndEmptyTextsGiveThreeNuls)
{
    FixedDate date(&FifthOfJanuary);
    EXPECT_EQ(GetChipRecordSize(nullptr, nullptr), 236u);
    EXPECT_EQ(GetChipRecordSize("", ""), 236u);
    const std::string expected = ExpectedChip("", "", 12, 31, 23, 55, FifthOfJanuary());
    EXPECT_EQ(Fill(nullptr, nullptr, 12, 31, 23, 55), expected);
    EXPECT_EQ(Fill("", "", 12, 31, 23, 55), expected);
    EXPECT_EQ(Fill(nullptr, "", 12, 31, 23, 55), expected);
}

TEST(ChipRecord, TitleAndMemoFollowTheFixedPart)
{
    FixedDate date(&FifthOfJanuary);
    EXPECT_EQ(GetChipRecordSize("abc", ""), 239u);
    const std::string abc = Fill("abc", "", 4, 1, 19, 58);
    EXPECT_EQ(abc, ExpectedChip("abc", "", 4, 1, 19, 58, FifthOfJanuary()));
    // memoOffset 212, sourceOffset 213, read straight from the bytes.
    EXPECT_EQ(static_cast<unsigned char>(abc[96]), 212);
    EXPECT_EQ(static_cast<unsigned char>(abc[124]), 213);

    const std::string memo = "放送局：C (04/01 20:00 - 20:54)\r\n\r\nX";
    EXPECT_EQ(Fill("abc", memo.c_str(), 4, 1, 19, 58),
              ExpectedChip("abc", memo, 4, 1, 19, 58, FifthOfJanuary()));
}

TEST(ChipRecord, DoubleByteTextsCountBytes)
{
    FixedDate date(&FifthOfJanuary);
    const std::string title = "ニュース７"; // five characters, ten bytes
    ASSERT_EQ(title.size(), 10u);
    EXPECT_EQ(GetChipRecordSize(title.c_str(), "表示"), 236u + 10 + 4);
    EXPECT_EQ(Fill(title.c_str(), "表示", 3, 1, 0, 0),
              ExpectedChip(title, "表示", 3, 1, 0, 0, FifthOfJanuary()));
}

TEST(ChipRecord, NotificationFieldsAreStoredUnchecked)
{
    FixedDate date(&FifthOfJanuary);
    EXPECT_EQ(Fill("t", "m", -1, 0, 25, 2147483647),
              ExpectedChip("t", "m", -1, 0, 25, 2147483647, FifthOfJanuary()));
}

TEST(ChipRecord, ShortBufferIsLeftUntouched)
{
    FixedDate date(&FifthOfJanuary);
    Bytes buffer(GetChipRecordSize("abc", "memo") - 1, 0xCD);
    const Bytes before = buffer;
    EXPECT_EQ(FillChipRecord(buffer.data(), static_cast<std::uint32_t>(buffer.size()), "abc",
                             "memo", 1, 2, 3, 4),
              buffer.size() + 1);
    EXPECT_EQ(buffer, before);
    EXPECT_EQ(FillChipRecord(nullptr, 0, "abc", "memo", 1, 2, 3, 4), buffer.size() + 1);
}

TEST(ChipRecord, LargerBufferRecordsItsOwnSize)
{
    FixedDate date(&FifthOfJanuary);
    Bytes buffer(300, 0);
    EXPECT_EQ(FillChipRecord(buffer.data(), 300, "", "", 1, 2, 3, 4), 236u);
    std::string expected = ExpectedChip("", "", 1, 2, 3, 4, FifthOfJanuary());
    expected[0] = 44; // 300 = 0x12C
    expected[1] = 1;
    expected.resize(300, '\0');
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), expected);
}

// Today as the C library formats it, apart from the code under test.
CalendarDate FormattedLocalDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16] = {};
    std::strftime(text, sizeof text, "%Y%m%d", &local);
    const long number = std::strtol(text, nullptr, 10);
    return CalendarDate{static_cast<std::int32_t>(number / 10000),
                        static_cast<std::int32_t>(number / 100 % 100),
                        static_cast<std::int32_t>(number % 100)};
}

TEST(ChipRecord, CreatedDateIsTheLocalDate)
{
    // A try across midnight is repeated: the next one is clear of it.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const CalendarDate before = FormattedLocalDate();
        const std::string record = Fill("a", "b", 7, 7, 7, 7);
        const CalendarDate after = FormattedLocalDate();
        if (before.day == after.day) {
            EXPECT_EQ(record, ExpectedChip("a", "b", 7, 7, 7, 7, before));
            return;
        }
    }
    FAIL() << "the date changed twice in a row";
}
