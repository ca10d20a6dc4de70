// The reminder window: in front, with the program's title, its due time
// (marked when late), the memo and "閉じる".
#pragma once

#include <windows.h>

#include "loxa_reminder/reminder_app.h"

HWND ShowNoticeWindow(HINSTANCE instance, const Reminder& reminder, bool late);

// "2026年12月7日 20:55"
std::string FormatDueTime(const LocalMoment& due);
