#include "loxa_reminder/summary_window.h"

#include <cstdio>

#include "loxa_reminder/list_window.h"
#include "loxa_reminder/reminder_app.h"
#include "loxa_reminder/reminder_texts.h"
#include "loxa_reminder/resource_ids.h"

namespace {

unsigned shownCount = 0;
// The count when the user closed the summary: it comes back only for more.
unsigned dismissedCount = 0;

void Dismiss(HWND window)
{
    dismissedCount = shownCount;
    DestroyWindow(window);
}

INT_PTR CALLBACK SummaryProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            Dismiss(window);
            ShowListWindow(App().instance);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            Dismiss(window);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        Dismiss(window);
        return TRUE;
    case WM_DESTROY:
        App().summary = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

void UpdateSummaryWindow(HINSTANCE instance, unsigned count)
{
    ReminderApp& app = App();
    if (count < dismissedCount) {
        dismissedCount = count;
    }
    if (count == 0) {
        if (app.summary != nullptr) {
            DestroyWindow(app.summary);
        }
        return;
    }
    if (app.summary == nullptr) {
        if (count <= dismissedCount) {
            return;
        }
        app.summary =
            CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SUMMARY), nullptr, &SummaryProc, 0);
        if (app.summary == nullptr) {
            return;
        }
        SendMessageA(app.summary, WM_SETICON, ICON_BIG,
                     reinterpret_cast<LPARAM>(LoadIconA(instance, MAKEINTRESOURCEA(IDI_REMINDER))));
        ShowWindow(app.summary, SW_SHOWNORMAL);
    }
    if (count != shownCount
        || GetWindowTextLengthA(GetDlgItem(app.summary, IDC_SUMMARY_TEXT)) == 0) {
        char text[128];
        std::snprintf(text, sizeof text, kSummaryFormat, count);
        SetDlgItemTextA(app.summary, IDC_SUMMARY_TEXT, text);
    }
    shownCount = count;
}
