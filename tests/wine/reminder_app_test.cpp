// loxa-reminder.exe under Wine: it keeps what Loxa pokes, reminds at the time
// (its clock moved through LOXA_REMINDER_CLOCK_FILE), late-night hours on the
// next day, refuses bad chips, survives being killed mid-burst, shows late
// reminders after a start and at most a few windows of many, keeps the list's
// selection with its reminder, and runs once.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>

#include "../native/bad_chips.h"
#include "end_to_end_support.h"
#include "loxa_reminder/reminder_file.h"
#include "program_data_dialog_driver.h"
#include "reminder/chip_clipboard_format.h"
#include "reminder/chip_record.h"
#include "reminder/send_chip_record.h"
#include "reminder_receiver_process.h"
#include "reminder_service_probe.h"
#include "test_files.h"

namespace {

const std::string kNoticeTitle = "番組リマインダー";
const std::string kListTitle = "番組リマインダー - 一覧";
const std::string kLate = "（遅れてお知らせしています）";
const std::string kCloseFailed =
    "このリマインダーを完了にできませんでした。\n"
    "ディスクがいっぱいか、ほかのプログラムがファイルを使っています。\n"
    "リマインダーはそのまま残しています。しばらくしてから、もう一度「閉じる」を押してください。";
const std::string kOtherServer =
    "ほかのリマインダーアプリケーションが既に動いています。\n"
    "番組リマインダーは起動せずに終了します。";
// Dialog controls of the reminder window.
constexpr int kNoticeTitleId = 1001;
constexpr int kNoticeDueId = 1002;
constexpr int kNoticeMemoId = 1003;

bool WaitForEnd(const LoxaProcess& process, DWORD timeoutMs, DWORD& exitCode)
{
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(process.process.get(), 0) == WAIT_TIMEOUT) {
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        PauseAnsweringMessages(20);
    }
    return GetExitCodeProcess(process.process.get(), &exitCode) != FALSE;
}

std::string ReminderExecutablePath()
{
    const std::string loxa = LoxaExecutablePath();
    return loxa.substr(0, loxa.find_last_of('\\') + 1) + "loxa-reminder.exe";
}

std::string ControlText(HWND window, int id)
{
    char text[4096] = {};
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

// The names in a folder (ending in a backslash) and whether each is a folder.
std::vector<std::pair<std::string, bool>> FolderEntries(const std::string& folder)
{
    std::vector<std::pair<std::string, bool>> entries;
    WIN32_FIND_DATAA found{};
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return entries;
    }
    do {
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!isFolder || found.cFileName[0] != '.') {
            entries.emplace_back(found.cFileName, isFolder);
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return entries;
}

// The program's files, its subfolders and the folder itself; the scratch
// folder removes only what the test wrote, and a run cut short leaves them for
// the next one.
void EmptyDataFolder(const std::string& data)
{
    if (data.empty()) {
        return;
    }
    for (const auto& [name, isFolder] : FolderEntries(data)) {
        if (isFolder) {
            EmptyDataFolder(data + name + "\\");
        } else {
            DeleteFileA((data + name).c_str());
        }
    }
    RemoveDirectoryA(data.c_str());
}

// One test's reminder program: its data folder and clock file in the test's
// scratch folder, handed to it through the environment.
struct ReminderRun {
    ScratchFolder folder;
    std::string data;      // the data folder, with a trailing backslash
    std::string clockFile; // "YYYY-MM-DD HH:MM:SS"
    LoxaProcess process;
    HWND window = nullptr; // its hidden main window

    ReminderRun() = default;
    ReminderRun(const ReminderRun&) = delete;
    ReminderRun& operator=(const ReminderRun&) = delete;
    ~ReminderRun()
    {
        SetEnvironmentVariableA("LOXA_REMINDER_FOLDER", nullptr);
        SetEnvironmentVariableA("LOXA_REMINDER_CLOCK_FILE", nullptr);
        process = LoxaProcess{};
        EmptyDataFolder(data);
    }
};

void PrepareRun(ReminderRun& run, const std::string& clock)
{
    ASSERT_TRUE(CreateTestFolder(run.folder));
    run.data = run.folder.path + "data\\";
    EmptyDataFolder(run.data);
    run.clockFile = run.folder.path + "clock.txt";
    ASSERT_FALSE(WriteScratchFile(run.folder, "clock.txt", clock).empty());
    // Children inherit these; the tests run one at a time.
    SetEnvironmentVariableA("LOXA_REMINDER_FOLDER",
                            run.data.substr(0, run.data.size() - 1).c_str());
    SetEnvironmentVariableA("LOXA_REMINDER_CLOCK_FILE", run.clockFile.c_str());
}

bool StartReminderProgram(const std::string& tail, LoxaProcess& process)
{
    std::string commandLine = "\"" + ReminderExecutablePath() + "\"";
    if (!tail.empty()) {
        commandLine += " " + tail;
    }
    process = LoxaProcess{};
    PROCESS_INFORMATION info{};
    if (!StartProcessInJob(commandLine, nullptr, process.job, info)) {
        return false;
    }
    process.process.reset(info.hProcess);
    process.processId = info.dwProcessId;
    return true;
}

// The hidden main window of the process.
HWND WaitForMainWindow(DWORD processId, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        HWND window = nullptr;
        while ((window = FindWindowExA(nullptr, window, "LoxaReminder", nullptr)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == processId) {
                return window;
            }
        }
        PauseAnsweringMessages(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

// Starts the program and waits until it offers its service: its window
// comes first, the service once the kept reminders are loaded.
void StartAndWait(ReminderRun& run)
{
    ASSERT_TRUE(StartReminderProgram("", run.process)) << DriverFailure();
    const DWORD start = GetTickCount();
    run.window = WaitForMainWindow(run.process.processId, kWaitMs);
    if (run.window == nullptr) {
        DWORD exitCode = STILL_ACTIVE;
        GetExitCodeProcess(run.process.process.get(), &exitCode);
        FAIL() << "no main window after " << GetTickCount() - start << " ms; the program "
               << (exitCode == STILL_ACTIVE ? "still runs"
                                            : "ended with exit code " + std::to_string(exitCode));
    }
    while (!ReminderServiceAnswers()) {
        ASSERT_LT(GetTickCount() - start, kWaitMs) << "the service was not offered";
        PauseAnsweringMessages(20);
    }
}

// Ends the program as the installer does, and waits for its end.
void CloseProgram(ReminderRun& run)
{
    PostMessageA(run.window, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    ASSERT_TRUE(WaitForEnd(run.process, kWaitMs, exitCode));
    EXPECT_EQ(exitCode, 0u);
}

// Moves the program's clock and tells it, as Windows tells every window when
// the clock is set. The new time is written aside and moved over the clock
// file, never rewritten in place: the program reads the file whenever it
// looks at the time, and a file caught between its truncation and its write
// reads as no clock, so the program took the real time and showed a
// reminder as late.
void SetClock(const ReminderRun& run, const std::string& clock)
{
    const std::string next = run.clockFile + ".next";
    UniqueHandle file(CreateFileA(next.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(
        file
        && WriteFile(file.get(), clock.data(), static_cast<DWORD>(clock.size()), &written, nullptr))
        << "writing " << next << ": error " << GetLastError();
    file.reset();
    // While the program has the clock file open for its read, the file
    // cannot be replaced; it is again a moment later.
    const ULONGLONG deadline = GetTickCount64() + kWaitMs;
    while (!MoveFileExA(next.c_str(), run.clockFile.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const DWORD error = GetLastError();
        ASSERT_LT(GetTickCount64(), deadline) << "MoveFileExA(" << next << "): error " << error;
        Sleep(1);
    }
    DWORD_PTR result = 0;
    ASSERT_TRUE(
        SendMessageTimeoutA(run.window, WM_TIMECHANGE, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &result))
        << "SendMessageTimeoutA(WM_TIMECHANGE): error " << GetLastError();
}

struct NoticeSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectNotice(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<NoticeSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    if (owner == search->processId && IsWindowVisible(window) && title == kNoticeTitle) {
        search->found.push_back(window);
    }
    return TRUE;
}

// The visible reminder windows of the process.
std::vector<HWND> NoticeWindows(DWORD processId)
{
    NoticeSearch search{processId, {}};
    EnumWindows(&CollectNotice, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> WaitForNotices(DWORD processId, std::size_t count, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    std::vector<HWND> notices;
    while ((notices = NoticeWindows(processId)).size() < count
           && GetTickCount() - start < timeoutMs) {
        PauseAnsweringMessages(20);
    }
    return notices;
}

struct KeptFile {
    std::string name;
    KeptReminder reminder;
    ChipView chip;
};

// The data folder's files ("name", or "subfolder\\name" one level down),
// and its reminder files read back.
std::vector<std::string> FolderFiles(const std::string& data)
{
    std::vector<std::string> names;
    for (const auto& [name, isFolder] : FolderEntries(data)) {
        if (!isFolder) {
            names.push_back(name);
            continue;
        }
        for (const auto& [inner, innerIsFolder] : FolderEntries(data + name + "\\")) {
            std::string path = name + "\\";
            path += inner;
            path += innerIsFolder ? "\\" : "";
            names.push_back(path);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool ReadKept(const std::string& path, KeptFile& kept)
{
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    std::vector<unsigned char> bytes(GetFileSize(file.get(), nullptr));
    DWORD read = 0;
    if (!bytes.empty()
        && !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        return false;
    }
    return DecodeReminderFile(bytes.data(), bytes.size(), kept.reminder)
           && ReadChip(kept.reminder.chip.data(), kept.reminder.chip.size(), kept.chip)
                  == ChipFault::None;
}

std::vector<KeptFile> KeptReminders(const std::string& data)
{
    std::vector<KeptFile> kept;
    for (const std::string& name : FolderFiles(data)) {
        KeptFile file;
        file.name = name;
        if (name.size() > 9 && name.compare(name.size() - 9, 9, ".reminder") == 0
            && ReadKept(data + name, file)) {
            kept.push_back(std::move(file));
        }
    }
    return kept;
}

// Sets the chip's creation date (offsets 196, 200, 204), so that its due
// year does not follow the real clock.
std::string Dated(std::string chip, std::int32_t year, std::int32_t month, std::int32_t day)
{
    const std::int32_t fields[][2] = {{196, year}, {200, month}, {204, day}};
    for (const auto& field : fields) {
        for (int i = 0; i < 4; ++i) {
            chip[static_cast<std::size_t>(field[0]) + static_cast<std::size_t>(i)] =
                static_cast<char>(static_cast<std::uint32_t>(field[1]) >> (8 * i));
        }
    }
    return chip;
}

// Dated 7 December 2026 whatever the real clock says: the due year follows
// from the creation date, and the tests' clocks are set around that day (a
// chip made on 9 December for 8 December is due a year on).
std::string MakeChip(const std::string& title, const std::string& memo, std::int32_t month,
                     std::int32_t day, std::int32_t hour, std::int32_t minute)
{
    std::vector<unsigned char> record(GetChipRecordSize(title.c_str(), memo.c_str()), 0);
    FillChipRecord(record.data(), static_cast<std::uint32_t>(record.size()), title.c_str(),
                   memo.c_str(), month, day, hour, minute);
    return Dated(std::string(record.begin(), record.end()), 2026, 12, 7);
}

bool Poke(const std::string& chip, bool deleteWhenDone)
{
    RegisterChipClipboardFormat();
    return SendChipRecord(chip.data(), static_cast<std::uint32_t>(chip.size()), deleteWhenDone);
}

std::string Document(const std::string& title, const std::string& start = "21:00",
                     const std::string& end = "21:45")
{
    return "Content-type: application/x-tv-program-info\r\n"
           "version: 1\r\n"
           "station: ＮＨＫ総合\r\n"
           "year: 2026\r\n"
           "month: 12\r\n"
           "date: 7\r\n"
           "start: "
           + start + "\r\nend: " + end
           + "\r\n"
             "program-title: "
           + title
           + "\r\n"
             "\r\n"
             "今日の出来事。\r\n";
}

// Opens the document of a program titled `name` (on 12/7 from `start` to
// `end`) in loxa.exe, sets "終了時削除で作成" as asked and presses "登録" with
// the dialog's lead time; the run must end quietly.
void RegisterThroughLoxa(ReminderRun& run, const std::string& name, bool deleteWhenDone,
                         const std::string& start = "21:00", const std::string& end = "21:45")
{
    const std::string path =
        WriteScratchFile(run.folder, name + ".loxa", Document(name, start, end));
    ASSERT_FALSE(path.empty());
    LoxaProcess loxa;
    ASSERT_TRUE(StartLoxa(path, loxa)) << DriverFailure();
    HWND dialog = WaitForProgramDataDialog(loxa.processId, kWaitMs);
    ASSERT_NE(dialog, nullptr) << DriverFailure();
    ProgramDataDialogView view;
    ASSERT_TRUE(ReadProgramDataDialog(dialog, view));
    if (view.deleteWhenDone != deleteWhenDone) {
        ASSERT_TRUE(ToggleDeleteWhenDone(dialog));
    }
    ASSERT_TRUE(EndProgramDataDialog(dialog, DialogEnding::Register));
    DWORD exitCode = 1;
    std::vector<MessageBoxView> boxes;
    ASSERT_TRUE(AnswerUntilExit(loxa, kWaitMs, exitCode, boxes)) << DriverFailure();
    EXPECT_TRUE(boxes.empty()) << boxes.front().text; // "登録できませんでした" when not kept
    EXPECT_EQ(exitCode, 0u);
}

const KeptFile* FindByTitle(const std::vector<KeptFile>& kept, const std::string& title)
{
    for (const KeptFile& file : kept) {
        if (file.chip.title == title) {
            return &file;
        }
    }
    return nullptr;
}

// Opens a file as another program that lets no one else in (share mode 0).
UniqueHandle HoldFile(const std::string& path)
{
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(file) << "CreateFileA(" << path << ", share 0) failed: " << GetLastError();
    return file;
}

// Writes a reminder file into the data folder as an earlier run left it.
void PlaceKeptFile(ReminderRun& run, const std::string& name, const KeptReminder& reminder)
{
    CreateDirectoryA(run.data.c_str(), nullptr);
    const std::vector<unsigned char> bytes = EncodeReminderFile(reminder);
    ASSERT_FALSE(WriteScratchFile(run.folder, "data\\" + name + ".reminder",
                                  std::string(bytes.begin(), bytes.end()))
                     .empty());
}

// The CPU time all threads of a process have used, in ms; -1 when a thread
// cannot be asked. (Wine answers GetProcessTimes for the calling process
// only, but GetThreadTimes for any thread, from the system's accounting in
// 10 ms ticks.)
double ThreadsCpuMs(DWORD processId)
{
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) {
        ADD_FAILURE() << "CreateToolhelp32Snapshot failed: " << GetLastError();
        return -1;
    }
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    double ms = 0;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more;
         more = Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID != processId) {
            continue;
        }
        UniqueHandle thread(OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID));
        FILETIME created{};
        FILETIME ended{};
        FILETIME kernel{};
        FILETIME user{};
        if (!thread || !GetThreadTimes(thread.get(), &created, &ended, &kernel, &user)) {
            ADD_FAILURE() << "OpenThread/GetThreadTimes of thread " << entry.th32ThreadID
                          << " failed: " << GetLastError();
            return -1;
        }
        for (const FILETIME& time : {kernel, user}) {
            ms += static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32)
                                      | time.dwLowDateTime)
                  / 10000.0;
        }
    }
    return ms;
}

// Waits until no reminder window is left, then expects the only reminder kept
// to be `title`'s, and done. A window goes only once its file is closed; the
// files are read only then, since Wine refuses to rename a file over one that
// another program has open, and a read while the program closes a reminder
// would make its close fail.
void ExpectOnlyOneLeftAndDone(const ReminderRun& run, const std::string& title)
{
    const DWORD start = GetTickCount();
    while (!NoticeWindows(run.process.processId).empty() && GetTickCount() - start < kWaitMs) {
        PauseAnsweringMessages(20);
    }
    const std::vector<KeptFile> kept = KeptReminders(run.data);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].chip.title, title);
    EXPECT_EQ(kept[0].reminder.state, ReminderState::Done);
    EXPECT_TRUE(NoticeWindows(run.process.processId).empty());
}

KeptReminder KeptOf(const std::string& chip, ReminderState state, bool deleteWhenDone)
{
    KeptReminder reminder;
    reminder.state = state;
    reminder.deleteWhenDone = deleteWhenDone;
    reminder.received = {2026, 12, 8, 6, 0};
    reminder.chip.assign(chip.begin(), chip.end());
    return reminder;
}

void SendToMainWindow(const ReminderRun& run, UINT message, WPARAM wParam, LPARAM lParam,
                      DWORD_PTR& result)
{
    ASSERT_TRUE(SendMessageTimeoutA(run.window, message, wParam, lParam, SMTO_ABORTIFHUNG, kWaitMs,
                                    &result))
        << "SendMessageTimeoutA(" << message << ") failed: " << GetLastError();
}

HWND NoticeTitled(DWORD processId, const std::string& title)
{
    for (HWND notice : NoticeWindows(processId)) {
        if (ControlText(notice, kNoticeTitleId) == title) {
            return notice;
        }
    }
    return nullptr;
}
} // namespace

TEST(ReminderApp, RemindsOfWhatLoxaRegisteredAtItsTime)
{
    ReminderRun run;
    ASSERT_NO_FATAL_FAILURE(PrepareRun(run, "2026-01-01 00:00:00"));
    ASSERT_NO_FATAL_FAILURE(StartAndWait(run));
    ASSERT_NO_FATAL_FAILURE(RegisterThroughLoxa(run, "ニュース", true));
    ASSERT_NO_FATAL_FAILURE(RegisterThroughLoxa(run, "天気予報", false));

    const std::vector<KeptFile> kept = KeptReminders(run.data);
    ASSERT_EQ(kept.size(), 2u);
    const KeptFile* news = FindByTitle(kept, "ニュース");
    const KeptFile* weather = FindByTitle(kept, "天気予報");
    ASSERT_TRUE(news != nullptr && weather != nullptr);
    EXPECT_TRUE(news->reminder.deleteWhenDone);
    EXPECT_FALSE(weather->reminder.deleteWhenDone);
    EXPECT_EQ(news->reminder.state, ReminderState::Waiting);
    // 21:00 less the dialog's 5 minutes; loxa.exe dates the chip by the real
    // clock, so the due year follows from it: a chip made by 12/8, the day
    // after, is this year's.
    EXPECT_EQ(news->chip.notifyMonth, 12);
    EXPECT_EQ(news->chip.notifyDay, 7);
    const bool afterTheDay = news->chip.createdMonth == 12 && news->chip.createdDay > 8;
    const std::string year = std::to_string(news->chip.createdYear + (afterTheDay ? 1 : 0));

    ASSERT_NO_FATAL_FAILURE(SetClock(run, year + "-12-07 20:54:59"));
    EXPECT_TRUE(WaitForNotices(run.process.processId, 1, ScaledWaitMs(1000)).empty());
    ASSERT_NO_FATAL_FAILURE(SetClock(run, year + "-12-07 20:55:00"));
    std::vector<HWND> notices = WaitForNotices(run.process.processId, 2, kWaitMs);
    ASSERT_EQ(notices.size(), 2u);
    std::set<std::string> titles;
    for (HWND notice : notices) {
        titles.insert(ControlText(notice, kNoticeTitleId));
        EXPECT_EQ(ControlText(notice, kNoticeDueId), year + "年12月7日 20:55");
        EXPECT_EQ(ControlText(notice, kNoticeMemoId),
                  "タイトル：" + ControlText(notice, kNoticeTitleId)
                      + "\r\n放送局：ＮＨＫ総合 (12/07 21:00 - 21:45)\r\n\r\n今日の出来事。");
    }
    EXPECT_EQ(titles, (std::set<std::string>{"ニュース", "天気予報"}));

    for (HWND notice : notices) {
        ASSERT_TRUE(PressDialogButton(notice, IDOK));
    }
    ASSERT_NO_FATAL_FAILURE(ExpectOnlyOneLeftAndDone(run, "天気予報"));
    ASSERT_NO_FATAL_FAILURE(CloseProgram(run));
}

TEST(ReminderApp, RemindsOfALateNightProgramOnTheNextDay)
{
    ReminderRun run;
    ASSERT_NO_FATAL_FAILURE(PrepareRun(run, "2026-01-01 00:00:00"));
    ASSERT_NO_FATAL_FAILURE(StartAndWait(run));
    // The guide's "25:30" is 01:30 of 12/8; loxa.exe sends the hour as it is.
    ASSERT_NO_FATAL_FAILURE(RegisterThroughLoxa(run, "深夜アニメ", false, "25:30", "26:00"));

    const std::vector<KeptFile> kept = KeptReminders(run.data);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].chip.title, "深夜アニメ");
    EXPECT_EQ(kept[0].chip.notifyMonth, 12);
    EXPECT_EQ(kept[0].chip.notifyDay, 7);
    EXPECT_EQ(kept[0].chip.notifyHour, 25);
    EXPECT_EQ(kept[0].chip.notifyMinute, 25);
    // Dated by the real clock: a chip made by 12/9, the day after the due
    // day, is this year's.
    const bool afterTheDay = kept[0].chip.createdMonth == 12 && kept[0].chip.createdDay > 9;
    const std::string year = std::to_string(kept[0].chip.createdYear + (afterTheDay ? 1 : 0));

    ASSERT_NO_FATAL_FAILURE(SetClock(run, year + "-12-08 01:24:59"));
    EXPECT_TRUE(WaitForNotices(run.process.processId, 1, ScaledWaitMs(1000)).empty());
    ASSERT_NO_FATAL_FAILURE(SetClock(run, year + "-12-08 01:25:00"));
    const std::vector<HWND> notices = WaitForNotices(run.process.processId, 1, kWaitMs);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(ControlText(notices[0], kNoticeTitleId), "深夜アニメ");
    EXPECT_EQ(ControlText(notices[0], kNoticeDueId), year + "年12月8日 01:25");
    ASSERT_NO_FATAL_FAILURE(CloseProgram(run));
}

TEST(ReminderApp, KeepsNothingOfABadChip)
{
    ReminderRun run;
    ASSERT_NO_FATAL_FAILURE(PrepareRun(run, "2026-01-01 00:00:00"));
    ASSERT_NO_FATAL_FAILURE(StartAndWait(run));
    std::size_t good = 0;
    for (const BadChip& bad : kBadChips) {
        Poke(bad.make(), false);
        good += bad.fault == ChipFault::None ? 1 : 0;
    }
    // Pokes are answered in turn: once this one is kept, so is every earlier one.
    ASSERT_TRUE(Poke(MakeChip("最後", "", 12, 7, 20, 55), true));
    const std::vector<KeptFile> kept = KeptReminders(run.data);
    EXPECT_EQ(kept.size(), good + 1);
    EXPECT_EQ(FolderFiles(run.data).size(), good + 1);
    ASSERT_NO_FATAL_FAILURE(CloseProgram(run));
}

namespace {

// Kills the program at random moments from a thread of its own, so that a
// kill can land while a poke is being handled, and starts it again. Each run
// of the program is killed only after it has acknowledged a poke: a kill
// that always came before the service was up (a slow start on a loaded
// machine) would leave nothing acknowledged to check.
struct Killer {
    ReminderRun* run = nullptr;
    std::mt19937 random{GetTickCount()};
    volatile LONG stop = 0;
    volatile LONG acknowledged = 0; // pokes acknowledged so far, counted by the poking thread
    volatile LONG kills = 0;
    std::string failure; // why the killer stopped early
};

bool Stopped(Killer& killer)
{
    return InterlockedCompareExchange(&killer.stop, 0, 0) != 0;
}

DWORD WINAPI KillAtRandom(void* data)
{
    auto* killer = static_cast<Killer*>(data);
    std::uniform_int_distribution<DWORD> pause(0, ScaledWaitMs(500));
    while (!Stopped(*killer)) {
        const LONG before = InterlockedCompareExchange(&killer->acknowledged, 0, 0);
        const DWORD start = GetTickCount();
        while (InterlockedCompareExchange(&killer->acknowledged, 0, 0) == before) {
            if (Stopped(*killer)) {
                return 0;
            }
            if (GetTickCount() - start >= kWaitMs) {
                killer->failure = "the program acknowledged no poke within "
                                  + std::to_string(kWaitMs) + " ms of its start";
                return 0;
            }
            Sleep(5);
        }
        Sleep(pause(killer->random));
        TerminateProcess(killer->run->process.process.get(), 9);
        WaitForSingleObject(killer->run->process.process.get(), kWaitMs);
        InterlockedIncrement(&killer->kills);
        if (!StartReminderProgram("", killer->run->process)) {
            killer->failure = "restart: " + DriverFailure();
            return 0;
        }
        killer->run->window = WaitForMainWindow(killer->run->process.processId, kWaitMs);
        if (killer->run->window == nullptr) {
            killer->failure = "restart: no main window within " + std::to_string(kWaitMs) + " ms";
            return 0;
        }
    }
    return 0;
}

} // namespace

TEST(ReminderApp, KeepsEveryAcknowledgedChipWhenKilledMidBurst)
{
    ReminderRun run;
    ASSERT_NO_FATAL_FAILURE(PrepareRun(run, "2026-01-01 00:00:00"));
    ASSERT_NO_FATAL_FAILURE(StartAndWait(run));
    // Fewer in the emulated machine, where each poke is many times slower.
    const int pokes = ScaledWaitMs(1) > 1 ? 40 : 200;
    std::set<std::string> acknowledged;
    Killer killer;
    killer.run = &run;
    UniqueHandle thread(CreateThread(nullptr, 0, &KillAtRandom, &killer, 0, nullptr));
    ASSERT_TRUE(thread);
    // The burst goes on until the program was killed at least once (a slow
    // start can outlast the pokes) or the killer gave up.
    for (int i = 0; (i < pokes || InterlockedCompareExchange(&killer.kills, 0, 0) == 0)
                    && WaitForSingleObject(thread.get(), 0) == WAIT_TIMEOUT;
         ++i) {
        const std::string title = "番組" + std::to_string(i);
        if (Poke(MakeChip(title, "メモ", 12, 7, 20, 55), i % 2 == 0)) {
            acknowledged.insert(title);
            InterlockedIncrement(&killer.acknowledged);
        } else {
            PauseAnsweringMessages(20); // down: the burst goes on across the restart
        }
    }
    InterlockedExchange(&killer.stop, 1);
    while (WaitForSingleObject(thread.get(), 0) == WAIT_TIMEOUT) {
        PauseAnsweringMessages(20);
    }
    ASSERT_EQ(killer.failure, "");
    DWORD exitCode = 0;
    TerminateProcess(run.process.process.get(), 9);
    WaitForEnd(run.process, kWaitMs, exitCode);
    ASSERT_NO_FATAL_FAILURE(StartAndWait(run));
    EXPECT_GT(killer.kills, 0);
    EXPECT_GT(acknowledged.size(), 0u);

    std::set<std::string> keptTitles;
    for (const KeptFile& file : KeptReminders(run.data)) {
        keptTitles.insert(std::string(file.chip.title));
    }
    for (const std::string& title : acknowledged) {
        EXPECT_EQ(keptTitles.count(title), 1u) << title << " was acknowledged but is lost";
    }
    // The restarted program left nothing half-written behind (a torn file
    // would have been set aside as damaged).
    // Each file is in the subfolder named by its last two digits.
    for (const std::string& name : FolderFiles(run.data)) {
        ASSERT_EQ(name.size(), 28u) << name;
        EXPECT_EQ(name.substr(0, 3), name.substr(17, 2) + "\\") << name;
        EXPECT_EQ(name.substr(19), ".reminder") << name;
    }
    ASSERT_NO_FATAL_FAILURE(CloseProgram(run));
}

TEST(ReminderApp, ShowsADueReminderLateAfterAStartAndEachOnlyOnce)
{
    ReminderRun run;
    ASSERT_NO_FATAL_FAILURE(PrepareRun(run, "2026-12-07 12:00:00"));
    ASSERT_NO_FATAL_FAILURE(StartAndWait(run));
    ASSERT_TRUE(Poke(Dated(MakeChip("朝の番組", "", 12, 8, 7, 0), 2026, 12, 7), false));
    ASSERT_TRUE(Poke(Dated(MakeChip("夜の番組", "夜のメモ", 12, 8, 21, 0), 2026, 12, 7), false));
    ASSERT_NO_FATAL_FAILURE(SetClock(run, "2026-12-08 07:00:00"));
    std::vector<HWND> notices = WaitForNotices(run.process.processId, 1, kWaitMs);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(ControlText(notices[0], kNoticeTitleId), "朝の番組");
    EXPECT_EQ(ControlText(notices[0], kNoticeDueId), "2026年12月8日 07:00");
    ASSERT_TRUE(PressDialogButton(notices[0], IDOK));
    ASSERT_NO_FATAL_FAILURE(CloseProgram(run));

    // Off over the evening program's time; a damaged file lies beside, and
    // one the list deleted whose end never came.
    ASSERT_FALSE(
        WriteScratchFile(run.folder, "data\\0000000000000001.reminder", "LXREMND1 torn").empty());
    const std::vector<unsigned char> deleted =
        EncodeReminderFile(KeptOf(Dated(MakeChip("消した番組", "", 12, 8, 8, 0), 2026, 12, 7),
                                  ReminderState::Waiting, false));
    ASSERT_TRUE(CreateDirectoryA((run.data + "02").c_str(), nullptr)
                || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_FALSE(WriteScratchFile(run.folder, "data\\02\\0000000000000002.deleted",
                                  std::string(deleted.begin(), deleted.end()))
                     .empty());
    ASSERT_FALSE(WriteScratchFile(run.folder, "clock.txt", "2026-12-09 06:30:00").empty());
    ASSERT_NO_FATAL_FAILURE(StartAndWait(run));
    notices = WaitForNotices(run.process.processId, 1, kWaitMs);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(ControlText(notices[0], kNoticeTitleId), "夜の番組");
    EXPECT_EQ(ControlText(notices[0], kNoticeDueId), "2026年12月8日 21:00" + kLate);
    EXPECT_EQ(ControlText(notices[0], kNoticeMemoId), "夜のメモ");
    // The morning one was done: it is not shown again.
    PauseAnsweringMessages(ScaledWaitMs(500));
    EXPECT_EQ(NoticeWindows(run.process.processId).size(), 1u);
    const std::vector<std::string> files = FolderFiles(run.data);
    EXPECT_TRUE(std::find(files.begin(), files.end(), "02\\0000000000000002.deleted")
                == files.end());
    EXPECT_TRUE(std::find(files.begin(), files.end(), "01\\0000000000000001.damaged")
                != files.end());
    EXPECT_TRUE(std::find(files.begin(), files.end(), "01\\0000000000000001.damaged.txt")
                != files.end());
    EXPECT_EQ(KeptReminders(run.data).size(), 2u);
    ASSERT_NO_FATAL_FAILURE(CloseProgram(run));
}

TEST(ReminderApp, ASecondStartBringsTheFirstOnesListForward)
{
    ReminderRun run;
    ASSERT_NO_FATAL_FAILURE(PrepareRun(run, "2026-01-01 00:00:00"));
    ASSERT_NO_FATAL_FAILURE(StartAndWait(run));
    LoxaProcess second;
    ASSERT_TRUE(StartReminderProgram("", second));
    DWORD exitCode = 1;
    ASSERT_TRUE(WaitForEnd(second, kWaitMs, exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_NE(WaitForProcessWindow(run.process.processId, "#32770", kListTitle.c_str(), kWaitMs),
              nullptr);
    ASSERT_NO_FATAL_FAILURE(CloseProgram(run));
}

TEST(ReminderApp, LeavesTheServiceToAnotherReminderApplication)
{
    ReminderRun run;
    ASSERT_NO_FATAL_FAILURE(PrepareRun(run, "2026-01-01 00:00:00"));
    ReceiverProcess receiver;
    ASSERT_TRUE(StartReceiver(run.folder.path, "", receiver));

    LoxaProcess byUser;
    ASSERT_TRUE(StartReminderProgram("", byUser));
    MessageBoxView box;
    ASSERT_TRUE(WaitForMessageBox(byUser.processId, kWaitMs, box));
    EXPECT_EQ(box.caption, kNoticeTitle);
    EXPECT_EQ(box.text, kOtherServer);
    ASSERT_TRUE(PressDialogButton(box.window, IDOK));
    DWORD exitCode = 0;
    ASSERT_TRUE(WaitForEnd(byUser, kWaitMs, exitCode));
    EXPECT_EQ(exitCode, 2u);

    // At sign-in it ends without a word.
    LoxaProcess atSignIn;
    ASSERT_TRUE(StartReminderProgram("/startup", atSignIn));
    std::vector<MessageBoxView> boxes;
    ASSERT_TRUE(AnswerUntilExit(atSignIn, kWaitMs, exitCode, boxes));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(exitCode, 2u);
    // The other application still has every poke.
    ASSERT_TRUE(Poke(MakeChip("番組", "", 12, 7, 20, 55), false));
    std::string bytes;
    std::string line;
    EXPECT_TRUE(WaitForChip(receiver, 1, kWaitMs, bytes, line));
    EXPECT_TRUE(FolderFiles(run.data).empty());
}

namespace {

constexpr int kListViewId = 1101;
constexpr int kListDeleteId = 1102;
constexpr int kSummaryTextId = 1201;
const char kSummaryTitle[] = "番組リマインダー - お知らせのまとめ";

// Opens the running program's list, as a second start does, and waits until
// it shows `rows` rows.
HWND OpenList(const ReminderRun& run, int rows)
{
    PostMessageA(run.window, WM_APP + 1, 0, 0);
    HWND list = WaitForProcessWindow(run.process.processId, "#32770", kListTitle.c_str(), kWaitMs);
    const DWORD start = GetTickCount();
    while (list != nullptr
           && SendMessageA(GetDlgItem(list, kListViewId), LVM_GETITEMCOUNT, 0, 0) != rows
           && GetTickCount() - start < kWaitMs) {
        PauseAnsweringMessages(20);
    }
    return list;
}

int SelectedRow(HWND list)
{
    return static_cast<int>(SendMessageA(GetDlgItem(list, kListViewId), LVM_GETNEXTITEM,
                                         static_cast<WPARAM>(-1), LVNI_SELECTED));
}

} // namespace

TEST(ReminderApp, TheListDeletesTheReminderSelectedAndARepeatedPokeKeepsOne)
{
    ReminderRun run;
    ASSERT_NO_FATAL_FAILURE(PrepareRun(run, "2026-12-01 12:00:00"));
    ASSERT_NO_FATAL_FAILURE(StartAndWait(run));
    ASSERT_TRUE(Poke(MakeChip("夜の番組", "", 12, 7, 21, 0), false));
    HWND list = OpenList(run, 1);
    ASSERT_NE(list, nullptr);
    // Home selects the first row, as the user's key would.
    PostMessageA(GetDlgItem(list, kListViewId), WM_KEYDOWN, VK_HOME, 0);
    const DWORD start = GetTickCount();
    while (SelectedRow(list) != 0 && GetTickCount() - start < kWaitMs) {
        PauseAnsweringMessages(20);
    }
    ASSERT_EQ(SelectedRow(list), 0);

    // An earlier one takes the first row; the selection stays with its reminder.
    const std::string earlier = MakeChip("朝の番組", "", 12, 7, 7, 0);
    ASSERT_TRUE(Poke(earlier, false));
    ASSERT_EQ(OpenList(run, 2), list);
    EXPECT_EQ(SelectedRow(list), 1);
    ASSERT_TRUE(PressDialogButton(list, kListDeleteId));
    // The deleted reminder's file is gone from the disk too, not only aside.
    const DWORD deleteStart = GetTickCount();
    while (FolderFiles(run.data).size() != 1 && GetTickCount() - deleteStart < kWaitMs) {
        PauseAnsweringMessages(20);
    }
    const std::vector<KeptFile> kept = KeptReminders(run.data);
    ASSERT_EQ(FolderFiles(run.data).size(), 1u);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].chip.title, "朝の番組");

    // "登録" pressed again after an acknowledgement that came too late for
    // loxa.exe: the same bytes once more, still one reminder.
    ASSERT_TRUE(Poke(earlier, false));
    ASSERT_TRUE(Poke(MakeChip("最後", "", 12, 7, 22, 0), false));
    EXPECT_EQ(KeptReminders(run.data).size(), 2u);
    ASSERT_NO_FATAL_FAILURE(CloseProgram(run));
}

TEST(ReminderApp, ShowsAFewOfManyLateRemindersAndSumsUpTheRest)
{
    ReminderRun run;
    ASSERT_NO_FATAL_FAILURE(PrepareRun(run, "2026-12-05 12:00:00"));
    // 2,500 reminders, one a minute from 1 December 00:00, all past when the
    // program starts.
    constexpr int kCount = 2500;
    ASSERT_TRUE(CreateDirectoryA(run.data.c_str(), nullptr));
    for (int i = 0; i < kCount; ++i) {
        KeptReminder reminder;
        reminder.received = LocalMoment{2026, 11, 30, 12, 0, 0};
        const std::string chip =
            Dated(MakeChip("番組" + std::to_string(i), "", 12, 1 + i / 1440, i / 60 % 24, i % 60),
                  2026, 11, 30);
        reminder.chip.assign(chip.begin(), chip.end());
        const std::vector<unsigned char> bytes = EncodeReminderFile(reminder);
        // Where the program keeps them: by the name's last two digits.
        char name[32];
        std::snprintf(name, sizeof name, "%02x\\%016x.reminder", (0x1000 + i) % 0x100, 0x1000 + i);
        CreateDirectoryA((run.data + std::string(name, 2)).c_str(), nullptr);
        ASSERT_TRUE(WriteBytes(run.data + name, std::string(bytes.begin(), bytes.end()))) << name;
    }
    ASSERT_NO_FATAL_FAILURE(StartAndWait(run));
    HWND summary = WaitForProcessWindow(run.process.processId, "#32770", kSummaryTitle, kWaitMs);
    ASSERT_NE(summary, nullptr);
    std::vector<HWND> notices = NoticeWindows(run.process.processId);
    ASSERT_EQ(notices.size(), 5u);
    std::set<std::string> titles;
    for (HWND notice : notices) {
        titles.insert(ControlText(notice, kNoticeTitleId));
    }
    EXPECT_EQ(titles, (std::set<std::string>{"番組0", "番組1", "番組2", "番組3", "番組4"}));
    EXPECT_EQ(ControlText(summary, kSummaryTextId),
              "ほか 2495 件のリマインダーの時刻になっています。\n"
              "お知らせを閉じると、次のものを表示します。");

    // The rest wait for a window to close, not for the timer: once the
    // windows are painted, the program sleeps (a timer firing for them used
    // 60 to 120 ms a second here).
    PauseAnsweringMessages(ScaledWaitMs(1000));
    EXPECT_EQ(NoticeWindows(run.process.processId).size(), 5u);
    const double cpuBefore = ThreadsCpuMs(run.process.processId);
    PauseAnsweringMessages(2000);
    EXPECT_LE(ThreadsCpuMs(run.process.processId) - cpuBefore, 20.0)
        << "ms of CPU time spent in 2 s of idling";

    // Closing one shows the next in due order.
    HWND first = nullptr;
    for (HWND notice : notices) {
        if (ControlText(notice, kNoticeTitleId) == "番組0") {
            first = notice;
        }
    }
    ASSERT_TRUE(PressDialogButton(first, IDOK));
    const DWORD start = GetTickCount();
    while (ControlText(summary, kSummaryTextId).rfind("ほか 2494 件", 0) != 0
           && GetTickCount() - start < kWaitMs) {
        PauseAnsweringMessages(20);
    }
    notices = NoticeWindows(run.process.processId);
    titles.clear();
    for (HWND notice : notices) {
        titles.insert(ControlText(notice, kNoticeTitleId));
    }
    EXPECT_EQ(titles, (std::set<std::string>{"番組1", "番組2", "番組3", "番組4", "番組5"}));
    // The summary's button opens the list.
    ASSERT_TRUE(PressDialogButton(summary, IDOK));
    EXPECT_NE(OpenList(run, kCount), nullptr);
    ASSERT_NO_FATAL_FAILURE(CloseProgram(run));
}

TEST(ReminderApp, RefusesAPokeOverTheSizeLimitAndGoesOn)
{
    ReminderRun run;
    ASSERT_NO_FATAL_FAILURE(PrepareRun(run, "2026-01-01 00:00:00"));
    ASSERT_NO_FATAL_FAILURE(StartAndWait(run));
    // 208 fixed bytes, three NULs, the title "big" and the 25 bytes of the
    // source address beside the memo ("次の番組" below makes 244 bytes).
    const std::string largest = MakeChip("big", std::string(1048337, 'm'), 12, 7, 20, 55);
    const std::string tooLarge = MakeChip("big", std::string(1048338, 'm'), 12, 7, 20, 55);
    ASSERT_EQ(largest.size(), 1048576u);
    ASSERT_EQ(tooLarge.size(), 1048577u);
    // Wine's DDE reads a refused poke as done on the client side: what
    // counts is that nothing was kept.
    Poke(tooLarge, false);
    // Far over the limit: Wine's DDE cannot hand such a poke over at all,
    // and the program goes on.
    Poke(std::string(64u << 20, 'h'), false);
    ASSERT_EQ(WaitForSingleObject(run.process.process.get(), 0), WAIT_TIMEOUT)
        << "ended by a poke of 64 MiB";
    ASSERT_TRUE(Poke(largest, false));
    ASSERT_TRUE(Poke(MakeChip("次の番組", "", 12, 7, 20, 55), false));
    const std::vector<KeptFile> kept = KeptReminders(run.data);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].reminder.chip.size() + kept[1].reminder.chip.size(), 1048576u + 244u);
    EXPECT_EQ(FolderFiles(run.data).size(), 2u);
    ASSERT_NO_FATAL_FAILURE(CloseProgram(run));
}

TEST(ReminderApp, EndsAtSignOutWithEveryAcknowledgedChipOnDisk)
{
    ReminderRun run;
    ASSERT_NO_FATAL_FAILURE(PrepareRun(run, "2026-01-01 00:00:00"));
    ASSERT_NO_FATAL_FAILURE(StartAndWait(run));
    ASSERT_TRUE(Poke(MakeChip("一つ目", "", 12, 7, 20, 55), false));
    ASSERT_TRUE(Poke(MakeChip("二つ目", "", 12, 7, 21, 0), true));
    DWORD_PTR result = 0;
    ASSERT_NO_FATAL_FAILURE(
        SendToMainWindow(run, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, result));
    EXPECT_EQ(result, static_cast<DWORD_PTR>(TRUE));
    ASSERT_NO_FATAL_FAILURE(SendToMainWindow(run, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, result));
    DWORD exitCode = 1;
    ASSERT_TRUE(WaitForEnd(run.process, kWaitMs, exitCode)) << "still running after sign-out";
    EXPECT_EQ(exitCode, 0u);
    const std::vector<KeptFile> kept = KeptReminders(run.data);
    EXPECT_EQ(kept.size(), 2u);
    EXPECT_NE(FindByTitle(kept, "一つ目"), nullptr);
    EXPECT_NE(FindByTitle(kept, "二つ目"), nullptr);
}

TEST(ReminderApp, KeepsAReminderWhoseDoneStateCannotBeWritten)
{
    ReminderRun run;
    ASSERT_NO_FATAL_FAILURE(PrepareRun(run, "2026-12-08 20:00:00"));
    // A " /D" reminder closed last time whose file could not be deleted.
    ASSERT_NO_FATAL_FAILURE(
        PlaceKeptFile(run, "00000000000000aa",
                      KeptOf(Dated(MakeChip("済んだ番組", "", 12, 8, 7, 0), 2026, 12, 8),
                             ReminderState::Done, true)));
    ASSERT_NO_FATAL_FAILURE(StartAndWait(run));
    EXPECT_TRUE(KeptReminders(run.data).empty()) << "the done \" /D\" file was left";
    ASSERT_TRUE(Poke(Dated(MakeChip("残す番組", "", 12, 8, 20, 0), 2026, 12, 8), false));
    ASSERT_TRUE(Poke(Dated(MakeChip("消す番組", "", 12, 8, 20, 0), 2026, 12, 8), true));
    ASSERT_EQ(WaitForNotices(run.process.processId, 2, kWaitMs).size(), 2u);

    for (const char* title : {"残す番組", "消す番組"}) {
        const std::vector<KeptFile> before = KeptReminders(run.data);
        const KeptFile* file = FindByTitle(before, title);
        ASSERT_NE(file, nullptr) << title;
        const std::string path = run.data + file->name;
        HWND notice = NoticeTitled(run.process.processId, title);
        ASSERT_NE(notice, nullptr) << title;
        UniqueHandle held = HoldFile(path);
        ASSERT_TRUE(PressDialogButton(notice, IDOK));
        MessageBoxView box;
        ASSERT_TRUE(WaitForMessageBox(run.process.processId, kWaitMs, box)) << title;
        EXPECT_EQ(box.caption, kNoticeTitle);
        EXPECT_EQ(box.text, kCloseFailed);
        ASSERT_TRUE(PressDialogButton(box.window, IDOK));
        held.reset();
        PauseAnsweringMessages(ScaledWaitMs(300));
        EXPECT_TRUE(IsWindowVisible(notice)) << title << ": its window went";
        KeptFile read;
        ASSERT_TRUE(ReadKept(path, read)) << title;
        EXPECT_EQ(read.reminder.state, ReminderState::Waiting) << title;

        // Once the file is free again, closing works; the next read waits
        // for it (see ExpectOnlyOneLeftAndDone).
        ASSERT_TRUE(PressDialogButton(notice, IDOK));
        const DWORD closeStart = GetTickCount();
        while (IsWindow(notice) && GetTickCount() - closeStart < kWaitMs) {
            PauseAnsweringMessages(20);
        }
        ASSERT_FALSE(IsWindow(notice)) << title;
    }
    ASSERT_NO_FATAL_FAILURE(ExpectOnlyOneLeftAndDone(run, "残す番組"));
    ASSERT_NO_FATAL_FAILURE(CloseProgram(run));
}

TEST(ReminderApp, ShowsAReminderWhoseFileWasHeldAtTheStart)
{
    ReminderRun run;
    ASSERT_NO_FATAL_FAILURE(PrepareRun(run, "2026-12-08 21:00:00"));
    ASSERT_NO_FATAL_FAILURE(
        PlaceKeptFile(run, "00000000000000bb",
                      KeptOf(Dated(MakeChip("夕方の番組", "", 12, 8, 18, 0), 2026, 12, 8),
                             ReminderState::Waiting, false)));
    UniqueHandle held = HoldFile(run.data + "00000000000000bb.reminder");
    ASSERT_NO_FATAL_FAILURE(StartAndWait(run));
    EXPECT_TRUE(WaitForNotices(run.process.processId, 1, ScaledWaitMs(500)).empty());
    held.reset();
    const std::vector<HWND> notices = WaitForNotices(run.process.processId, 1, kWaitMs);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(ControlText(notices[0], kNoticeTitleId), "夕方の番組");
    EXPECT_EQ(ControlText(notices[0], kNoticeDueId), "2026年12月8日 18:00" + kLate);
    // Moved into its subfolder once it was free.
    EXPECT_EQ(FolderFiles(run.data), (std::vector<std::string>{"bb\\00000000000000bb.reminder"}));
    ASSERT_NO_FATAL_FAILURE(CloseProgram(run));
}

TEST(ReminderApp, FollowsTheWallClockAcrossAnUnannouncedJumpAndAWakeUp)
{
    ReminderRun run;
    ASSERT_NO_FATAL_FAILURE(PrepareRun(run, "2027-03-28 01:59:58"));
    ASSERT_NO_FATAL_FAILURE(StartAndWait(run));
    ASSERT_TRUE(Poke(Dated(MakeChip("深夜の番組", "", 3, 28, 2, 30), 2027, 3, 28), false));
    // Summer time begins: 02:00 becomes 03:00, and no message says so.
    ASSERT_FALSE(WriteScratchFile(run.folder, "clock.txt", "2027-03-28 03:00:00").empty());
    std::vector<HWND> notices = WaitForNotices(run.process.processId, 1, kWaitMs);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(ControlText(notices[0], kNoticeDueId), "2027年3月28日 02:30" + kLate);
    ASSERT_TRUE(PressDialogButton(notices[0], IDOK));

    // The computer sleeps over the next one's time and wakes.
    ASSERT_TRUE(Poke(Dated(MakeChip("朝の番組", "", 3, 28, 6, 0), 2027, 3, 28), false));
    ASSERT_FALSE(WriteScratchFile(run.folder, "clock.txt", "2027-03-28 06:10:00").empty());
    DWORD_PTR result = 0;
    ASSERT_NO_FATAL_FAILURE(
        SendToMainWindow(run, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, result));
    notices = WaitForNotices(run.process.processId, 1, kWaitMs);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(ControlText(notices[0], kNoticeTitleId), "朝の番組");
    ASSERT_NO_FATAL_FAILURE(CloseProgram(run));
}
