#include "loxa_reminder/reminder_closing.h"

bool CloseOnDisk(const std::string& folder, StoredReminder& reminder)
{
    reminder.kept.state = ReminderState::Done;
    if (!WriteReminder(folder, reminder)) {
        reminder.kept.state = ReminderState::Waiting;
        return false;
    }
    if (reminder.kept.deleteWhenDone) {
        DeleteReminder(folder, reminder.name);
    }
    return true;
}

bool IsLeftOverDone(const KeptReminder& reminder)
{
    return reminder.deleteWhenDone && reminder.state == ReminderState::Done;
}
