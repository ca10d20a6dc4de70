// Why the last driver call of this thread failed, for the test's failure
// message: a start or a wait that says only "false" leaves a flaky run
// unexplained.
#pragma once

#include <windows.h>

#include <string>

// Records that `call` failed, with the thread's GetLastError as it is now
// (read it before anything else can change it).
void NoteFailedCall(const std::string& call);

// Records a failure that has no error code (a wait that ran out).
void NoteDriverFailure(const std::string& what);

// The last failure recorded on this thread ("" when none), prefixed for a
// failure message.
std::string DriverFailure();
