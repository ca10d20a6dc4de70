// Fuzz target: what loxa-reminder.exe reads from outside, as the same bytes
// taken two ways: a poked chip (the checks, the due time) and a kept
// reminder file (read back, it is written again byte for byte).
#include <cstring>
#include <vector>

#include "chip/read_chip.h"
#include "fuzz_check.h"
#include "loxa_reminder/due_time.h"
#include "loxa_reminder/reminder_file.h"

namespace {

// Every text lies in the string area, after the one before, with its NUL
// inside the data.
void CheckStrings(const unsigned char* bytes, std::size_t size, const ChipView& chip)
{
    const auto* base = reinterpret_cast<const char*>(bytes);
    const char* end = base + size;
    const char* next = base + 208;
    for (std::string_view text : {chip.title, chip.memo, chip.source}) {
        FUZZ_CHECK(text.data() >= next && text.data() + text.size() < end);
        FUZZ_CHECK(*(text.data() + text.size()) == 0); // the NUL just past the view
        FUZZ_CHECK(std::memchr(text.data(), 0, text.size()) == nullptr);
        next = text.data() + text.size() + 1;
    }
}

// The day before `moment`, at the same time.
LocalMoment DayBefore(LocalMoment moment)
{
    if (--moment.day < 1) {
        if (--moment.month < 1) {
            moment.month = 12;
            --moment.year;
        }
        moment.day = DaysInMonth(moment.year, moment.month);
    }
    return moment;
}

void CheckDueTime(const ChipView& chip)
{
    const LocalMoment received{2026, 12, 7, 20, 55};
    const LocalMoment due = DueTimeOfChip(chip, received);
    // An ordinary moment on a real day of its month (the year may be one past
    // the clock's last).
    FUZZ_CHECK(due.month >= 1 && due.month <= 12);
    FUZZ_CHECK(due.day >= 1 && due.day <= DaysInMonth(due.year, due.month));
    FUZZ_CHECK(due.hour >= 0 && due.hour <= 23 && due.minute == chip.notifyMinute);
    // An hour past 23 was carried into the next day.
    const LocalMoment notified = chip.notifyHour >= 24 ? DayBefore(due) : due;
    FUZZ_CHECK(notified.hour + (chip.notifyHour >= 24 ? 24 : 0) == chip.notifyHour);
    FUZZ_CHECK(notified.month == chip.notifyMonth);
    FUZZ_CHECK(notified.day == chip.notifyDay
               || (notified.day == DaysInMonth(notified.year, notified.month)
                   && chip.notifyDay > notified.day));
    const LocalMoment base = IsCalendarDate(chip.createdYear, chip.createdMonth, chip.createdDay)
                                 ? LocalMoment{chip.createdYear, chip.createdMonth, chip.createdDay}
                                 : LocalMoment{received.year, received.month, received.day};
    // From the start of the day before the creation date, within a year and
    // a day and a bit.
    const std::int64_t after = SecondsSince1601(due) - SecondsSince1601(base);
    FUZZ_CHECK(after >= -24LL * 60 * 60 && after < 368LL * 24 * 60 * 60);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ChipView chip;
    const ChipFault fault = CheckReceivedChip(data, size, chip);
    if (fault == ChipFault::None) {
        FUZZ_CHECK(chip.size == size);
        FUZZ_CHECK(chip.notifyMonth >= 1 && chip.notifyMonth <= 12);
        FUZZ_CHECK(chip.notifyDay >= 1 && chip.notifyDay <= 31);
        FUZZ_CHECK(chip.notifyHour >= 0 && chip.notifyHour <= 47);
        FUZZ_CHECK(chip.notifyMinute >= 0 && chip.notifyMinute <= 59);
        CheckStrings(data, size, chip);
        CheckDueTime(chip);
        CheckExactLayout(data, chip);

        KeptReminder kept;
        kept.received = {2026, 12, 7, 20, 55};
        kept.chip.assign(data, data + size);
        const std::vector<unsigned char> file = EncodeReminderFile(kept);
        KeptReminder read;
        FUZZ_CHECK(DecodeReminderFile(file.data(), file.size(), read));
        FUZZ_CHECK(read.chip == kept.chip);
    }

    KeptReminder reminder;
    if (DecodeReminderFile(data, size, reminder)) {
        const std::vector<unsigned char> again = EncodeReminderFile(reminder);
        FUZZ_CHECK(again.size() == size && std::memcmp(again.data(), data, size) == 0);
    }
    return 0;
}
