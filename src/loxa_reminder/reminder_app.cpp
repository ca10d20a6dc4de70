#include "loxa_reminder/reminder_app.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>

#include "chip/read_chip.h"
#include "loxa_reminder/copy_text.h"
#include "loxa_reminder/dde_server.h"
#include "loxa_reminder/due_time.h"
#include "loxa_reminder/list_window.h"
#include "loxa_reminder/notice_window.h"
#include "loxa_reminder/reminder_clock.h"
#include "loxa_reminder/reminder_closing.h"
#include "loxa_reminder/reminder_texts.h"
#include "loxa_reminder/resource_ids.h"
#include "loxa_reminder/summary_window.h"
#include "loxa_reminder/timer_wait.h"

namespace {

constexpr UINT_PTR kDueTimer = 1;
constexpr UINT kIconId = 1;
// A reminder shown more than a minute after its time says it is late.
constexpr std::int64_t kLateAfterSeconds = 60;
// At most this many reminder windows at once; the others that are due wait
// in the summary window, in due order, for a window to close. Thousands of
// windows at a start would exhaust the user-object quota.
constexpr std::size_t kMostNoticeWindows = 5;
// After a reminder window could not be made, the next try waits, doubling
// from one second to a minute.
constexpr DWORD kFirstNoticeRetryMs = 1000;
constexpr DWORD kLastNoticeRetryMs = 60 * 1000;

ReminderApp app;

constexpr UINT_PTR kRetryTimer = 2;
// Deleted reminders' files go a few per tick, so that the program stays
// quick to answer while a slow disk frees them.
constexpr UINT_PTR kPurgeTimer = 3;
constexpr UINT kPurgeIntervalMs = 10;
constexpr std::size_t kPurgeBatch = 8;
constexpr UINT kFirstRetryMs = 2000;
constexpr UINT kLongestRetryMs = 10 * 60 * 1000;

struct HeldFiles {
    std::vector<std::string> names;
    UINT delayMs = kFirstRetryMs;
};
HeldFiles heldFiles;
UINT taskbarCreatedMessage = 0;
bool changePosted = false;
DWORD noticeRetryMs = 0; // while not 0, no window is tried before noticeFailedAt + it
DWORD noticeFailedAt = 0;

NOTIFYICONDATAA IconData()
{
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = app.window;
    data.uID = kIconId;
    return data;
}

void AddIcon()
{
    NOTIFYICONDATAA data = IconData();
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = LoadIconA(app.instance, MAKEINTRESOURCEA(IDI_REMINDER));
    CopyText(data.szTip, kProgramName, sizeof data.szTip);
    Shell_NotifyIconA(NIM_ADD, &data);
    // Keyboard selection and the context-menu key reach the window too.
    data.uVersion = NOTIFYICON_VERSION;
    Shell_NotifyIconA(NIM_SETVERSION, &data);
}

void RemoveIcon()
{
    NOTIFYICONDATAA data = IconData();
    Shell_NotifyIconA(NIM_DELETE, &data);
}

void UpdateTooltip()
{
    NOTIFYICONDATAA data = IconData();
    data.uFlags = NIF_TIP;
    const unsigned waiting = app.reminders.waiting;
    if (waiting == 0) {
        CopyText(data.szTip, kTooltipNone, sizeof data.szTip);
    } else {
        std::snprintf(data.szTip, sizeof data.szTip, kTooltipCount, waiting);
    }
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

void ShowBalloon(const Reminder& reminder)
{
    NOTIFYICONDATAA data = IconData();
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_INFO;
    CopyText(data.szInfoTitle, kProgramName, sizeof data.szInfoTitle);
    const std::string text = reminder.title + "\n" + FormatDueTime(reminder.due);
    CopyText(data.szInfo, text.c_str(), sizeof data.szInfo);
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

bool MayTryNotice()
{
    return noticeRetryMs == 0 || GetTickCount() - noticeFailedAt >= noticeRetryMs;
}

void NoticeFailed()
{
    noticeRetryMs = std::clamp<DWORD>(noticeRetryMs * 2, kFirstNoticeRetryMs, kLastNoticeRetryMs);
    noticeFailedAt = GetTickCount();
}

// One timer, set to the next reminder to come due, or to the next try after
// a window could not be made; none when nothing waits. Due reminders that
// wait for a free window need no timer: a closing window shows the next.
void ArmTimer()
{
    KillTimer(app.window, kDueTimer);
    const LocalMoment clock = ReadLocalClock();
    const std::int64_t now = SecondsSince1601(clock);
    std::int64_t waitMs = INT64_MAX;
    const std::set<DueKey>& pending = app.reminders.pending;
    const auto next = pending.lower_bound(DueKey{now + 1, std::string()});
    if (next != pending.end()) {
        waitMs = SecondsUntilNextLook(clock, next->first) * 1000;
    }
    if (noticeRetryMs != 0 && !pending.empty() && pending.begin()->first <= now) {
        const DWORD waited = GetTickCount() - noticeFailedAt;
        waitMs =
            std::min<std::int64_t>(waitMs, waited < noticeRetryMs ? noticeRetryMs - waited : 0);
    }
    if (waitMs != INT64_MAX) {
        SetTimer(app.window, kDueTimer, static_cast<UINT>(waitMs), nullptr);
    }
}

// Due reminders that are shown in no window yet.
unsigned CountDueWithoutWindow(std::int64_t now)
{
    unsigned count = 0;
    for (const DueKey& key : app.reminders.pending) {
        if (key.first > now) {
            break;
        }
        ++count;
    }
    return count;
}

// Shows the pending reminders whose time has come, earliest first, as far as
// windows may be opened; tells of the rest in the summary; then waits for
// the next.
void ShowDueReminders()
{
    const std::int64_t now = NowSeconds();
    bool shown = false;
    std::set<DueKey>& pending = app.reminders.pending;
    while (!pending.empty() && pending.begin()->first <= now
           && app.reminders.byNotice.size() < kMostNoticeWindows && MayTryNotice()) {
        Reminder* reminder = FindReminder(app.reminders, pending.begin()->second);
        HWND notice = ShowNoticeWindow(app.instance, *reminder,
                                       now - reminder->dueSeconds > kLateAfterSeconds);
        if (notice == nullptr) {
            NoticeFailed();
            break;
        }
        noticeRetryMs = 0;
        SetNotice(app.reminders, *reminder, notice);
        if (!shown) {
            ShowBalloon(*reminder);
            MessageBeep(MB_ICONASTERISK);
            shown = true;
        }
    }
    UpdateSummaryWindow(app.instance, CountDueWithoutWindow(now));
    if (shown) {
        RefreshListWindow();
    }
    ArmTimer();
}

void PurgeLater()
{
    if (HasDeletedFiles()) {
        SetTimer(app.window, kPurgeTimer, kPurgeIntervalMs, nullptr);
    }
}

void ReflectChanges()
{
    PurgeLater();
    UpdateTooltip();
    RefreshListWindow();
    ShowDueReminders();
}

void ShowMenu()
{
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        return;
    }
    AppendMenuA(menu, MF_STRING, IDM_SHOW_LIST, kMenuShowList);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_EXIT, kMenuExit);
    SetMenuDefaultItem(menu, IDM_SHOW_LIST, FALSE);
    POINT at{};
    GetCursorPos(&at);
    // The menu closes when the user clicks elsewhere only if the window is
    // in front.
    SetForegroundWindow(app.window);
    const UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x,
                                       at.y, 0, app.window, nullptr);
    PostMessageA(app.window, WM_NULL, 0, 0);
    DestroyMenu(menu);
    if (chosen == IDM_SHOW_LIST) {
        ShowListWindow(app.instance);
    } else if (chosen == IDM_EXIT) {
        PostMessageA(app.window, WM_CLOSE, 0, 0);
    }
}

void OnTrayMessage(LPARAM lParam)
{
    switch (LOWORD(lParam)) {
    case WM_CONTEXTMENU:
    case WM_RBUTTONUP:
        ShowMenu();
        break;
    case NIN_SELECT:
    case NIN_KEYSELECT:
    case WM_LBUTTONDBLCLK:
        ShowListWindow(app.instance);
        break;
    default:
        break;
    }
}

void CloseAllWindows()
{
    while (!app.reminders.byNotice.empty()) {
        const auto first = app.reminders.byNotice.begin();
        HWND notice = first->first;
        SetNotice(app.reminders, *FindReminder(app.reminders, first->second), nullptr);
        DestroyWindow(notice);
    }
    if (app.summary != nullptr) {
        DestroyWindow(app.summary);
    }
    if (app.list != nullptr) {
        DestroyWindow(app.list);
    }
}

// Every accepted reminder is on disk already, so ending loses nothing.
void Shutdown()
{
    StopDdeServer();
    RemoveIcon();
}

// A kept reminder as the program holds it: its due time and title read once.
Reminder MakeReminder(StoredReminder stored)
{
    Reminder reminder;
    ChipView chip;
    ReadChip(stored.kept.chip.data(), stored.kept.chip.size(), chip);
    reminder.due = DueTimeOfChip(chip, stored.kept.received);
    reminder.dueSeconds = SecondsSince1601(reminder.due);
    reminder.title = chip.title.empty() ? std::string(kUntitled) : std::string(chip.title);
    reminder.stored = std::move(stored);
    return reminder;
}

// Kept reminders read from disk join the others with their due times.
void AddLoaded(std::vector<StoredReminder> loaded)
{
    for (StoredReminder& stored : loaded) {
        if (IsLeftOverDone(stored.kept)) {
            DeleteReminder(app.folder, stored.name);
            continue;
        }
        AddReminder(app.reminders, MakeReminder(std::move(stored)));
    }
}

// Files another program held at the start are tried again a few seconds
// later, then less and less often, until every one is read.
void RetryHeldLater()
{
    if (heldFiles.names.empty()) {
        KillTimer(app.window, kRetryTimer);
        return;
    }
    SetTimer(app.window, kRetryTimer, heldFiles.delayMs, nullptr);
    heldFiles.delayMs = std::min(heldFiles.delayMs * 2, kLongestRetryMs);
}

void RetryHeldFiles()
{
    AddLoaded(LoadHeldReminders(app.folder, heldFiles.names));
    RetryHeldLater();
    ReflectChanges();
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kTrayMessage:
        OnTrayMessage(lParam);
        return 0;
    case kShowListMessage:
        ShowListWindow(app.instance);
        return 0;
    case kChangedMessage:
        changePosted = false;
        ReflectChanges();
        return 0;
    case WM_TIMER:
        if (wParam == kDueTimer) {
            ShowDueReminders();
        } else if (wParam == kRetryTimer) {
            RetryHeldFiles();
        } else if (wParam == kPurgeTimer && !PurgeDeletedFiles(kPurgeBatch)) {
            KillTimer(app.window, kPurgeTimer);
        }
        return 0;
    case WM_TIMECHANGE:
        ReflectChanges();
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) {
            ShowDueReminders();
        }
        return TRUE;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // Every accepted chip is on disk already: end now, so that no copy
        // without service or icon keeps the single-instance mutex.
        if (wParam) {
            DestroyWindow(window);
        }
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        CloseAllWindows();
        Shutdown();
        PostQuitMessage(0);
        return 0;
    default:
        if (message == taskbarCreatedMessage && taskbarCreatedMessage != 0) {
            AddIcon();
            UpdateTooltip();
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool AcceptChip(const unsigned char* bytes, std::size_t size, bool deleteWhenDone)
{
    StoredReminder stored;
    stored.kept.chip.assign(bytes, bytes + size);
    // "登録" pressed again after a poke whose acknowledgement came too late
    // for loxa.exe: the user wants one reminder, and has it.
    if (FindWaitingChip(app.reminders, stored.kept.chip) != nullptr) {
        return true;
    }
    stored.name = NewReminderName();
    stored.kept.deleteWhenDone = deleteWhenDone;
    LocalMoment received = ReadLocalClock();
    received.second = 0;
    stored.kept.received = received;
    if (!WriteReminder(app.folder, stored)) {
        return false;
    }
    AddReminder(app.reminders, MakeReminder(std::move(stored)));
    // The rest waits until the acknowledgement is out, once for a burst.
    if (!changePosted) {
        changePosted = PostMessageA(app.window, kChangedMessage, 0, 0) != FALSE;
    }
    return true;
}

void SayWhy(bool quiet, const char* text)
{
    if (!quiet) {
        MessageBoxA(nullptr, text, kProgramName, MB_OK | MB_ICONINFORMATION);
    }
}

} // namespace

ReminderApp& App()
{
    return app;
}

std::int64_t NowSeconds()
{
    return SecondsSince1601(ReadLocalClock());
}

void CompleteReminder(HWND notice)
{
    Reminder* reminder = FindReminderByNotice(app.reminders, notice);
    if (reminder == nullptr) {
        DestroyWindow(notice);
        return;
    }
    // Closed on a copy: the table learns of it only once it is on disk.
    StoredReminder closing = reminder->stored;
    if (!CloseOnDisk(app.folder, closing)) {
        // Still waiting on disk: it stays waiting here and its window stays.
        MessageBoxA(notice, kCloseFailedText, kProgramName, MB_OK | MB_ICONWARNING);
        return;
    }
    DestroyWindow(notice);
    SetNotice(app.reminders, *reminder, nullptr);
    if (reminder->stored.kept.deleteWhenDone) {
        const std::string name = reminder->stored.name;
        EraseReminder(app.reminders, name);
    } else {
        MarkDone(app.reminders, *reminder);
    }
    ReflectChanges();
}

void DeleteReminders(const std::vector<std::string>& names)
{
    bool failed = false;
    for (const std::string& name : names) {
        Reminder* reminder = FindReminder(app.reminders, name);
        if (reminder == nullptr) {
            continue;
        }
        if (!DeleteReminder(app.folder, name)) {
            failed = true;
            continue;
        }
        HWND notice = reminder->notice;
        EraseReminder(app.reminders, name);
        if (notice != nullptr) {
            DestroyWindow(notice);
        }
    }
    ReflectChanges();
    if (failed) {
        MessageBoxA(app.list, kDeleteFailedText, kProgramName, MB_OK | MB_ICONWARNING);
    }
}

bool HandleDialogMessage(MSG& message)
{
    if (message.hwnd == nullptr) {
        return false;
    }
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    return root != nullptr && root != app.window && IsDialogMessageA(root, &message);
}

bool StartReminderApp(HINSTANCE instance, bool quiet, int& exitCode)
{
    app.instance = instance;
    exitCode = 1;
    app.folder = OpenReminderFolder();
    if (app.folder.empty()) {
        SayWhy(quiet, kNoFolderText);
        return false;
    }

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_REMINDER));
    windowClass.lpszClassName = kMainWindowClass;
    if (RegisterClassA(&windowClass) == 0) {
        SayWhy(quiet, kStartFailedText);
        return false;
    }
    // Hidden and top-level (not message-only), so that FindWindow finds it.
    app.window = CreateWindowExA(WS_EX_TOOLWINDOW, kMainWindowClass, kProgramName, WS_OVERLAPPED, 0,
                                 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (app.window == nullptr) {
        SayWhy(quiet, kStartFailedText);
        return false;
    }

    switch (StartDdeServer(&AcceptChip)) {
    case DdeServerStart::Ready:
        break;
    case DdeServerStart::OtherServer:
        SayWhy(quiet, kOtherServerText);
        exitCode = 2;
        DestroyWindow(app.window);
        return false;
    case DdeServerStart::Failed:
        SayWhy(quiet, kStartFailedText);
        DestroyWindow(app.window);
        return false;
    }

    AddLoaded(LoadReminders(app.folder, heldFiles.names));
    RetryHeldLater();
    PurgeLater();

    // Pokes are taken once every kept reminder is known (names stay unique).
    if (!OfferDdeService()) {
        SayWhy(quiet, kStartFailedText);
        DestroyWindow(app.window);
        return false;
    }
    taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    AddIcon();
    UpdateTooltip();
    // Reminders that came due while the program was not running.
    ShowDueReminders();
    exitCode = 0;
    return true;
}
