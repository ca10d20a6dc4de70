// The built-in handler: the modal program data dialog.
#pragma once

#include <windows.h>

#include <cstdint>

#include "document/program_info.h"

// Runs the dialog from template 101; returns its end code (IDOK after the
// reminder was attempted, IDCANCEL when cancelled or without `info`, -1 when
// the dialog cannot be created).
std::int32_t ShowProgramDataDialog(HINSTANCE instance, HWND owner, const ProgramInfo* info);
