// Closing a reminder on disk. The done state is written first, so that a
// reminder that could not be closed on disk is never done only in memory
// (and back at the next start); a " /D" reminder's file is then deleted, and
// when that fails it is left done, which a later start deletes.
#pragma once

#include <string>

#include "loxa_reminder/reminder_store.h"

// Marks `reminder` done and writes it (then deletes a " /D" reminder's
// file); false, with `reminder` still waiting, when the done state is not on
// disk.
bool CloseOnDisk(const std::string& folder, StoredReminder& reminder);

// True for a reminder a start should delete rather than keep: a " /D"
// reminder already done, whose delete failed last time.
bool IsLeftOverDone(const KeptReminder& reminder);
