// The checks a reminder application makes on a received chip: each bad chip
// is refused with its own fault, the good one is read field by field.
#include <gtest/gtest.h>

#include "bad_chips.h"
#include "chip/read_chip.h"
#include "loxa_reminder/reminder_file.h"

namespace {

ChipFault CheckBytes(const std::string& chip)
{
    ChipView view;
    return CheckReceivedChip(reinterpret_cast<const unsigned char*>(chip.data()), chip.size(),
                             view);
}

} // namespace

TEST(ReceivedChip, ReadsEveryFieldOfAGoodChip)
{
    const std::string bytes = GoodChip();
    ASSERT_EQ(bytes.size(), 229u);
    ChipView chip;
    ASSERT_EQ(
        CheckReceivedChip(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), chip),
        ChipFault::None);
    EXPECT_EQ(chip.size, 229u);
    EXPECT_EQ(chip.title, "abc");
    EXPECT_EQ(chip.memo, "メモ");
    EXPECT_EQ(chip.source, "http://x.jp");
    EXPECT_EQ(chip.notifyMonth, 12);
    EXPECT_EQ(chip.notifyDay, 7);
    EXPECT_EQ(chip.notifyHour, 20);
    EXPECT_EQ(chip.notifyMinute, 55);
    EXPECT_EQ(chip.createdYear, 2026);
    EXPECT_EQ(chip.createdMonth, 12);
    EXPECT_EQ(chip.createdDay, 7);
    EXPECT_EQ(CheckExactLayout(reinterpret_cast<const unsigned char*>(bytes.data()), chip),
              ChipFault::None);
}

TEST(ReceivedChip, RefusesEveryBadChipWithItsFault)
{
    for (const BadChip& bad : kBadChips) {
        EXPECT_EQ(CheckBytes(bad.make()), bad.fault) << bad.name;
    }
}
