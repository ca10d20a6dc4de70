// Whether a reminder application offers the service that loxa.exe pokes:
// the tests and the benchmarks wait for it after starting loxa-reminder.exe.
#pragma once

// True once some server answers "Zuri" / "ZuriServer".
bool ReminderServiceAnswers();
