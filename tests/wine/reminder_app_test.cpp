// loxa-reminder.exe under Wine: it keeps what Loxa pokes, reminds at the time
// (its clock moved through LOXA_REMINDER_CLOCK_FILE), refuses bad chips,
// survives being killed mid-burst, shows late reminders after a start, and
// runs once.
#include <algorithm>
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
#include "win32/dde_handles.h"

namespace {

const std::string kNoticeTitle = "番組リマインダー";
const std::string kListTitle = "番組リマインダー - 一覧";
const std::string kLate = "（遅れてお知らせしています）";
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

// The program's files and the folder itself; the scratch folder removes only
// what the test wrote, and a run cut short leaves them for the next one.
void EmptyDataFolder(const std::string& data)
{
    if (data.empty()) {
        return;
    }
    WIN32_FIND_DATAA found{};
    HANDLE find = FindFirstFileA((data + "*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                DeleteFileA((data + found.cFileName).c_str());
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
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

// True once some server answers the reminder service.
bool ServiceAnswers()
{
    DWORD id = 0;
    if (DdeInitializeA(&id, &ChipDdeCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
        return false;
    }
    const UniqueDdeInstance instance(id);
    const UniqueDdeString service = MakeDdeString(id, "Zuri");
    const UniqueDdeString topic = MakeDdeString(id, "ZuriServer");
    const UniqueDdeConversation conversation(DdeConnect(id, service.get(), topic.get(), nullptr));
    return static_cast<bool>(conversation);
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
    ASSERT_NE(run.window, nullptr) << "no main window";
    while (!ServiceAnswers()) {
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
// the clock is set.
void SetClock(const ReminderRun& run, const std::string& clock)
{
    UniqueHandle file(CreateFileA(run.clockFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file
                && WriteFile(file.get(), clock.data(), static_cast<DWORD>(clock.size()), &written,
                             nullptr));
    file.reset();
    DWORD_PTR result = 0;
    ASSERT_TRUE(
        SendMessageTimeoutA(run.window, WM_TIMECHANGE, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &result));
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

// The data folder's file names, and its reminder files read back.
std::vector<std::string> FolderFiles(const std::string& data)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE find = FindFirstFileA((data + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.emplace_back(found.cFileName);
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
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

std::string MakeChip(const std::string& title, const std::string& memo, std::int32_t month,
                     std::int32_t day, std::int32_t hour, std::int32_t minute)
{
    std::vector<unsigned char> record(GetChipRecordSize(title.c_str(), memo.c_str()), 0);
    FillChipRecord(record.data(), static_cast<std::uint32_t>(record.size()), title.c_str(),
                   memo.c_str(), month, day, hour, minute);
    // Dated 7 December 2026 whatever the real clock says: the due year
    // follows from the creation date, and the tests' clocks are set around
    // that day (a chip made on 9 December for 8 December is due a year on).
    for (const auto& [offset, value] : {std::pair{chip_offset::createdYear, 2026},
                                        std::pair{chip_offset::createdMonth, 12},
                                        std::pair{chip_offset::createdDay, 7}}) {
        for (std::size_t i = 0; i < 4; ++i) {
            record[offset + i] = static_cast<unsigned char>(value >> (8 * i));
        }
    }
    return std::string(record.begin(), record.end());
}

bool Poke(const std::string& chip, bool deleteWhenDone)
{
    RegisterChipClipboardFormat();
    return SendChipRecord(chip.data(), static_cast<std::uint32_t>(chip.size()), deleteWhenDone);
}

std::string Document(const std::string& title)
{
    return "Content-type: application/x-tv-program-info\r\n"
           "version: 1\r\n"
           "station: ＮＨＫ総合\r\n"
           "year: 2026\r\n"
           "month: 12\r\n"
           "date: 7\r\n"
           "start: 21:00\r\n"
           "end: 21:45\r\n"
           "program-title: "
           + title
           + "\r\n"
             "\r\n"
             "今日の出来事。\r\n";
}

// Opens `document` in loxa.exe, sets "終了時削除で作成" as asked and presses
// "登録"; the run must end quietly.
void RegisterThroughLoxa(ReminderRun& run, const std::string& name, bool deleteWhenDone)
{
    const std::string path = WriteScratchFile(run.folder, name + ".loxa", Document(name));
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

} // namespace

TEST(ReminderApp, RemindsOfWhatLoxaRegisteredAtItsTime)
{
    ReminderRun run;
    ASSERT_NO_FATAL_FAILURE(PrepareRun(run, "2026-01-01 00:00:00"));
    ASSERT_NO_FATAL_FAILURE(StartAndWait(run));
    ASSERT_NO_FATAL_FAILURE(RegisterThroughLoxa(run, "ニュース", true));
    ASSERT_NO_FATAL_FAILURE(RegisterThroughLoxa(run, "天気予報", false));

    std::vector<KeptFile> kept = KeptReminders(run.data);
    ASSERT_EQ(kept.size(), 2u);
    const KeptFile* news = FindByTitle(kept, "ニュース");
    const KeptFile* weather = FindByTitle(kept, "天気予報");
    ASSERT_TRUE(news != nullptr && weather != nullptr);
    EXPECT_TRUE(news->reminder.deleteWhenDone);
    EXPECT_FALSE(weather->reminder.deleteWhenDone);
    EXPECT_EQ(news->reminder.state, ReminderState::Waiting);
    // 21:00 less the dialog's 5 minutes; loxa.exe dates the chip by the real
    // clock, so the due year follows from it.
    EXPECT_EQ(news->chip.notifyMonth, 12);
    EXPECT_EQ(news->chip.notifyDay, 7);
    const bool afterTheDay = news->chip.createdMonth == 12 && news->chip.createdDay > 7;
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
    const DWORD start = GetTickCount();
    while (((kept = KeptReminders(run.data)).size() != 1
            || kept[0].reminder.state != ReminderState::Done)
           && GetTickCount() - start < kWaitMs) {
        PauseAnsweringMessages(20);
    }
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].chip.title, "天気予報");
    EXPECT_EQ(kept[0].reminder.state, ReminderState::Done);
    EXPECT_TRUE(NoticeWindows(run.process.processId).empty());
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
    for (const std::string& name : FolderFiles(run.data)) {
        EXPECT_EQ(name.substr(name.size() - 9), ".reminder") << name;
    }
    ASSERT_NO_FATAL_FAILURE(CloseProgram(run));
}

TEST(ReminderApp, ShowsADueReminderLateAfterAStartAndEachOnlyOnce)
{
    ReminderRun run;
    ASSERT_NO_FATAL_FAILURE(PrepareRun(run, "2026-12-07 12:00:00"));
    ASSERT_NO_FATAL_FAILURE(StartAndWait(run));
    ASSERT_TRUE(Poke(MakeChip("朝の番組", "", 12, 8, 7, 0), false));
    ASSERT_TRUE(Poke(MakeChip("夜の番組", "夜のメモ", 12, 8, 21, 0), false));
    ASSERT_NO_FATAL_FAILURE(SetClock(run, "2026-12-08 07:00:00"));
    std::vector<HWND> notices = WaitForNotices(run.process.processId, 1, kWaitMs);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(ControlText(notices[0], kNoticeTitleId), "朝の番組");
    EXPECT_EQ(ControlText(notices[0], kNoticeDueId), "2026年12月8日 07:00");
    ASSERT_TRUE(PressDialogButton(notices[0], IDOK));
    ASSERT_NO_FATAL_FAILURE(CloseProgram(run));

    // Off over the evening program's time; a damaged file lies beside.
    ASSERT_FALSE(
        WriteScratchFile(run.folder, "data\\0000000000000001.reminder", "LXREMND1 torn").empty());
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
    EXPECT_TRUE(std::find(files.begin(), files.end(), "0000000000000001.damaged") != files.end());
    EXPECT_TRUE(std::find(files.begin(), files.end(), "0000000000000001.damaged.txt")
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
