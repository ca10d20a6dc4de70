#include "program_data_dialog_driver.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "driver_failure.h"
#include "resources/resource_ids.h"
#include "ui_driver.h"
#include "wait_scale.h"

namespace {

constexpr char kDialogClass[] = "#32770";
// How long a message to the other process may take to be answered. The
// calls wait that long even when the dialog looks hung: laying out a huge memo
// keeps it from its messages for seconds on a slow machine.
DWORD AnswerWaitMs()
{
    return ScaledWaitMs(5000);
}
constexpr char kDialogCaption[] = "番組データ";

struct Search {
    DWORD processId;
    bool wantDialog; // the program data dialog, or else a message box
    HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((search.processId != 0 && owner != search.processId) || !IsWindowVisible(window)) {
        return TRUE;
    }
    char className[32] = {};
    char caption[64] = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    if (lstrcmpA(className, kDialogClass) != 0) {
        return TRUE;
    }
    const bool isDialog =
        lstrcmpA(caption, kDialogCaption) == 0 && GetDlgItem(window, IDC_MEMO_TEXT) != nullptr;
    const bool isBox = !isDialog && GetDlgItem(window, 0xFFFF) != nullptr;
    if (search.wantDialog ? isDialog : isBox) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND PollForWindow(DWORD processId, bool wantDialog, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        Search search{processId, wantDialog, nullptr};
        EnumWindows(&FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            return search.found;
        }
        if (GetTickCount() - start >= timeoutMs) {
            NoteDriverFailure(std::string("no ")
                              + (wantDialog ? "program data dialog" : "message box")
                              + " of process " + std::to_string(processId) + " within "
                              + std::to_string(timeoutMs) + " ms");
            return nullptr;
        }
        PauseAnsweringMessages(20);
    }
}

// WM_GETTEXT is marshalled between processes, so the text is read whole.
// `read` is cleared when the control did not answer.
std::string ReadControlText(HWND dialog, int id, bool& read)
{
    HWND control = GetDlgItem(dialog, id);
    DWORD_PTR length = 0;
    DWORD_PTR copied = 0;
    if (control != nullptr
        && SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, AnswerWaitMs(),
                               &length)) {
        std::vector<char> text(length + 1, '\0');
        if (SendMessageTimeoutA(control, WM_GETTEXT, text.size(),
                                reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, AnswerWaitMs(),
                                &copied)) {
            return std::string(text.data(), copied);
        }
    }
    read = false;
    return {};
}

bool SetControlText(HWND dialog, int id, const std::string& text)
{
    HWND control = GetDlgItem(dialog, id);
    DWORD_PTR result = 0;
    return control != nullptr
           && SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                  SMTO_NORMAL, AnswerWaitMs(), &result)
           && result != 0;
}

} // namespace

HWND WaitForProgramDataDialog(DWORD processId, DWORD timeoutMs)
{
    return PollForWindow(processId, true, timeoutMs);
}

HWND WaitForMessageBoxOverDialog(DWORD processId, DWORD timeoutMs)
{
    return PollForWindow(processId, false, timeoutMs);
}

bool ReadProgramDataDialog(HWND dialog, ProgramDataDialogView& view)
{
    // The window shows before it is active and before its thread is back in
    // the dialog's message loop; a read begins only once the dialog is the
    // active window of its thread (it waits the while it takes) and answers.
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    const DWORD threadId = GetWindowThreadProcessId(dialog, nullptr);
    const ULONGLONG deadline = GetTickCount64() + AnswerWaitMs();
    while (IsWindow(dialog) && GetTickCount64() < deadline
           && !(GetGUIThreadInfo(threadId, &thread) && thread.hwndActive == dialog)) {
        PauseAnsweringMessages(20);
    }
    DWORD_PTR answer = 0;
    if (!IsWindow(dialog)
        || !SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, AnswerWaitMs(), &answer)) {
        NoteFailedCall("ReadProgramDataDialog: SendMessageTimeoutA(WM_NULL)");
        return false;
    }
    bool read = true;
    view.year = ReadControlText(dialog, IDC_YEAR, read);
    view.month = ReadControlText(dialog, IDC_MONTH, read);
    view.day = ReadControlText(dialog, IDC_DAY, read);
    view.startHour = ReadControlText(dialog, IDC_START_HOUR, read);
    view.startMinute = ReadControlText(dialog, IDC_START_MINUTE, read);
    view.title = ReadControlText(dialog, IDC_TITLE, read);
    view.memo = ReadControlText(dialog, IDC_MEMO_TEXT, read);
    view.leadMinutes = ReadControlText(dialog, IDC_LEAD_MINUTES, read);
    view.deleteWhenDone =
        SendDlgItemMessageA(dialog, IDC_DELETE_WHEN_DONE, BM_GETCHECK, 0, 0) == BST_CHECKED;
    // UDM_GETRANGE answers in its result, which crosses processes; the 32-bit
    // variant writes through pointers, which would not.
    const LRESULT range = SendDlgItemMessageA(dialog, IDC_LEAD_SPIN, UDM_GETRANGE, 0, 0);
    view.leadHigh = static_cast<short>(LOWORD(range));
    view.leadLow = static_cast<short>(HIWORD(range));
    if (!read || !IsWindow(dialog)) {
        NoteDriverFailure("ReadProgramDataDialog: a field did not answer, or the dialog went");
        return false;
    }
    return true;
}

bool SetDialogTitle(HWND dialog, const std::string& text)
{
    return SetControlText(dialog, IDC_TITLE, text);
}

bool SetDialogMemo(HWND dialog, const std::string& text)
{
    return SetControlText(dialog, IDC_MEMO_TEXT, text);
}

bool SetDialogLeadMinutes(HWND dialog, const std::string& text)
{
    return SetControlText(dialog, IDC_LEAD_MINUTES, text);
}

bool ToggleDeleteWhenDone(HWND dialog)
{
    HWND box = GetDlgItem(dialog, IDC_DELETE_WHEN_DONE);
    DWORD_PTR result = 0;
    return box != nullptr
           && SendMessageTimeoutA(box, BM_CLICK, 0, 0, SMTO_NORMAL, AnswerWaitMs(), &result) != 0;
}

namespace {

bool PostEnding(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* what)
{
    if (PostMessageA(window, message, wParam, lParam)) {
        return true;
    }
    NoteFailedCall(std::string("EndProgramDataDialog: PostMessageA(") + what + ")");
    return false;
}

} // namespace

bool EndProgramDataDialog(HWND dialog, DialogEnding ending)
{
    switch (ending) {
    case DialogEnding::Register:
        return PostEnding(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                          reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)), "WM_COMMAND IDOK");
    case DialogEnding::Cancel:
        return PostEnding(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                          reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)),
                          "WM_COMMAND IDCANCEL");
    case DialogEnding::EscapeKey: {
        // The key goes to the control with the focus, as a typed key would;
        // the dialog's message loop turns it into IDCANCEL.
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        HWND target = dialog;
        if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread)
            && thread.hwndFocus != nullptr) {
            target = thread.hwndFocus;
        }
        return PostKeyStroke(target, VK_ESCAPE, 1, "the dialog's focused control");
    }
    case DialogEnding::CloseBox:
        return PostEnding(dialog, WM_SYSCOMMAND, SC_CLOSE, 0, "WM_SYSCOMMAND SC_CLOSE");
    }
    return false;
}
