#include "decode_chip.h"

#include <cstdio>

#include "chip/read_chip.h"

namespace {

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
    ChipView view;
    ChipFault found = ReadChip(bytes, size, view);
    if (found == ChipFault::None) {
        found = CheckExactLayout(bytes, view);
    }
    if (found != ChipFault::None) {
        fault = DescribeChipFault(found);
        return false;
    }
    chip.size = view.size;
    chip.title.assign(view.title);
    chip.memo.assign(view.memo);
    chip.source.assign(view.source);
    chip.notifyMonth = view.notifyMonth;
    chip.notifyDay = view.notifyDay;
    chip.notifyHour = view.notifyHour;
    chip.notifyMinute = view.notifyMinute;
    chip.createdYear = view.createdYear;
    chip.createdMonth = view.createdMonth;
    chip.createdDay = view.createdDay;
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
