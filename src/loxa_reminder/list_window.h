// The list of reminders: due time, title, state, sorted by due time; the
// selected ones can be deleted (button or Delete key).
#pragma once

#include <windows.h>

// Opens the list, or brings the open one to the front.
void ShowListWindow(HINSTANCE instance);

// Shows the reminders as they are now, when the list is open.
void RefreshListWindow();
