// Drives Loxa's program data dialog ("番組データ") from another process: reads
// its fields, edits what the user may edit, and ends it the four ways a user
// can.
#pragma once

#include <windows.h>

#include <string>

struct ProgramDataDialogView {
    std::string year, month, day, startHour, startMinute; // field texts as shown
    std::string title;
    std::string memo;
    std::string leadMinutes;
    bool deleteWhenDone = false;     // check box "終了時削除で作成"
    int leadLow = -1, leadHigh = -1; // range of the up-down control
};

// Waits up to `timeoutMs` for the visible dialog of the process (any process
// when `processId` is 0); null on time-out.
HWND WaitForProgramDataDialog(DWORD processId, DWORD timeoutMs);

// Waits up to `timeoutMs` for a visible message box of the process that is
// not the program data dialog itself (whose labels, like a box's text, have
// the identifier 0xFFFF); null on time-out. Read it with ReadMessageBox.
HWND WaitForMessageBoxOverDialog(DWORD processId, DWORD timeoutMs);

bool ReadProgramDataDialog(HWND dialog, ProgramDataDialogView& view);

// Replace the text of the title, the memo or the lead-time field.
bool SetDialogTitle(HWND dialog, const std::string& text);
bool SetDialogMemo(HWND dialog, const std::string& text);
bool SetDialogLeadMinutes(HWND dialog, const std::string& text);

// Clicks the check box "終了時削除で作成".
bool ToggleDeleteWhenDone(HWND dialog);

enum class DialogEnding { Register, Cancel, EscapeKey, CloseBox };

// Ends the dialog as a user would; returns at once (the press is posted, so
// the dialog may show a box or block in the poke afterwards).
bool EndProgramDataDialog(HWND dialog, DialogEnding ending);
