#include "decode_chip.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr char kFormatName[] = "ZuriNoteChipData100";
constexpr std::size_t kFixedPartSize = 208;

std::int32_t ReadInt32(const unsigned char* bytes, std::size_t offset)
{
    const std::uint32_t bits = static_cast<std::uint32_t>(bytes[offset])
                               | static_cast<std::uint32_t>(bytes[offset + 1]) << 8
                               | static_cast<std::uint32_t>(bytes[offset + 2]) << 16
                               | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
    return static_cast<std::int32_t>(bits);
}

struct Constant {
    std::size_t offset;
    std::int32_t value;
};

// clang-format off
constexpr Constant kConstants[] = {
    {72, 0},   {76, 1},   {80, 0},   {84, 0},   {88, 0},   {100, -1}, {104, -1},
    {108, -1}, {112, 0},  {116, 1},  {120, -1}, {128, 0},  {132, 0},  {136, -1},
    {140, 0},  {144, 0},  {148, -1}, {152, 1},  {156, 2},  {160, 0},  {180, 0},
    {184, 0},  {188, 1},  {192, -1},
};
// clang-format on

// The NUL-terminated string at `offset`, which must end before `size`.
bool ReadText(const unsigned char* bytes, std::size_t size, std::int32_t offset, std::string& text,
              std::size_t& next)
{
    if (offset < static_cast<std::int32_t>(kFixedPartSize)
        || static_cast<std::size_t>(offset) >= size) {
        return false;
    }
    const auto* start = bytes + offset;
    const void* end = std::memchr(start, 0, size - static_cast<std::size_t>(offset));
    if (end == nullptr) {
        return false;
    }
    text.assign(reinterpret_cast<const char*>(start),
                static_cast<const unsigned char*>(end) - start);
    next = static_cast<std::size_t>(offset) + text.size() + 1;
    return true;
}

std::string Escape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

bool DecodeChip(const unsigned char* bytes, std::size_t size, DecodedChip& chip, std::string& fault)
{
    char reason[128];
    if (size < kFixedPartSize + 3) {
        std::snprintf(reason, sizeof reason, "only %u bytes", static_cast<unsigned>(size));
        fault = reason;
        return false;
    }
    chip.size = static_cast<std::uint32_t>(ReadInt32(bytes, 0));
    if (chip.size != size) {
        std::snprintf(reason, sizeof reason, "size field %u, %u bytes received",
                      static_cast<unsigned>(chip.size), static_cast<unsigned>(size));
        fault = reason;
        return false;
    }
    if (std::memcmp(bytes + 4, kFormatName, sizeof kFormatName) != 0) {
        fault = "format name is not ZuriNoteChipData100";
        return false;
    }
    for (std::size_t i = 4 + sizeof kFormatName; i < 72; ++i) {
        if (bytes[i] != 0) {
            fault = "bytes after the format name are not 0";
            return false;
        }
    }
    for (const Constant& constant : kConstants) {
        if (ReadInt32(bytes, constant.offset) != constant.value) {
            std::snprintf(reason, sizeof reason, "field at %u is %d, not %d",
                          static_cast<unsigned>(constant.offset),
                          static_cast<int>(ReadInt32(bytes, constant.offset)),
                          static_cast<int>(constant.value));
            fault = reason;
            return false;
        }
    }
    std::size_t next = 0;
    if (ReadInt32(bytes, 92) != static_cast<std::int32_t>(kFixedPartSize)
        || !ReadText(bytes, size, ReadInt32(bytes, 92), chip.title, next)) {
        fault = "bad title offset";
        return false;
    }
    if (ReadInt32(bytes, 96) != static_cast<std::int32_t>(next)
        || !ReadText(bytes, size, ReadInt32(bytes, 96), chip.memo, next)) {
        fault = "bad memo offset";
        return false;
    }
    if (ReadInt32(bytes, 124) != static_cast<std::int32_t>(next)
        || !ReadText(bytes, size, ReadInt32(bytes, 124), chip.source, next) || next != size) {
        fault = "bad source address offset, or bytes after it";
        return false;
    }
    chip.notifyMonth = ReadInt32(bytes, 164);
    chip.notifyDay = ReadInt32(bytes, 168);
    chip.notifyHour = ReadInt32(bytes, 172);
    chip.notifyMinute = ReadInt32(bytes, 176);
    chip.createdYear = ReadInt32(bytes, 196);
    chip.createdMonth = ReadInt32(bytes, 200);
    chip.createdDay = ReadInt32(bytes, 204);
    if (chip.createdMonth < 1 || chip.createdMonth > 12 || chip.createdDay < 1
        || chip.createdDay > 31) {
        fault = "creation date is no date";
        return false;
    }
    return true;
}

std::string DescribeChip(const DecodedChip& chip, const std::string& item)
{
    const bool deleteWhenDone = item.size() > 3 && item.compare(item.size() - 3, 3, " /D") == 0;
    char numbers[160];
    std::snprintf(numbers, sizeof numbers,
                  "notify=%02d/%02d %02d:%02d created=%04d-%02d-%02d size=%u",
                  static_cast<int>(chip.notifyMonth), static_cast<int>(chip.notifyDay),
                  static_cast<int>(chip.notifyHour), static_cast<int>(chip.notifyMinute),
                  static_cast<int>(chip.createdYear), static_cast<int>(chip.createdMonth),
                  static_cast<int>(chip.createdDay), static_cast<unsigned>(chip.size));
    return std::string("chip item=\"") + item + "\" delete-when-done="
           + (deleteWhenDone ? "yes " : "no ") + numbers + " title=\"" + Escape(chip.title)
           + "\" memo=\"" + Escape(chip.memo) + "\" source=\"" + Escape(chip.source) + "\"";
}
