// The summary window: "ほか N 件" for the due reminders beyond the few shown
// as reminder windows, with a button that opens the list.
#pragma once

#include <windows.h>

// Shows `count` in the summary, opening it when the count has grown since
// the user last closed it; closes it at 0.
void UpdateSummaryWindow(HINSTANCE instance, unsigned count);
