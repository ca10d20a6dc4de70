// The reminders in memory, found by file name, by reminder window and by
// chip, and ordered by due time, so that no step of the program walks all of
// them: with ten thousand kept, a poke, a due reminder, a row of the list or
// a deletion costs a few look-ups.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "loxa_reminder/local_moment.h"
#include "loxa_reminder/reminder_store.h"

struct Reminder {
    StoredReminder stored;
    LocalMoment due;
    std::int64_t dueSeconds = 0; // SecondsSince1601(due): the order of the list and the timer
    std::string title;           // as shown: the chip's title, or a stand-in for none
    HWND notice = nullptr;       // its reminder window while shown
};

// Due time first; the name keeps equal times apart and in arrival order.
using DueKey = std::pair<std::int64_t, std::string>;

struct ReminderTable {
    // Nodes of a map stay where they are, so a Reminder* is good until that
    // reminder is erased.
    std::map<std::string, Reminder> byName;
    std::set<DueKey> byDue;   // every reminder: the list's order
    std::set<DueKey> pending; // waiting, without a window: the timer's queue
    std::map<HWND, std::string> byNotice;
    // Waiting reminders by a hash of their chip's bytes.
    std::unordered_multimap<std::size_t, std::string> waitingChips;
    unsigned waiting = 0;
};

// Takes in a reminder whose stored chip, due time and title are set, and
// whose name is new.
Reminder& AddReminder(ReminderTable& table, Reminder reminder);

void EraseReminder(ReminderTable& table, const std::string& name);

Reminder* FindReminder(ReminderTable& table, const std::string& name);
Reminder* FindReminderByNotice(ReminderTable& table, HWND notice);

// The waiting reminder whose chip has exactly these bytes, if any.
Reminder* FindWaitingChip(ReminderTable& table, const std::vector<unsigned char>& chip);

// A reminder window opened or closed for `reminder`.
void SetNotice(ReminderTable& table, Reminder& reminder, HWND notice);

// Waiting becomes done (its window, if any, is left to the caller).
void MarkDone(ReminderTable& table, Reminder& reminder);
