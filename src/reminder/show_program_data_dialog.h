// The built-in handler: the modal program data dialog ("番組データ").
#pragma once

#include <windows.h>

#include <cstdint>

#include "document/program_info.h"

// Runs the dialog from template 101 with `info` and returns its end code: 1
// (IDOK) after "登録" whatever the outcome, 2 (IDCANCEL) after "ｷｬﾝｾﾙ", Esc
// or the close box, and without `info`; -1 when the dialog cannot be created.
std::int32_t ShowProgramDataDialog(HINSTANCE instance, HWND owner, const ProgramInfo* info);

// The dialog procedure; the initialisation parameter is the ProgramInfo.
INT_PTR CALLBACK ProgramDataDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
