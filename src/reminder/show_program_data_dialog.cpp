#include "reminder/show_program_data_dialog.h"

#include <commctrl.h>

#include <cstring>

#include "reminder/chip_record.h"
#include "reminder/memo_field_limit.h"
#include "reminder/memo_text.h"
#include "reminder/notification_time.h"
#include "reminder/send_chip_record.h"
#include "resources/resource_ids.h"
#include "win32/message_box.h"
#include "win32/unique_resource.h"

namespace {

constexpr UINT kDefaultLeadMinutes = 5;
constexpr char kRegistrationFailed[] = "登録できませんでした";

void SetTwoDigitText(HWND dialog, int id, std::int32_t value)
{
    char text[16];
    wsprintfA(text, "%02d", static_cast<int>(value));
    SetDlgItemTextA(dialog, id, text);
}

void AppendToEdit(HWND edit, const char* text)
{
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

// Appends the first `length` bytes of `text`, through a NUL-terminated copy.
void AppendStartToEdit(HWND edit, const char* text, std::size_t length)
{
    HeapBlock copy = AllocateHeapBlock(length + 1);
    if (!copy) {
        return;
    }
    char* start = static_cast<char*>(copy.get());
    std::memcpy(start, text, length);
    start[length] = '\0';
    AppendToEdit(edit, start);
}

// The field gets the memo up to kMemoFieldLimit bytes (see memo_field_limit.h).
void ComposeMemoField(HWND memoField, const ProgramInfo& info)
{
    MemoPieces pieces;
    ComposeMemoPieces(info, pieces);
    const MemoFieldFit fit = FitMemoField(pieces);
    SendMessageA(memoField, WM_SETREDRAW, FALSE, 0);
    SendMessageA(memoField, EM_SETSEL, 0, 0);
    for (int i = 0; i < fit.wholeParts; ++i) {
        AppendToEdit(memoField, pieces.parts[i]);
    }
    if (fit.cutLength > 0) {
        AppendStartToEdit(memoField, pieces.parts[fit.wholeParts], fit.cutLength);
    }
    SendMessageA(memoField, WM_SETREDRAW, TRUE, 0);
}

BOOL InitialiseDialog(HWND dialog, const ProgramInfo& info)
{
    SetDlgItemInt(dialog, IDC_YEAR, static_cast<UINT>(info.year), FALSE);
    SetDlgItemInt(dialog, IDC_MONTH, static_cast<UINT>(info.month), FALSE);
    SetDlgItemInt(dialog, IDC_DAY, static_cast<UINT>(info.day), FALSE);
    SetTwoDigitText(dialog, IDC_START_HOUR, info.startHour);
    SetTwoDigitText(dialog, IDC_START_MINUTE, info.startMinute);

    // The edit fields would otherwise cut a long document text at 32767
    // characters; 0 lifts the limit to the largest the control allows.
    SendDlgItemMessageA(dialog, IDC_TITLE, EM_LIMITTEXT, 0, 0);
    SendDlgItemMessageA(dialog, IDC_MEMO_TEXT, EM_LIMITTEXT, 0, 0);
    SetDlgItemTextA(dialog, IDC_TITLE, info.title ? info.title : "");
    ComposeMemoField(GetDlgItem(dialog, IDC_MEMO_TEXT), info);

    CheckDlgButton(dialog, IDC_DELETE_WHEN_DONE, BST_CHECKED);
    SetDlgItemInt(dialog, IDC_LEAD_MINUTES, kDefaultLeadMinutes, FALSE);
    SendDlgItemMessageA(dialog, IDC_LEAD_SPIN, UDM_SETRANGE32, 0, kLongestLeadMinutes);
    return TRUE;
}

// A copy of a field's text; empty (no text) when the field is empty.
// `failed` is set when the field holds text that could not be copied.
HeapBlock CopyFieldText(HWND dialog, int id, bool& failed)
{
    const LRESULT length = SendDlgItemMessageA(dialog, id, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) {
        return HeapBlock();
    }
    HeapBlock copy = AllocateHeapBlock(static_cast<SIZE_T>(length) + 1);
    if (!copy) {
        failed = true;
        return copy;
    }
    char* text = static_cast<char*>(copy.get());
    GetDlgItemTextA(dialog, id, text, static_cast<int>(length) + 1);
    text[length] = '\0';
    return copy;
}

std::int32_t ReadFieldNumber(HWND dialog, int id)
{
    return static_cast<std::int32_t>(GetDlgItemInt(dialog, id, nullptr, FALSE));
}

// Builds the chip and sends it; false when it could not be sent.
bool RegisterReminder(HWND dialog)
{
    bool copyFailed = false;
    HeapBlock title = CopyFieldText(dialog, IDC_TITLE, copyFailed);
    HeapBlock memo = CopyFieldText(dialog, IDC_MEMO_TEXT, copyFailed);
    if (copyFailed) {
        return false;
    }

    const std::int32_t year = ReadFieldNumber(dialog, IDC_YEAR);
    const std::int32_t month = ReadFieldNumber(dialog, IDC_MONTH);
    const std::int32_t day = ReadFieldNumber(dialog, IDC_DAY);
    const std::int32_t hour = ReadFieldNumber(dialog, IDC_START_HOUR);
    const std::int32_t minute = ReadFieldNumber(dialog, IDC_START_MINUTE);
    const std::int32_t leadMinutes = ClampLeadMinutes(ReadFieldNumber(dialog, IDC_LEAD_MINUTES));
    const NotificationTime notify = SubtractLeadTime(year, month, day, hour, minute, leadMinutes);
    const bool deleteWhenDone = IsDlgButtonChecked(dialog, IDC_DELETE_WHEN_DONE) == BST_CHECKED;

    const char* titleText = static_cast<const char*>(title.get());
    const char* memoText = static_cast<const char*>(memo.get());
    const std::uint32_t size = GetChipRecordSize(titleText, memoText);
    HeapBlock record = AllocateHeapBlock(size);
    if (!record) {
        // Nothing was attempted, and nothing is said.
        return true;
    }
    FillChipRecord(record.get(), size, titleText, memoText, notify.month, notify.day, notify.hour,
                   notify.minute);
    const bool sent = SendChipRecord(record.get(), size, deleteWhenDone);
    record.reset();
    if (sent) {
        MessageBeep(MB_OK);
    }
    return sent;
}

} // namespace

INT_PTR CALLBACK ProgramDataDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return InitialiseDialog(dialog, *reinterpret_cast<const ProgramInfo*>(lParam));
    case WM_COMMAND:
        // The poke pumps messages while it waits; a second press then must
        // not send a second chip nor end the dialog under the first.
        if (GetWindowLongPtrA(dialog, DWLP_USER) != 0) {
            return FALSE;
        }
        switch (LOWORD(wParam)) {
        case IDOK:
            SetWindowLongPtrA(dialog, DWLP_USER, 1);
            if (!RegisterReminder(dialog)) {
                ShowMessageBox(dialog, kRegistrationFailed, MB_OK | MB_ICONWARNING);
            }
            EndDialog(dialog, IDOK);
            break;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            break;
        default:
            break;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

std::int32_t ShowProgramDataDialog(HINSTANCE instance, HWND owner, const ProgramInfo* info)
{
    if (info == nullptr) {
        return IDCANCEL;
    }
    // The lead-time spinner is a common control; its class must exist before
    // the template is instantiated.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    return static_cast<std::int32_t>(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_PROGRAM_DATA),
                                                     owner, &ProgramDataDialogProc,
                                                     reinterpret_cast<LPARAM>(info)));
}
