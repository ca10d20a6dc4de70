#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "handlers/plugin_record.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Build(const ProgramInfo& info, std::int32_t capacity)
{
    Bytes buffer(static_cast<std::size_t>(capacity), 0xAA);
    EXPECT_EQ(BuildPluginRecord(info, buffer.data(), capacity),
              BuildPluginRecord(info, nullptr, 0));
    return buffer;
}

char station[] = "ABC";
char title[] = "Title";
char empty[] = "";

} // namespace

TEST(PluginRecord, NoStringsIsTheBareHeader)
{
    ProgramInfo info{};
    info.version = 3;
    info.year = 2026;
    info.month = 12;
    info.day = 7;
    info.startHour = 21;
    info.startMinute = 30;
    info.endHour = -1;
    info.endMinute = 0x12345678;
    ASSERT_EQ(BuildPluginRecord(info, nullptr, 0), 56);
    // clang-format off
    const Bytes expected = {
        56, 0, 0, 0,   0, 1, 0, 0,   3, 0, 0, 0,   0xEA, 7, 0, 0,
        12, 0, 0, 0,   7, 0, 0, 0,   21, 0, 0, 0,  30, 0, 0, 0,
        0xFF, 0xFF, 0xFF, 0xFF,      0x78, 0x56, 0x34, 0x12,
        0, 0, 0, 0,    0, 0, 0, 0,   0, 0, 0, 0,   0, 0, 0, 0,
    };
    // clang-format on
    EXPECT_EQ(Build(info, 56), expected);
}

TEST(PluginRecord, PresentStringsArePackedInOrderAndAnEmptyBodyKeepsItsNul)
{
    ProgramInfo info{};
    info.version = 1;
    info.station = station;
    info.title = title;
    info.body = empty;
    ASSERT_EQ(BuildPluginRecord(info, nullptr, 0), 67);
    // clang-format off
    const Bytes expected = {
        67, 0, 0, 0,   0, 1, 0, 0,   1, 0, 0, 0,   0, 0, 0, 0,
        0, 0, 0, 0,    0, 0, 0, 0,   0, 0, 0, 0,   0, 0, 0, 0,
        0, 0, 0, 0,    0, 0, 0, 0,
        56, 0, 0, 0,   60, 0, 0, 0,  0, 0, 0, 0,   66, 0, 0, 0,
        'A', 'B', 'C', 0,   'T', 'i', 't', 'l', 'e', 0,   0,
    };
    // clang-format on
    EXPECT_EQ(Build(info, 67), expected);
}

TEST(PluginRecord, TooSmallACapacityWritesNothingAndALargerOneIsZeroFilled)
{
    ProgramInfo info{};
    info.station = station;
    info.subtitle = title;
    const std::int32_t size = 56 + 4 + 6;
    ASSERT_EQ(BuildPluginRecord(info, nullptr, 0), size);

    Bytes untouched(static_cast<std::size_t>(size), 0xAA);
    EXPECT_EQ(BuildPluginRecord(info, untouched.data(), size - 1), size);
    EXPECT_EQ(untouched, Bytes(static_cast<std::size_t>(size), 0xAA));
    EXPECT_EQ(BuildPluginRecord(info, untouched.data(), -5), size);
    EXPECT_EQ(untouched, Bytes(static_cast<std::size_t>(size), 0xAA));

    const Bytes larger = Build(info, size + 9);
    const Bytes exact = Build(info, size);
    EXPECT_EQ(Bytes(larger.begin(), larger.begin() + size), exact);
    EXPECT_EQ(Bytes(larger.begin() + size, larger.end()), Bytes(9, 0));
    // Station at 56, no title, subtitle at 60.
    EXPECT_EQ(exact[40], 56);
    EXPECT_EQ(exact[44], 0);
    EXPECT_EQ(exact[48], 60);
    EXPECT_EQ(exact[52], 0);
}

TEST(PluginRecord, LongStringsArePackedExactly)
{
    std::string body(70000, 'x');
    body[0] = '\x82'; // a CP932 lead byte travels unconverted
    body[1] = '\xA0';
    ProgramInfo info{};
    info.body = body.data();
    const std::int32_t size = 56 + 70001;
    ASSERT_EQ(BuildPluginRecord(info, nullptr, 0), size);
    const Bytes record = Build(info, size);
    EXPECT_EQ(record[0], size & 0xFF);
    EXPECT_EQ(record[1], (size >> 8) & 0xFF);
    EXPECT_EQ(record[2], (size >> 16) & 0xFF);
    EXPECT_EQ(record[52], 56);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data() + 56)), body);
    EXPECT_EQ(record.back(), 0);
}
