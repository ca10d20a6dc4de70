// A kept reminder's file: read back whole, and every damaged or torn file is
// refused rather than read as a reminder.
#include <gtest/gtest.h>

#include <vector>

#include "chip_bytes.h"
#include "loxa_reminder/reminder_file.h"

namespace {

KeptReminder SampleReminder()
{
    KeptReminder reminder;
    reminder.state = ReminderState::Done;
    reminder.deleteWhenDone = true;
    reminder.received = {2026, 12, 7, 20, 1};
    const std::string chip = GoodChip();
    reminder.chip.assign(chip.begin(), chip.end());
    return reminder;
}

bool Decodes(const std::vector<unsigned char>& bytes)
{
    KeptReminder reminder;
    return DecodeReminderFile(bytes.data(), bytes.size(), reminder);
}

} // namespace

TEST(ReminderFile, WritesItsHeadAndReadsBackWhatItWrote)
{
    const std::vector<unsigned char> bytes = EncodeReminderFile(SampleReminder());
    ASSERT_EQ(bytes.size(), 40u + 229u + 4u);
    const std::vector<unsigned char> head = {
        'L', 'X', 'R', 'E', 'M', 'N', 'D', '1', 1,  0, 0, 0, 1, 0, 0, 0, 0xEA, 7, 0, 0,
        12,  0,   0,   0,   7,   0,   0,   0,   20, 0, 0, 0, 1, 0, 0, 0, 229,  0, 0, 0};
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin(), bytes.begin() + 40), head);

    KeptReminder read;
    ASSERT_TRUE(DecodeReminderFile(bytes.data(), bytes.size(), read));
    EXPECT_EQ(read.state, ReminderState::Done);
    EXPECT_TRUE(read.deleteWhenDone);
    EXPECT_EQ(read.received.year, 2026);
    EXPECT_EQ(read.received.month, 12);
    EXPECT_EQ(read.received.day, 7);
    EXPECT_EQ(read.received.hour, 20);
    EXPECT_EQ(read.received.minute, 1);
    EXPECT_EQ(std::string(read.chip.begin(), read.chip.end()), GoodChip());
}

TEST(ReminderFile, RefusesEveryTornOrDamagedFile)
{
    const std::vector<unsigned char> whole = EncodeReminderFile(SampleReminder());
    // Torn: any prefix, as a crash in the middle of a write leaves it.
    for (std::size_t size = 0; size < whole.size(); ++size) {
        EXPECT_FALSE(Decodes(std::vector<unsigned char>(whole.begin(), whole.begin() + size)))
            << size << " bytes";
    }
    // Damaged: any one byte changed.
    for (std::size_t at = 0; at < whole.size(); ++at) {
        std::vector<unsigned char> damaged = whole;
        damaged[at] ^= 0x20;
        EXPECT_FALSE(Decodes(damaged)) << "byte " << at;
    }
    // A well-sealed file whose chip fails a check of a received chip.
    KeptReminder badChip = SampleReminder();
    badChip.chip[164] = 13;
    EXPECT_FALSE(Decodes(EncodeReminderFile(badChip)));
}

TEST(ReminderFile, KeepsAChipUpToOneMebibyteAndNoLarger)
{
    // The source address, the last text, grows to the size asked for.
    const auto chipOfSize = [](std::size_t size) {
        std::string chip = GoodChip();
        chip.pop_back();
        chip.append(size - chip.size() - 1, 'x');
        chip.push_back('\0');
        PutField(chip, 0, static_cast<std::int32_t>(chip.size()));
        KeptReminder reminder = SampleReminder();
        reminder.chip.assign(chip.begin(), chip.end());
        return EncodeReminderFile(reminder);
    };
    EXPECT_TRUE(Decodes(chipOfSize(1048576)));
    EXPECT_FALSE(Decodes(chipOfSize(1048577)));
}

TEST(ReminderFile, Crc32IsTheStandardOne)
{
    const unsigned char check[] = "123456789";
    EXPECT_EQ(Crc32(check, 9), 0xCBF43926u);
    EXPECT_EQ(Crc32(check, 0), 0u);
}
