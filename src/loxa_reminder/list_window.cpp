#include "loxa_reminder/list_window.h"

#include <commctrl.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "loxa_reminder/copy_text.h"
#include "loxa_reminder/notice_window.h"
#include "loxa_reminder/reminder_app.h"
#include "loxa_reminder/reminder_texts.h"
#include "loxa_reminder/resource_ids.h"

namespace {

// The rows in display order, by due time: the reminders' file names. The
// list view owns no data of its own (LVS_OWNERDATA) and asks for each
// visible cell's text; it keeps its selection by row number, so a refresh
// carries the selection over to the same reminders' new rows.
std::vector<std::string> rows;
std::string cell;

void CollectRows()
{
    rows.clear();
    rows.reserve(App().reminders.byDue.size());
    for (const DueKey& key : App().reminders.byDue) {
        rows.push_back(key.second);
    }
}

const char* CellText(std::size_t row, int column)
{
    const Reminder* reminder =
        row < rows.size() ? FindReminder(App().reminders, rows[row]) : nullptr;
    if (reminder == nullptr) {
        return "";
    }
    if (column == 0) {
        cell = FormatDueTime(reminder->due);
    } else if (column == 1) {
        cell = reminder->title;
    } else if (reminder->stored.kept.state == ReminderState::Done) {
        cell = kStateDone;
    } else {
        cell = reminder->notice != nullptr ? kStateShown : kStateWaiting;
    }
    return cell.c_str();
}

std::vector<std::string> SelectedNames(HWND view)
{
    std::vector<std::string> names;
    int item = -1;
    while ((item = ListView_GetNextItem(view, item, LVNI_SELECTED)) >= 0) {
        if (static_cast<std::size_t>(item) < rows.size()) {
            names.push_back(rows[static_cast<std::size_t>(item)]);
        }
    }
    return names;
}

void DeleteSelected(HWND window)
{
    HWND view = GetDlgItem(window, IDC_LIST_VIEW);
    const std::vector<std::string> names = SelectedNames(view);
    if (!names.empty()) {
        ListView_SetItemState(view, -1, 0, LVIS_SELECTED);
        DeleteReminders(names);
    }
}

void AddColumn(HWND view, int index, const char* title, int width)
{
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>(title);
    column.cx = width;
    SendMessageA(view, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
}

INT_PTR CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        HWND view = GetDlgItem(window, IDC_LIST_VIEW);
        ListView_SetExtendedListViewStyle(view, LVS_EX_FULLROWSELECT);
        AddColumn(view, 0, kColumnDue, 150);
        AddColumn(view, 1, kColumnTitle, 240);
        AddColumn(view, 2, kColumnState, 80);
        return TRUE;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != IDC_LIST_VIEW) {
            return FALSE;
        }
        if (header->code == LVN_GETDISPINFOA) {
            auto* info = reinterpret_cast<NMLVDISPINFOA*>(lParam);
            if ((info->item.mask & LVIF_TEXT) != 0 && info->item.cchTextMax > 0) {
                CopyText(info->item.pszText,
                         CellText(static_cast<std::size_t>(info->item.iItem), info->item.iSubItem),
                         static_cast<std::size_t>(info->item.cchTextMax));
            }
            return TRUE;
        }
        if (header->code == LVN_KEYDOWN
            && reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey == VK_DELETE) {
            DeleteSelected(window);
            return TRUE;
        }
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_LIST_DELETE) {
            DeleteSelected(window);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(window);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        DestroyWindow(window);
        return TRUE;
    case WM_DESTROY:
        App().list = nullptr;
        rows.clear();
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

void ShowListWindow(HINSTANCE instance)
{
    if (App().list == nullptr) {
        App().list =
            CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_LIST), nullptr, &ListProc, 0);
        if (App().list == nullptr) {
            return;
        }
        RefreshListWindow();
    }
    ShowWindow(App().list, SW_SHOWNORMAL);
    SetForegroundWindow(App().list);
    SetFocus(GetDlgItem(App().list, IDC_LIST_VIEW));
}

void RefreshListWindow()
{
    if (App().list == nullptr) {
        return;
    }
    HWND view = GetDlgItem(App().list, IDC_LIST_VIEW);
    const std::vector<std::string> selected = SelectedNames(view);
    const int focusedRow = ListView_GetNextItem(view, -1, LVNI_FOCUSED);
    const std::string focused =
        focusedRow >= 0 && static_cast<std::size_t>(focusedRow) < rows.size()
            ? rows[static_cast<std::size_t>(focusedRow)]
            : std::string();
    CollectRows();
    if (!selected.empty()) {
        ListView_SetItemState(view, -1, 0, LVIS_SELECTED);
    }
    ListView_SetItemCountEx(view, static_cast<int>(rows.size()), LVSICF_NOSCROLL);
    if (!selected.empty() || !focused.empty()) {
        const std::unordered_set<std::string> wanted(selected.begin(), selected.end());
        for (std::size_t row = 0; row < rows.size(); ++row) {
            if (wanted.count(rows[row]) != 0) {
                ListView_SetItemState(view, static_cast<int>(row), LVIS_SELECTED, LVIS_SELECTED);
            }
            if (rows[row] == focused) {
                ListView_SetItemState(view, static_cast<int>(row), LVIS_FOCUSED, LVIS_FOCUSED);
            }
        }
    }
    InvalidateRect(view, nullptr, TRUE);
}
