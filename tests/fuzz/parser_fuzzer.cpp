// Fuzz target: the document parser on any bytes, then the plug-in record
// built from what it found.
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "document/decimal_number.h"
#include "document/parse_program_info.h"
#include "fuzz_check.h"
#include "handlers/plugin_record.h"
#include "loxa_plugin.h"

namespace {

using namespace PluginRecordLayout;

std::uintptr_t Address(const void* at)
{
    return reinterpret_cast<std::uintptr_t>(at);
}

std::int32_t ReadLittleEndian32(const unsigned char* at)
{
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8
        | static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24);
}

// A text field is absent, or a string that starts and ends inside the text
// (`length` bytes before its NUL).
void CheckTextField(const char* field, const char* text, std::size_t length, bool mayBeEmpty)
{
    if (field == nullptr) {
        return;
    }
    FUZZ_CHECK(Address(field) >= Address(text) && Address(field) <= Address(text + length));
    FUZZ_CHECK(Address(field + std::strlen(field)) <= Address(text + length));
    FUZZ_CHECK(mayBeEmpty || *field != '\0');
}

void CheckParse(const std::vector<char>& original, const std::vector<char>& text,
                const ProgramInfo& info)
{
    const std::size_t length = std::strlen(original.data());
    // The parse only cuts line breaks to NULs, and only inside the text:
    // nothing at or past the text's NUL changes.
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] != original[i]) {
            FUZZ_CHECK(text[i] == '\0' && (original[i] == '\r' || original[i] == '\n'));
        }
    }
    FUZZ_CHECK(std::memcmp(text.data() + length, original.data() + length, original.size() - length)
               == 0);

    // Header values are never empty, except after a CR that directly
    // follows a CR: the line then read starts one byte past the second CR
    // and runs on into the next line, whose CR is cut only afterwards.
    const std::string_view whole(original.data(), length);
    const bool crAfterCr = whole.find("\r\r") != std::string_view::npos;
    CheckTextField(info.station, text.data(), length, crAfterCr);
    CheckTextField(info.title, text.data(), length, crAfterCr);
    CheckTextField(info.subtitle, text.data(), length, crAfterCr);
    CheckTextField(info.body, text.data(), length, true);

    // Every header line ends with a CR: without one nothing is read.
    if (std::memchr(original.data(), '\r', length) == nullptr) {
        // Member by member: the record has padding between numbers and pointers.
        FUZZ_CHECK(info.version == 0 && info.station == nullptr && info.year == 0 && info.month == 0
                   && info.day == 0 && info.startHour == 0 && info.startMinute == 0
                   && info.endHour == 0 && info.endMinute == 0 && info.title == nullptr
                   && info.subtitle == nullptr && info.body == nullptr);
    }
}

// Header numbers read as the C library's strtoll reads them, brought into
// 32 bits, wherever a value could start: the text's start and after each ':'.
void CheckDecimalNumbers(const std::vector<char>& original)
{
    const char* text = original.data();
    const std::size_t length = std::strlen(text);
    int checked = 0;
    for (std::size_t i = 0; i <= length && checked < 64; ++i) {
        if (i > 0 && text[i - 1] != ':') {
            continue;
        }
        ++checked;
        const char* stop = nullptr;
        const std::int32_t value = ReadDecimalNumber(text + i, &stop);
        char* end = nullptr;
        const long long expected = std::strtoll(text + i, &end, 10);
        const long long clamped = expected > INT32_MAX   ? INT32_MAX
                                  : expected < INT32_MIN ? INT32_MIN
                                                         : expected;
        FUZZ_CHECK(value == clamped);
        FUZZ_CHECK(stop == end);
    }
}

void CheckPluginRecord(const ProgramInfo& info)
{
    const char* const strings[] = {info.station, info.title, info.subtitle, info.body};
    const int offsetFields[] = {kStationOffsetOffset, kTitleOffsetOffset, kSubtitleOffsetOffset,
                                kBodyOffsetOffset};

    std::size_t expectedSize = kHeaderSize;
    for (const char* text : strings) {
        expectedSize += text ? std::strlen(text) + 1 : 0;
    }
    const std::int32_t size = BuildPluginRecord(info, nullptr, 0);
    FUZZ_CHECK(size >= kHeaderSize && static_cast<std::size_t>(size) == expectedSize);

    // One byte short: the size is told and nothing is written.
    std::vector<unsigned char> tooSmall(static_cast<std::size_t>(size) - 1, 0xA5);
    FUZZ_CHECK(BuildPluginRecord(info, tooSmall.data(), size - 1) == size);
    for (unsigned char byte : tooSmall) {
        FUZZ_CHECK(byte == 0xA5);
    }

    // Exactly the size: the header, then the present strings one after the
    // other, filling the record to its last byte.
    std::vector<unsigned char> record(static_cast<std::size_t>(size), 0xA5);
    FUZZ_CHECK(BuildPluginRecord(info, record.data(), size) == size);
    const unsigned char* r = record.data();
    FUZZ_CHECK(ReadLittleEndian32(r + kSizeOffset) == size);
    FUZZ_CHECK(ReadLittleEndian32(r + kRecordVersionOffset) == kRecordVersion);
    FUZZ_CHECK(ReadLittleEndian32(r + kVersionOffset) == info.version);
    FUZZ_CHECK(ReadLittleEndian32(r + kYearOffset) == info.year);
    FUZZ_CHECK(ReadLittleEndian32(r + kMonthOffset) == info.month);
    FUZZ_CHECK(ReadLittleEndian32(r + kDayOffset) == info.day);
    FUZZ_CHECK(ReadLittleEndian32(r + kStartHourOffset) == info.startHour);
    FUZZ_CHECK(ReadLittleEndian32(r + kStartMinuteOffset) == info.startMinute);
    FUZZ_CHECK(ReadLittleEndian32(r + kEndHourOffset) == info.endHour);
    FUZZ_CHECK(ReadLittleEndian32(r + kEndMinuteOffset) == info.endMinute);

    const auto* header = reinterpret_cast<const LoxaPluginProgramRecord*>(r);
    FUZZ_CHECK(LoxaPluginRecordIsValid(header));
    std::int32_t cursor = kHeaderSize;
    for (int i = 0; i < 4; ++i) {
        const std::int32_t offset = ReadLittleEndian32(r + offsetFields[i]);
        if (strings[i] == nullptr) {
            FUZZ_CHECK(offset == 0);
            FUZZ_CHECK(LoxaPluginRecordString(header, offset) == nullptr);
            continue;
        }
        const auto length = static_cast<std::int32_t>(std::strlen(strings[i]));
        FUZZ_CHECK(offset == cursor && offset + length < size);
        FUZZ_CHECK(std::memcmp(r + offset, strings[i], static_cast<std::size_t>(length) + 1) == 0);
        // What a plug-in reads through the SDK is the same string.
        FUZZ_CHECK(LoxaPluginRecordString(header, offset)
                   == reinterpret_cast<const char*>(r + offset));
        cursor = offset + length + 1;
    }
    FUZZ_CHECK(cursor == size);

    // A larger buffer gets the same record and zeros after it.
    std::vector<unsigned char> roomy(record.size() + 8, 0xA5);
    FUZZ_CHECK(BuildPluginRecord(info, roomy.data(), static_cast<std::int32_t>(roomy.size()))
               == size);
    FUZZ_CHECK(std::memcmp(roomy.data(), record.data(), record.size()) == 0);
    for (std::size_t i = record.size(); i < roomy.size(); ++i) {
        FUZZ_CHECK(roomy[i] == 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The document as the program holds it: the file's bytes plus a NUL, in
    // a buffer of exactly that size. A NUL inside ends the text early.
    std::vector<char> original(data, data + size);
    original.push_back('\0');
    std::vector<char> text(original);
    CheckDecimalNumbers(original);

    ProgramInfo info{};
    FUZZ_CHECK(ParseProgramInfo(info, text.data()));
    CheckParse(original, text, info);
    CheckPluginRecord(info);
    return 0;
}
