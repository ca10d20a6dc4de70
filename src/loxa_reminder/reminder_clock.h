// The local clock the reminders run by. Tests move it: when the environment
// variable LOXA_REMINDER_CLOCK_FILE names a file holding
// "YYYY-MM-DD HH:MM:SS", that is the time, read afresh at every look (the
// test then sends WM_TIMECHANGE, as Windows does when the clock is set).
#pragma once

#include "loxa_reminder/local_moment.h"

LocalMoment ReadLocalClock();
