#include "loxa_reminder/notice_window.h"

#include <cstdio>

#include "chip/read_chip.h"
#include "loxa_reminder/reminder_texts.h"
#include "loxa_reminder/resource_ids.h"

namespace {

INT_PTR CALLBACK NoticeProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            CompleteReminder(window);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        CompleteReminder(window);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

std::string FormatDueTime(const LocalMoment& due)
{
    char text[64];
    std::snprintf(text, sizeof text, kDueFormat, static_cast<int>(due.year),
                  static_cast<int>(due.month), static_cast<int>(due.day),
                  static_cast<int>(due.hour), static_cast<int>(due.minute));
    return text;
}

HWND ShowNoticeWindow(HINSTANCE instance, const Reminder& reminder, bool late)
{
    HWND window =
        CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_NOTICE), nullptr, &NoticeProc, 0);
    if (window == nullptr) {
        return nullptr;
    }
    ChipView chip;
    const std::vector<unsigned char>& bytes = reminder.stored.kept.chip;
    ReadChip(bytes.data(), bytes.size(), chip);
    std::string due = FormatDueTime(reminder.due);
    if (late) {
        due += kLateSuffix;
    }
    SetDlgItemTextA(window, IDC_NOTICE_TITLE, reminder.title.c_str());
    SetDlgItemTextA(window, IDC_NOTICE_DUE, due.c_str());
    SetDlgItemTextA(window, IDC_NOTICE_MEMO, std::string(chip.memo).c_str());
    SendMessageA(window, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconA(instance, MAKEINTRESOURCEA(IDI_REMINDER))));
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    SetFocus(GetDlgItem(window, IDOK));
    return window;
}
