// Reads a chip as a reminder application receives it: checks that the bytes
// are one whole, well-formed chip before anything is taken from them. The
// texts are views into the caller's bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The first check a chip fails.
enum class ChipFault {
    None,
    TooShort,     // shorter than the fixed part and three NULs
    SizeField,    // the size field is not the number of bytes received
    FormatName,   // no "ZuriNoteChipData100" with its NUL at offset 4
    TitleString,  // title offset before the string area, past the end, or no NUL
    MemoString,   // memo offset before the title's end, past the end, or no NUL
    SourceString, // source offset before the memo's end, past the end, or no NUL
    NotifyMonth,  // not 1-12
    NotifyDay,    // not 1-31
    NotifyHour,   // not 0-47
    NotifyMinute, // not 0-59
    Padding,      // a byte after the format name's NUL is not 0
    Constant,     // a field of constant value has another one
    Packing,      // the strings are not packed one after the other up to the end
    CreationDate, // the creation month or day is no calendar value
};

struct ChipView {
    std::uint32_t size = 0;
    std::string_view title, memo, source; // code page 932 bytes, without their NUL
    std::int32_t notifyMonth = 0, notifyDay = 0, notifyHour = 0, notifyMinute = 0;
    std::int32_t createdYear = 0, createdMonth = 0, createdDay = 0;
};

// The checks every receiver makes: the size field, the format name, and the
// three strings, each starting in the string area at or after the end of
// the one before and ended by its NUL inside the data. Fills `chip` only on
// None.
ChipFault ReadChip(const unsigned char* bytes, std::size_t size, ChipView& chip);

// TV guides write late-night programs past 24:00 ("25:30" is 01:30 of the
// next day), and loxa.exe passes such an hour on unchanged.
inline constexpr std::int32_t kLatestNotifyHour = 47;

// The notification time is a moment of some year: month 1-12, day 1-31,
// hour 0-47 (24 and later on the next day), minute 0-59.
ChipFault CheckNotificationTime(const ChipView& chip);

// The byte-exact layout Loxa writes, beyond what a receiver needs: zero
// padding, the constant fields, the strings packed from offset 208 to the
// end, a calendar creation date. For the reference receiver, which checks
// Loxa's output. `bytes` must have passed ReadChip.
ChipFault CheckExactLayout(const unsigned char* bytes, const ChipView& chip);

// A short English reason, for logs.
const char* DescribeChipFault(ChipFault fault);
