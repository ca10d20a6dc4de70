// The list of loxa-reminder.exe with many reminders kept:
//
//   reminder_list_timing FOLDER [DELETE]
//
// Starts the program on FOLDER (its clock file beside it) and times, from
// outside as the user sees it:
// - opening the list: from posting the program's "show the list" message to
//   its main window until the dialog "番組リマインダー - 一覧" is visible, its
//   list view counts every kept reminder and has painted its first page;
// - scrolling: page down (WM_VSCROLL SB_PAGEDOWN) through the whole list,
//   each page followed by UpdateWindow, which paints it before it returns,
//   and a WM_NULL round trip;
// - deleting DELETE reminders (1000 by default), every (kept / DELETE)th row
//   selected beforehand: from the "削除" command until the list view counts
//   the rest and has painted; the files are counted afterwards.
// Markdown on stdout. The folder keeps the deletions.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "latency_summary.h"
#include "loxa_reminder/resource_ids.h"
#include "reminder_folder.h"
#include "reminder_program.h"

namespace {

constexpr UINT kShowListMessage = WM_APP + 1;
constexpr char kListTitle[] = "番組リマインダー - 一覧";
constexpr DWORD kWaitMs = 120000;

// Memory in the program's process, for the list view messages that carry
// a pointer.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, SIZE_T size)
        : process_(process),
          at_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
    {}
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer()
    {
        if (at_ != nullptr) {
            VirtualFreeEx(process_, at_, 0, MEM_RELEASE);
        }
    }
    char* Address() const { return static_cast<char*>(at_); }
    bool Write(SIZE_T offset, const void* bytes, SIZE_T size) const
    {
        SIZE_T done = 0;
        return WriteProcessMemory(process_, Address() + offset, bytes, size, &done) && done == size;
    }
    bool Read(SIZE_T offset, void* bytes, SIZE_T size) const
    {
        SIZE_T done = 0;
        return ReadProcessMemory(process_, Address() + offset, bytes, size, &done) && done == size;
    }

private:
    HANDLE process_;
    void* at_;
};

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kWaitMs, &result)) {
        std::fprintf(stderr, "SendMessageTimeoutA(0x%x) failed: error %lu\n", message,
                     GetLastError());
        return -1;
    }
    return static_cast<LRESULT>(result);
}

int ItemCount(HWND view)
{
    return static_cast<int>(Send(view, LVM_GETITEMCOUNT));
}

// Paints what is left to paint before it returns, then one round trip.
bool Painted(HWND view)
{
    UpdateWindow(view);
    Send(view, WM_NULL);
    return GetUpdateRect(view, nullptr, FALSE) == FALSE;
}

bool WaitForItemCount(HWND view, int count)
{
    const DWORD start = GetTickCount();
    while (ItemCount(view) != count) {
        if (GetTickCount() - start > kWaitMs) {
            std::fprintf(stderr, "LVM_GETITEMCOUNT stayed %d, not %d\n", ItemCount(view), count);
            return false;
        }
        PauseAnsweringMessages(1);
    }
    return true;
}

// The text of one cell, read through the program's memory.
std::string CellText(HWND view, const RemoteBuffer& remote, int row, int column)
{
    constexpr SIZE_T kTextAt = 256;
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = remote.Address() + kTextAt;
    item.cchTextMax = 256;
    char text[256] = {};
    if (!remote.Write(0, &item, sizeof item)
        || Send(view, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                reinterpret_cast<LPARAM>(remote.Address()))
               < 0
        || !remote.Read(kTextAt, text, sizeof text - 1)) {
        return std::string();
    }
    return text;
}

double MsSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return ElapsedMs(start, now);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: reminder_list_timing FOLDER [DELETE]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int toDelete = argc > 2 ? static_cast<int>(std::strtol(argv[2], nullptr, 10)) : 1000;
    const std::string clockFile = folder + ".clock.txt";
    const int kept = static_cast<int>(ReminderNames(folder + "\\").size());
    if (kept < toDelete || toDelete <= 0 || !WriteClockFile(clockFile)) {
        std::fprintf(stderr, "%s holds %d reminders, fewer than %d to delete\n", folder.c_str(),
                     kept, toDelete);
        return 1;
    }
    ReminderProgram program;
    if (!StartReminderProgram(folder, clockFile, kWaitMs, program)) {
        return 1;
    }
    HANDLE process = program.process.process.get();
    const RemoteBuffer remote(process, 4096);
    if (remote.Address() == nullptr) {
        std::fprintf(stderr, "VirtualAllocEx failed: error %lu\n", GetLastError());
        return 1;
    }

    LARGE_INTEGER start{};
    QueryPerformanceCounter(&start);
    if (!PostMessageA(program.window, kShowListMessage, 0, 0)) {
        std::fprintf(stderr, "PostMessageA(kShowListMessage) failed: error %lu\n", GetLastError());
        return 1;
    }
    HWND dialog = WaitForProcessWindow(program.process.processId, "#32770", kListTitle, kWaitMs, 1);
    HWND view = dialog != nullptr ? GetDlgItem(dialog, IDC_LIST_VIEW) : nullptr;
    if (view == nullptr) {
        std::fprintf(stderr, "no list dialog with its list view: error %lu\n", GetLastError());
        return 1;
    }
    if (!WaitForItemCount(view, kept) || !Painted(view)) {
        std::fprintf(stderr, "the list did not show %d rows painted\n", kept);
        return 1;
    }
    const double openMs = MsSince(start);
    std::fprintf(stderr, "first row: %s | %s\n", CellText(view, remote, 0, 0).c_str(),
                 CellText(view, remote, 0, 1).c_str());

    const int perPage = static_cast<int>(Send(view, LVM_GETCOUNTPERPAGE));
    std::vector<double> pages;
    int top = static_cast<int>(Send(view, LVM_GETTOPINDEX));
    while (perPage > 0 && top + perPage < kept) {
        QueryPerformanceCounter(&start);
        Send(view, WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0));
        if (!Painted(view)) {
            std::fprintf(stderr, "a page was not painted after UpdateWindow\n");
            return 1;
        }
        pages.push_back(MsSince(start));
        const int next = static_cast<int>(Send(view, LVM_GETTOPINDEX));
        if (next <= top) {
            std::fprintf(stderr, "WM_VSCROLL SB_PAGEDOWN stopped at row %d of %d\n", top, kept);
            return 1;
        }
        top = next;
    }
    double scrollMs = 0;
    for (const double page : pages) {
        scrollMs += page;
    }
    std::fprintf(stderr, "last page starts at row %d: %s\n", top,
                 CellText(view, remote, top, 1).c_str());

    LVITEMA selected{};
    selected.stateMask = LVIS_SELECTED;
    selected.state = LVIS_SELECTED;
    if (!remote.Write(0, &selected, sizeof selected)) {
        std::fprintf(stderr, "WriteProcessMemory failed: error %lu\n", GetLastError());
        return 1;
    }
    const int step = kept / toDelete;
    for (int i = 0; i < toDelete; ++i) {
        Send(view, LVM_SETITEMSTATE, static_cast<WPARAM>(i * step),
             reinterpret_cast<LPARAM>(remote.Address()));
    }
    const int selectedCount = static_cast<int>(Send(view, LVM_GETSELECTEDCOUNT));
    if (selectedCount != toDelete) {
        std::fprintf(stderr, "LVM_SETITEMSTATE selected %d rows, not %d\n", selectedCount,
                     toDelete);
        return 1;
    }
    QueryPerformanceCounter(&start);
    Send(dialog, WM_COMMAND, MAKEWPARAM(IDC_LIST_DELETE, BN_CLICKED),
         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_LIST_DELETE)));
    if (!WaitForItemCount(view, kept - toDelete) || !Painted(view)) {
        return 1;
    }
    const double deleteMs = MsSince(start);
    const int filesLeft = static_cast<int>(ReminderNames(folder + "\\").size());
    CloseReminderProgram(program);

    const LatencySummary page = Summarize(pages);
    std::printf("| Step, %d reminders kept | Time | Goal |\n", kept);
    std::printf("|---|---:|---|\n");
    std::printf("| open the list until %d rows show and the first page is painted | %s | < 1 s |\n",
                kept, FormatMs(openMs).c_str());
    std::printf(
        "| page down through the whole list (%zu pages of %d rows), in all | %s | < 1 s |\n",
        pages.size(), perPage, FormatMs(scrollMs).c_str());
    std::printf("| one page: median [slowest] | %s [%s] | - |\n", FormatMs(page.median).c_str(),
                FormatMs(page.max).c_str());
    std::printf("| delete %d selected rows (every %dth) until %d rows are painted | %s | < 1 s |\n",
                toDelete, step, kept - toDelete, FormatMs(deleteMs).c_str());
    std::printf("\nFiles left after the deletion: %d (expected %d).\n", filesLeft, kept - toDelete);
    return filesLeft == kept - toDelete ? 0 : 1;
}
