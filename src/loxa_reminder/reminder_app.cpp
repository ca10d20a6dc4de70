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
#include "loxa_reminder/timer_wait.h"

namespace {

constexpr UINT_PTR kDueTimer = 1;
constexpr UINT kIconId = 1;
// A reminder shown more than a minute after its time says it is late.
constexpr std::int64_t kLateAfterSeconds = 60;

ReminderApp app;

constexpr UINT_PTR kRetryTimer = 2;
constexpr UINT kFirstRetryMs = 2000;
constexpr UINT kLongestRetryMs = 10 * 60 * 1000;

struct HeldFiles {
    std::vector<std::string> names;
    UINT delayMs = kFirstRetryMs;
};
HeldFiles heldFiles;
UINT taskbarCreatedMessage = 0;

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

unsigned CountWaiting()
{
    return static_cast<unsigned>(
        std::count_if(app.reminders.begin(), app.reminders.end(), [](const Reminder& reminder) {
            return reminder.stored.kept.state == ReminderState::Waiting;
        }));
}

void UpdateTooltip()
{
    NOTIFYICONDATAA data = IconData();
    data.uFlags = NIF_TIP;
    const unsigned waiting = CountWaiting();
    if (waiting == 0) {
        CopyText(data.szTip, kTooltipNone, sizeof data.szTip);
    } else {
        std::snprintf(data.szTip, sizeof data.szTip, kTooltipCount, waiting);
    }
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

void ShowBalloon(const Reminder& reminder)
{
    ChipView chip;
    const std::vector<unsigned char>& bytes = reminder.stored.kept.chip;
    ReadChip(bytes.data(), bytes.size(), chip);
    NOTIFYICONDATAA data = IconData();
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_INFO;
    CopyText(data.szInfoTitle, kProgramName, sizeof data.szInfoTitle);
    const std::string text = std::string(chip.title.empty() ? kUntitled : std::string(chip.title))
                             + "\n" + FormatDueTime(reminder.due);
    CopyText(data.szInfo, text.c_str(), sizeof data.szInfo);
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

bool IsPending(const Reminder& reminder)
{
    return reminder.stored.kept.state == ReminderState::Waiting && reminder.notice == nullptr;
}

// One timer, set to the earliest pending reminder; none when nothing waits.
void ArmTimer()
{
    KillTimer(app.window, kDueTimer);
    std::int64_t earliest = INT64_MAX;
    for (const Reminder& reminder : app.reminders) {
        if (IsPending(reminder)) {
            earliest = std::min(earliest, SecondsSince1601(reminder.due));
        }
    }
    if (earliest == INT64_MAX) {
        return;
    }
    const std::int64_t wait = SecondsUntilNextLook(ReadLocalClock(), earliest);
    SetTimer(app.window, kDueTimer, static_cast<UINT>(wait * 1000), nullptr);
}

// Shows every pending reminder whose time has come, then waits for the next.
void ShowDueReminders()
{
    const std::int64_t now = NowSeconds();
    bool shown = false;
    for (Reminder& reminder : app.reminders) {
        const std::int64_t due = SecondsSince1601(reminder.due);
        if (IsPending(reminder) && due <= now) {
            reminder.notice =
                ShowNoticeWindow(app.instance, reminder, now - due > kLateAfterSeconds);
            if (reminder.notice != nullptr && !shown) {
                ShowBalloon(reminder);
                MessageBeep(MB_ICONASTERISK);
                shown = true;
            }
        }
    }
    if (shown) {
        RefreshListWindow();
    }
    ArmTimer();
}

void ReflectChanges()
{
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
    for (Reminder& reminder : app.reminders) {
        if (reminder.notice != nullptr) {
            DestroyWindow(reminder.notice);
            reminder.notice = nullptr;
        }
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

// Kept reminders read from disk join the others with their due times.
void AddLoaded(std::vector<StoredReminder> loaded)
{
    for (StoredReminder& stored : loaded) {
        if (IsLeftOverDone(stored.kept)) {
            DeleteReminder(app.folder, stored.name);
            continue;
        }
        Reminder reminder;
        ChipView chip;
        ReadChip(stored.kept.chip.data(), stored.kept.chip.size(), chip);
        reminder.due = DueTimeOfChip(chip, stored.kept.received);
        reminder.stored = std::move(stored);
        app.reminders.push_back(std::move(reminder));
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
        ReflectChanges();
        return 0;
    case WM_TIMER:
        if (wParam == kDueTimer) {
            ShowDueReminders();
        } else if (wParam == kRetryTimer) {
            RetryHeldFiles();
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
    Reminder reminder;
    reminder.stored.name = NewReminderName();
    reminder.stored.kept.deleteWhenDone = deleteWhenDone;
    LocalMoment received = ReadLocalClock();
    received.second = 0;
    reminder.stored.kept.received = received;
    reminder.stored.kept.chip.assign(bytes, bytes + size);
    if (!WriteReminder(app.folder, reminder.stored)) {
        return false;
    }
    ChipView chip;
    ReadChip(bytes, size, chip);
    reminder.due = DueTimeOfChip(chip, received);
    app.reminders.push_back(std::move(reminder));
    // The rest waits until the acknowledgement is out.
    PostMessageA(app.window, kChangedMessage, 0, 0);
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

// cppcheck-suppress constParameter ; a window handle is passed as it is
Reminder* FindReminderByNotice(HWND notice)
{
    for (Reminder& reminder : app.reminders) {
        if (reminder.notice == notice) {
            return &reminder;
        }
    }
    return nullptr;
}

Reminder* FindReminderByName(const std::string& name)
{
    for (Reminder& reminder : app.reminders) {
        if (reminder.stored.name == name) {
            return &reminder;
        }
    }
    return nullptr;
}

void CompleteReminder(HWND notice)
{
    Reminder* reminder = FindReminderByNotice(notice);
    if (reminder == nullptr) {
        DestroyWindow(notice);
        return;
    }
    if (!CloseOnDisk(app.folder, reminder->stored)) {
        // Still waiting on disk: it stays waiting here and its window stays.
        MessageBoxA(notice, kCloseFailedText, kProgramName, MB_OK | MB_ICONWARNING);
        return;
    }
    DestroyWindow(notice);
    reminder->notice = nullptr;
    if (reminder->stored.kept.deleteWhenDone) {
        app.reminders.erase(app.reminders.begin() + (reminder - app.reminders.data()));
    }
    ReflectChanges();
}

void DeleteReminders(const std::vector<std::string>& names)
{
    bool failed = false;
    for (const std::string& name : names) {
        Reminder* reminder = FindReminderByName(name);
        if (reminder == nullptr) {
            continue;
        }
        if (!DeleteReminder(app.folder, name)) {
            failed = true;
            continue;
        }
        if (reminder->notice != nullptr) {
            DestroyWindow(reminder->notice);
        }
        app.reminders.erase(app.reminders.begin() + (reminder - app.reminders.data()));
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
