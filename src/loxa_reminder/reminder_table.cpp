#include "loxa_reminder/reminder_table.h"

#include <functional>
#include <string_view>

namespace {

std::size_t HashChip(const std::vector<unsigned char>& chip)
{
    return std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(chip.data()), chip.size()));
}

bool IsWaiting(const Reminder& reminder)
{
    return reminder.stored.kept.state == ReminderState::Waiting;
}

DueKey KeyOf(const Reminder& reminder)
{
    return {reminder.dueSeconds, reminder.stored.name};
}

void ForgetChip(ReminderTable& table, const Reminder& reminder)
{
    auto [at, end] = table.waitingChips.equal_range(HashChip(reminder.stored.kept.chip));
    for (; at != end; ++at) {
        if (at->second == reminder.stored.name) {
            table.waitingChips.erase(at);
            return;
        }
    }
}

} // namespace

Reminder& AddReminder(ReminderTable& table, Reminder reminder)
{
    const std::string name = reminder.stored.name;
    EraseReminder(table, name); // names are new; this keeps the indexes right if one is not
    Reminder& added = table.byName.emplace(name, std::move(reminder)).first->second;
    table.byDue.insert(KeyOf(added));
    if (IsWaiting(added)) {
        ++table.waiting;
        table.waitingChips.emplace(HashChip(added.stored.kept.chip), name);
        if (added.notice == nullptr) {
            table.pending.insert(KeyOf(added));
        }
    }
    if (added.notice != nullptr) {
        table.byNotice[added.notice] = name;
    }
    return added;
}

void EraseReminder(ReminderTable& table, const std::string& name)
{
    const auto found = table.byName.find(name);
    if (found == table.byName.end()) {
        return;
    }
    const Reminder& reminder = found->second;
    table.byDue.erase(KeyOf(reminder));
    table.pending.erase(KeyOf(reminder));
    if (reminder.notice != nullptr) {
        table.byNotice.erase(reminder.notice);
    }
    if (IsWaiting(reminder)) {
        --table.waiting;
        ForgetChip(table, reminder);
    }
    table.byName.erase(found);
}

Reminder* FindReminder(ReminderTable& table, const std::string& name)
{
    const auto found = table.byName.find(name);
    return found != table.byName.end() ? &found->second : nullptr;
}

Reminder* FindReminderByNotice(ReminderTable& table, HWND notice)
{
    const auto found = table.byNotice.find(notice);
    return found != table.byNotice.end() ? FindReminder(table, found->second) : nullptr;
}

Reminder* FindWaitingChip(ReminderTable& table, const std::vector<unsigned char>& chip)
{
    auto [at, end] = table.waitingChips.equal_range(HashChip(chip));
    for (; at != end; ++at) {
        Reminder* reminder = FindReminder(table, at->second);
        if (reminder != nullptr && reminder->stored.kept.chip == chip) {
            return reminder;
        }
    }
    return nullptr;
}

void SetNotice(ReminderTable& table, Reminder& reminder, HWND notice)
{
    if (reminder.notice != nullptr) {
        table.byNotice.erase(reminder.notice);
    }
    reminder.notice = notice;
    if (notice != nullptr) {
        table.byNotice[notice] = reminder.stored.name;
        table.pending.erase(KeyOf(reminder));
    } else if (IsWaiting(reminder)) {
        table.pending.insert(KeyOf(reminder));
    }
}

void MarkDone(ReminderTable& table, Reminder& reminder)
{
    if (!IsWaiting(reminder)) {
        return;
    }
    reminder.stored.kept.state = ReminderState::Done;
    --table.waiting;
    ForgetChip(table, reminder);
    table.pending.erase(KeyOf(reminder));
}
