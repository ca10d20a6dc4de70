// Whether registration and removal tell the user with message boxes or stay
// quiet, leaving the outcome to the exit code alone.
#pragma once

#include <windows.h>

enum class RegistrationReporting { MessageBoxes, Quiet };

// Shows `text` in a box of `style`, captioned with the application title,
// unless the run is quiet.
void ReportRegistrationMessage(RegistrationReporting reporting, const char* text, UINT style);
