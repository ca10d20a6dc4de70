// The plug-in authors' header against the record builder: its struct reads
// the fields that the builder writes, and its string reader stays inside the
// record's size.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "handlers/plugin_record.h"
#include "loxa_plugin.h"

TEST(PluginSdk, TheHeaderReadsWhatTheBuilderWrites)
{
    char station[] = "BS";
    char subtitle[] = "sub";
    char body[] = "";
    ProgramInfo info{};
    info.version = 7;
    info.year = 2026;
    info.month = 2;
    info.day = 28;
    info.startHour = 25;
    info.startMinute = 5;
    info.endHour = 1;
    info.endMinute = 59;
    info.station = station;
    info.subtitle = subtitle;
    info.body = body;
    const std::int32_t size = BuildPluginRecord(info, nullptr, 0);
    std::vector<std::int32_t> storage((static_cast<std::size_t>(size) + 3) / 4);
    ASSERT_EQ(BuildPluginRecord(info, storage.data(), size), size);

    const auto* record = reinterpret_cast<const LoxaPluginProgramRecord*>(storage.data());
    ASSERT_TRUE(LoxaPluginRecordIsValid(record));
    EXPECT_EQ(record->size, size);
    EXPECT_EQ((std::vector<int>{record->version, record->year, record->month, record->day,
                                record->startHour, record->startMinute, record->endHour,
                                record->endMinute}),
              (std::vector<int>{7, 2026, 2, 28, 25, 5, 1, 59}));
    EXPECT_STREQ(LoxaPluginRecordString(record, record->stationOffset), "BS");
    EXPECT_EQ(LoxaPluginRecordString(record, record->titleOffset), nullptr);
    EXPECT_STREQ(LoxaPluginRecordString(record, record->subtitleOffset), "sub");
    EXPECT_STREQ(LoxaPluginRecordString(record, record->bodyOffset), "");
}

TEST(PluginSdk, StringsOutsideTheRecordAreRefused)
{
    // size 64: header, "abc\0", then "defg" whose NUL lies beyond the size.
    std::vector<std::int32_t> storage(20, 0);
    auto* bytes = reinterpret_cast<unsigned char*>(storage.data());
    auto* record = reinterpret_cast<LoxaPluginProgramRecord*>(storage.data());
    record->size = 64;
    record->recordVersion = 256;
    const unsigned char strings[] = {'a', 'b', 'c', 0, 'd', 'e', 'f', 'g', 0};
    std::memcpy(bytes + 56, strings, sizeof strings);
    EXPECT_STREQ(LoxaPluginRecordString(record, 56), "abc");
    EXPECT_STREQ(LoxaPluginRecordString(record, 58), "c");
    EXPECT_EQ(LoxaPluginRecordString(record, 60), nullptr); // runs past size
    EXPECT_EQ(LoxaPluginRecordString(record, 64), nullptr);
    EXPECT_EQ(LoxaPluginRecordString(record, 0), nullptr);
    EXPECT_EQ(LoxaPluginRecordString(record, 40), nullptr); // inside the header
    EXPECT_EQ(LoxaPluginRecordString(record, -8), nullptr);
    EXPECT_EQ(LoxaPluginRecordString(nullptr, 56), nullptr);

    record->recordVersion = 257;
    EXPECT_FALSE(LoxaPluginRecordIsValid(record));
    EXPECT_EQ(LoxaPluginRecordString(record, 56), nullptr);
    record->recordVersion = 256;
    record->size = 55;
    EXPECT_FALSE(LoxaPluginRecordIsValid(record));
}
