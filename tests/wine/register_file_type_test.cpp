// /R in process, against scratch registry roots: the pre-check, the eighteen
// writes in their order, what they leave behind, and every way they can fail.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "end_to_end_support.h"
#include "import_patch.h"
#include "message_box_recorder.h"
#include "program_data_dialog_driver.h"
#include "registration/register_file_type.h"
#include "registration/unregister_file_type.h"
#include "registered_entries.h"
#include "registration_texts.h"
#include "registration_run.h"
#include "registry_call_recorder.h"
#include "registry_sandbox.h"

namespace {

using Lines = std::vector<std::string>;

// The pre-check on roots where the MIME type is not registered.
const Lines kCleanPreCheck = {
    "open HKCR\\MIME\\Database\\Content Type KEY_QUERY_VALUE",
    "open HKCR\\MIME\\Database\\Content Type\\application/x-tv-program-info KEY_QUERY_VALUE -> 2",
    "close HKCR\\MIME\\Database\\Content Type",
    "open HKLM\\SOFTWARE\\Classes\\MIME\\Database\\Content Type KEY_QUERY_VALUE",
    "open HKLM\\SOFTWARE\\Classes\\MIME\\Database\\Content Type\\application/x-tv-program-info KEY_QUERY_VALUE -> 2",
    "close HKLM\\SOFTWARE\\Classes\\MIME\\Database\\Content Type",
};

const Lines kWrites = {
    // 1-2
    "open HKCR\\MIME\\Database\\Content Type KEY_SET_VALUE|KEY_CREATE_SUB_KEY",
    "create HKCR\\MIME\\Database\\Content Type\\application/x-tv-program-info KEY_SET_VALUE|KEY_CREATE_SUB_KEY",
    "set HKCR\\MIME\\Database\\Content Type\\application/x-tv-program-info Extension REG_SZ+NUL",
    "close HKCR\\MIME\\Database\\Content Type\\application/x-tv-program-info",
    "close HKCR\\MIME\\Database\\Content Type",
    // 3-4
    "create HKCR\\.loxa KEY_SET_VALUE|KEY_CREATE_SUB_KEY",
    "set HKCR\\.loxa (default) REG_SZ+NUL",
    "set HKCR\\.loxa Content Type REG_SZ+NUL",
    "close HKCR\\.loxa",
    // 5-8
    "create HKCR\\Loxa.ProgramInfo KEY_SET_VALUE|KEY_CREATE_SUB_KEY",
    "set HKCR\\Loxa.ProgramInfo (default) REG_SZ+NUL",
    "set HKCR\\Loxa.ProgramInfo EditFlags REG_BINARY 4",
    "create HKCR\\Loxa.ProgramInfo\\DefaultIcon KEY_SET_VALUE|KEY_CREATE_SUB_KEY",
    "set HKCR\\Loxa.ProgramInfo\\DefaultIcon (default) REG_SZ+NUL",
    "close HKCR\\Loxa.ProgramInfo\\DefaultIcon",
    "create HKCR\\Loxa.ProgramInfo\\shell KEY_SET_VALUE|KEY_CREATE_SUB_KEY",
    "create HKCR\\Loxa.ProgramInfo\\shell\\open KEY_SET_VALUE|KEY_CREATE_SUB_KEY",
    "create HKCR\\Loxa.ProgramInfo\\shell\\open\\command KEY_SET_VALUE|KEY_CREATE_SUB_KEY",
    "set HKCR\\Loxa.ProgramInfo\\shell\\open\\command (default) REG_SZ+NUL",
    "close HKCR\\Loxa.ProgramInfo\\shell\\open\\command",
    "close HKCR\\Loxa.ProgramInfo\\shell\\open",
    "close HKCR\\Loxa.ProgramInfo\\shell",
    "close HKCR\\Loxa.ProgramInfo",
    // 9-10
    "open HKLM\\SOFTWARE\\Classes\\MIME\\Database\\Content Type KEY_CREATE_SUB_KEY",
    "create HKLM\\SOFTWARE\\Classes\\MIME\\Database\\Content Type\\application/x-tv-program-info KEY_SET_VALUE|KEY_CREATE_SUB_KEY",
    "set HKLM\\SOFTWARE\\Classes\\MIME\\Database\\Content Type\\application/x-tv-program-info Extension REG_SZ+NUL",
    "close HKLM\\SOFTWARE\\Classes\\MIME\\Database\\Content Type\\application/x-tv-program-info",
    "close HKLM\\SOFTWARE\\Classes\\MIME\\Database\\Content Type",
    // 11-13
    "open HKLM\\SOFTWARE\\Classes KEY_CREATE_SUB_KEY",
    "create HKLM\\SOFTWARE\\Classes\\.loxa KEY_SET_VALUE|KEY_CREATE_SUB_KEY",
    "set HKLM\\SOFTWARE\\Classes\\.loxa (default) REG_SZ+NUL",
    "set HKLM\\SOFTWARE\\Classes\\.loxa Content Type REG_SZ+NUL",
    "close HKLM\\SOFTWARE\\Classes\\.loxa",
    "close HKLM\\SOFTWARE\\Classes",
    // 14-17
    "create HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo KEY_SET_VALUE|KEY_CREATE_SUB_KEY",
    "set HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo (default) REG_SZ+NUL",
    "set HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo EditFlags REG_BINARY 4",
    "create HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo\\DefaultIcon KEY_SET_VALUE|KEY_CREATE_SUB_KEY",
    "set HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo\\DefaultIcon (default) REG_SZ+NUL",
    "close HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo\\DefaultIcon",
    "create HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo\\shell KEY_SET_VALUE|KEY_CREATE_SUB_KEY",
    "create HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo\\shell\\open KEY_SET_VALUE|KEY_CREATE_SUB_KEY",
    "create HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo\\shell\\open\\command KEY_SET_VALUE|KEY_CREATE_SUB_KEY",
    "set HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo\\shell\\open\\command (default) REG_SZ+NUL",
    "close HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo\\shell\\open\\command",
    "close HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo\\shell\\open",
    "close HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo\\shell",
    "close HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo",
    // 18
    "create HKCU\\SOFTWARE\\Loxa KEY_SET_VALUE|KEY_CREATE_SUB_KEY",
    "set HKCU\\SOFTWARE\\Loxa (default) REG_SZ+NUL",
    "close HKCU\\SOFTWARE\\Loxa",
};

// Explorer is told once, after the last write.
const std::string kNotify = "notify SHCNE_ASSOCCHANGED SHCNF_IDLIST";

Lines Concat(Lines head, const Lines& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

std::string ModulePath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string ShortModulePath()
{
    char path[MAX_PATH] = {};
    GetShortPathNameA(ModulePath().c_str(), path, MAX_PATH);
    return path;
}

TEST(RegisterFileType, WritesTheEighteenStepsInOrderClosingEachKeyWhenDone)
{
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.ready());
    RegistrationRun run = RunRecorded(&RegisterFileType);

    EXPECT_EQ(run.result, RegistrationOutcome::Done);
    EXPECT_EQ(run.calls, Concat(Concat(kCleanPreCheck, kWrites), {kNotify}));
    EXPECT_TRUE(run.openKeys.empty());
    ExpectBoxes(run, {kRegisteredText});
}

TEST(RegisterFileType, LeavesTheSameEntriesUnderBothRootsAndTheUserKey)
{
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.ready());
    {
        MessageBoxRecorder boxes;
        ASSERT_EQ(RegisterFileType(), RegistrationOutcome::Done);
    }

    const std::string path = ShortModulePath();
    ASSERT_FALSE(path.empty());
    // The path names this very program, in its short form.
    char longPath[MAX_PATH] = {};
    GetLongPathNameA(path.c_str(), longPath, MAX_PATH);
    EXPECT_EQ(lstrcmpiA(longPath, ModulePath().c_str()), 0) << path;

    ExpectRegisteredEntries(sandbox.classesRoot(), sandbox.localMachine(), sandbox.currentUser(),
                            path);
}

TEST(RegisterFileType, SecondRunIsRefusedAndWritesNothing)
{
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.ready());
    ASSERT_EQ(RunRecorded(&RegisterFileType).result, RegistrationOutcome::Done);

    RegistrationRun second = RunRecorded(&RegisterFileType);

    EXPECT_EQ(second.result, RegistrationOutcome::AlreadyRegistered);
    EXPECT_EQ(
        second.calls,
        (Lines{
            "open HKCR\\MIME\\Database\\Content Type KEY_QUERY_VALUE",
            "open HKCR\\MIME\\Database\\Content Type\\application/x-tv-program-info KEY_QUERY_VALUE",
            "query HKCR\\MIME\\Database\\Content Type\\application/x-tv-program-info Extension",
            "read HKCR\\MIME\\Database\\Content Type\\application/x-tv-program-info Extension",
            "close HKCR\\MIME\\Database\\Content Type\\application/x-tv-program-info",
            "close HKCR\\MIME\\Database\\Content Type",
        }));
    EXPECT_TRUE(second.openKeys.empty());
    ExpectBoxes(second, {kAlreadyInstalledText}, MB_OK | MB_ICONINFORMATION);
}

// An "Extension" value that a pre-check case starts from.
struct ExistingExtension {
    bool underClassesRoot;
    bool present; // false: the MIME type key without the value
    DWORD type;
    std::string data;
};

struct PreCheckCase {
    const char* name;
    std::vector<ExistingExtension> existing;
    const char* refusal; // null: the pre-check passes
};

const std::string kLoxa(".loxa", 6);

const PreCheckCase kPreCheckCases[] = {
    {"installed under HKCR", {{true, true, REG_SZ, kLoxa}}, kAlreadyInstalledText},
    {"installed under HKLM only", {{false, true, REG_SZ, kLoxa}}, kAlreadyInstalledText},
    {"type without extension under HKCR", {{true, false, REG_NONE, ""}}, kInUseText},
    {"type without extension under HKLM", {{false, false, REG_NONE, ""}}, kInUseText},
    {"installed under HKCR, no extension under HKLM",
     {{true, true, REG_SZ, kLoxa}, {false, false, REG_NONE, ""}},
     kAlreadyInstalledText},
    {"another extension under HKCR, no extension under HKLM",
     {{true, true, REG_SZ, std::string(".txt", 5)}, {false, false, REG_NONE, ""}},
     kInUseText},
    {"another extension",
     {{true, true, REG_SZ, std::string(".txt", 5)}, {false, true, REG_SZ, std::string(".txt", 5)}},
     nullptr},
    {"upper-case extension", {{true, true, REG_SZ, std::string(".LOXA", 6)}}, nullptr},
    {"extension longer than .loxa", {{false, true, REG_SZ, std::string(".loxa2", 7)}}, nullptr},
    {"binary extension",
     {{true, true, REG_BINARY, kLoxa}, {false, true, REG_BINARY, kLoxa}},
     nullptr},
    {"expandable string extension", {{true, true, REG_EXPAND_SZ, kLoxa}}, nullptr},
    {"empty extension", {{true, true, REG_SZ, ""}, {false, true, REG_SZ, ""}}, nullptr},
};

TEST(RegisterFileType, PreCheckRefusesOnlyAnEarlierInstallOrATypeWithoutExtension)
{
    for (const PreCheckCase& each : kPreCheckCases) {
        SCOPED_TRACE(each.name);
        RegistrySandbox sandbox;
        ASSERT_TRUE(sandbox.ready());
        for (const ExistingExtension& existing : each.existing) {
            HKEY root = existing.underClassesRoot ? sandbox.classesRoot() : sandbox.localMachine();
            const char* key = existing.underClassesRoot ? kClassesRootMimeType : kMachineMimeType;
            ASSERT_TRUE(existing.present ? WriteRegistryValue(root, key, "Extension", existing.type,
                                                              existing.data)
                                         : WriteRegistryKey(root, key));
        }

        RegistrationRun run = RunRecorded(&RegisterFileType);

        EXPECT_TRUE(run.openKeys.empty());
        if (each.refusal != nullptr) {
            EXPECT_EQ(run.result, each.refusal == kAlreadyInstalledText
                                      ? RegistrationOutcome::AlreadyRegistered
                                      : RegistrationOutcome::Refused);
            ExpectBoxes(run, {each.refusal}, MB_OK | MB_ICONINFORMATION);
            for (const std::string& line : run.calls) {
                EXPECT_TRUE(line.rfind("create ", 0) != 0 && line.rfind("set ", 0) != 0
                            && line.rfind("notify ", 0) != 0)
                    << line;
            }
            EXPECT_FALSE(RegistryKeyExists(sandbox.classesRoot(), ".loxa"));
        } else {
            EXPECT_EQ(run.result, RegistrationOutcome::Done);
            ExpectBoxes(run, {kRegisteredText});
            // Overwritten under both roots.
            EXPECT_EQ(
                ReadRegistryValue(sandbox.classesRoot(), kClassesRootMimeType, "Extension").data,
                kLoxa);
            EXPECT_EQ(ReadRegistryValue(sandbox.localMachine(), kMachineMimeType, "Extension").data,
                      kLoxa);
        }
    }
}

TEST(RegisterFileType, MissingMimeDatabaseStopsBeforeAnyWrite)
{
    for (bool classesRootMissing : {true, false}) {
        SCOPED_TRACE(classesRootMissing ? "HKCR" : "HKLM");
        SandboxOptions options;
        options.classesRootMimeDatabase = !classesRootMissing;
        options.machineMimeDatabase = classesRootMissing;
        RegistrySandbox sandbox(options);
        ASSERT_TRUE(sandbox.ready());

        RegistrationRun run = RunRecorded(&RegisterFileType);

        EXPECT_EQ(run.result, RegistrationOutcome::Failed);
        ExpectBoxes(run, {kOpenFailedText}, MB_OK | MB_ICONINFORMATION);
        EXPECT_TRUE(run.openKeys.empty());
        ASSERT_FALSE(run.calls.empty());
        EXPECT_NE(run.calls.back().find(" -> 2"), std::string::npos) << run.calls.back();
        EXPECT_FALSE(RegistryKeyExists(sandbox.classesRoot(), ".loxa"));
    }
}

// A value read that fails, or a buffer that cannot be had, lets the pre-check
// pass for that root even over an earlier install.
TEST(RegisterFileType, PreCheckPassesWhenTheExtensionCannotBeRead)
{
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.ready());
    ASSERT_TRUE(WriteRegistryValue(sandbox.classesRoot(), kClassesRootMimeType, "Extension", REG_SZ,
                                   kLoxa));

    RegistrationRun run = RunRecorded(&RegisterFileType, [](RegistryCallRecorder& registry) {
        registry.FailCall(
            "read HKCR\\MIME\\Database\\Content Type\\application/x-tv-program-info Extension",
            ERROR_ACCESS_DENIED);
    });

    EXPECT_EQ(run.result, RegistrationOutcome::Done);
    ExpectBoxes(run, {kRegisteredText});
    EXPECT_TRUE(run.openKeys.empty());
}

bool failHeapAllocations = false;
decltype(&HeapAlloc) realHeapAlloc;

LPVOID WINAPI FailingHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size)
{
    return failHeapAllocations ? nullptr : realHeapAlloc(heap, flags, size);
}

TEST(RegisterFileType, PreCheckPassesWhenNoBufferCanBeHad)
{
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.ready());
    ASSERT_TRUE(
        WriteRegistryValue(sandbox.localMachine(), kMachineMimeType, "Extension", REG_SZ, kLoxa));
    RegistrationRun run;
    {
        ImportPatch heap("kernel32.dll", "HeapAlloc", reinterpret_cast<void*>(&FailingHeapAlloc));
        ASSERT_TRUE(heap.active());
        realHeapAlloc = reinterpret_cast<decltype(&HeapAlloc)>(heap.original());
        run = RunRecorded(&RegisterFileType,
                          [](RegistryCallRecorder&) { failHeapAllocations = true; });
        failHeapAllocations = false;
    }
    EXPECT_EQ(run.result, RegistrationOutcome::Done);
    ExpectBoxes(run, {kRegisteredText});
    EXPECT_TRUE(run.openKeys.empty());
}

// The lines expected when `failing` (a line of kWrites) fails: everything up
// to it, then the keys still open closed from the innermost out.
Lines ExpectedUpToFailure(size_t failing)
{
    Lines expected = kCleanPreCheck;
    Lines open;
    bool wrote = false;
    for (size_t i = 0; i < failing; ++i) {
        const std::string& line = kWrites[i];
        expected.push_back(line);
        wrote = wrote || line.rfind("set ", 0) == 0;
        if (line.rfind("open ", 0) == 0 || line.rfind("create ", 0) == 0) {
            // The key runs from the verb to the access names.
            size_t start = line.find(' ') + 1;
            open.push_back(line.substr(start, line.rfind(" KEY_") - start));
        } else if (line.rfind("close ", 0) == 0) {
            open.pop_back();
        }
    }
    expected.push_back(kWrites[failing] + " -> 5");
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
        expected.push_back("close " + *it);
    }
    // What was written stays, so Explorer is told of it.
    if (wrote) {
        expected.push_back(kNotify);
    }
    return expected;
}

TEST(RegisterFileType, FailingCallStopsTheWritesClosesEveryKeyAndKeepsWhatWasWritten)
{
    for (size_t failing = 0; failing < kWrites.size(); ++failing) {
        const std::string& line = kWrites[failing];
        if (line.rfind("close ", 0) == 0) {
            continue;
        }
        SCOPED_TRACE(line);
        RegistrySandbox sandbox;
        ASSERT_TRUE(sandbox.ready());

        RegistrationRun run =
            RunRecorded(&RegisterFileType, [&line](RegistryCallRecorder& registry) {
                registry.FailCall(line, ERROR_ACCESS_DENIED);
            });

        EXPECT_EQ(run.result, RegistrationOutcome::Failed);
        EXPECT_EQ(run.calls, ExpectedUpToFailure(failing));
        EXPECT_TRUE(run.openKeys.empty());
        ExpectBoxes(run, {line.rfind("set ", 0) == 0 ? kSetFailedText : kOpenFailedText});
    }
}

// The platform itself refuses the HKLM writes: under a volatile key no
// lasting key can be created.
TEST(RegisterFileType, NoWriteAccessToMachineKeepsTheClassesRootEntriesAndRefusesALaterRun)
{
    SandboxOptions options;
    options.volatileMachine = true;
    RegistrySandbox sandbox(options);
    ASSERT_TRUE(sandbox.ready());

    RegistrationRun run = RunRecorded(&RegisterFileType);

    EXPECT_EQ(run.result, RegistrationOutcome::Failed);
    ExpectBoxes(run, {kOpenFailedText});
    EXPECT_TRUE(run.openKeys.empty());
    ASSERT_GE(run.calls.size(), 2u);
    EXPECT_EQ(run.calls[run.calls.size() - 2],
              "close HKLM\\SOFTWARE\\Classes\\MIME\\Database\\Content Type");
    // The entries under HKCR stay, and Explorer is told of them.
    EXPECT_EQ(run.calls.back(), kNotify);
    // Steps 1 to 8 stay; nothing of HKLM or HKCU was written.
    EXPECT_TRUE(RegistryKeyExists(sandbox.classesRoot(), "Loxa.ProgramInfo\\shell\\open\\command"));
    EXPECT_FALSE(RegistryKeyExists(sandbox.localMachine(), kMachineMimeType));
    EXPECT_FALSE(RegistryKeyExists(sandbox.localMachine(), "SOFTWARE\\Classes\\.loxa"));
    EXPECT_FALSE(RegistryKeyExists(sandbox.currentUser(), "SOFTWARE\\Loxa"));

    RegistrationRun again = RunRecorded(&RegisterFileType);
    EXPECT_NE(again.result, RegistrationOutcome::Done);
    ExpectBoxes(again, {kAlreadyInstalledText}, MB_OK | MB_ICONINFORMATION);
}

// What GetModuleFileNameA and GetShortPathNameA hand back.
// LongKept: a volume without short names hands the long path back.
enum class PathFault { None, ModuleFails, ModuleTruncated, ShortFails, ShortTooLong, LongKept };
PathFault pathFault = PathFault::None;
size_t shortPathLength = 0;
std::string modulePath = "C:\\Program Files\\Loxa\\loxa.exe";

DWORD WINAPI FakeModuleFileName(HMODULE, char* path, DWORD size)
{
    if (pathFault == PathFault::ModuleFails) {
        return 0;
    }
    lstrcpynA(path, modulePath.c_str(), static_cast<int>(size));
    if (pathFault == PathFault::ModuleTruncated) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    return static_cast<DWORD>(lstrlenA(path));
}

// A short path of `shortPathLength` bytes: "C:\" and then letters.
DWORD WINAPI FakeShortPathName(const char* longPath, char* path, DWORD size)
{
    if (pathFault == PathFault::ShortFails) {
        return 0;
    }
    if (pathFault == PathFault::LongKept) {
        if (static_cast<DWORD>(lstrlenA(longPath)) >= size) {
            return static_cast<DWORD>(lstrlenA(longPath)) + 1;
        }
        lstrcpyA(path, longPath);
        return static_cast<DWORD>(lstrlenA(path));
    }
    if (shortPathLength >= size) {
        return static_cast<DWORD>(shortPathLength + 1);
    }
    std::string text = "C:\\" + std::string(shortPathLength - 3, 'A');
    lstrcpyA(path, text.c_str());
    return static_cast<DWORD>(text.size());
}

// RegisterFileType with the two path calls answered as `fault` says.
RegistrationRun RunWithPathFault(PathFault fault)
{
    pathFault = fault;
    RegistrationRun run;
    {
        ImportPatch module("kernel32.dll", "GetModuleFileNameA",
                           reinterpret_cast<void*>(&FakeModuleFileName));
        ImportPatch shortPath("kernel32.dll", "GetShortPathNameA",
                              reinterpret_cast<void*>(&FakeShortPathName));
        EXPECT_TRUE(module.active() && shortPath.active());
        run = RunRecorded(&RegisterFileType);
    }
    pathFault = PathFault::None;
    return run;
}

struct PathCase {
    PathFault fault;
    size_t length;
    bool registers;
    const char* command = nullptr; // null: the short path, then " %1"
};

TEST(RegisterFileType, ProgramPathThatCannotBeHadOrDoesNotFitStopsBeforeAnyWrite)
{
    const PathCase cases[] = {
        {PathFault::ModuleFails, 20, false},
        {PathFault::ModuleTruncated, 20, false},
        {PathFault::ShortFails, 20, false},
        {PathFault::ShortTooLong, 300, false}, // beyond the buffer
        {PathFault::ShortTooLong, 257, false}, // no room for " %1"
        {PathFault::None, 256, true},          // " %1" just fits
        // A blank: the path goes in quotation marks in the command alone.
        {PathFault::LongKept, 0, true, "\"C:\\Program Files\\Loxa\\loxa.exe\" %1"},
    };
    for (const PathCase& each : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(each.fault)) + "/"
                     + std::to_string(each.length));
        RegistrySandbox sandbox;
        ASSERT_TRUE(sandbox.ready());
        shortPathLength = each.length;
        const RegistrationRun run = RunWithPathFault(each.fault);

        EXPECT_TRUE(run.openKeys.empty());
        ExpectBoxes(run, {each.registers ? kRegisteredText : kOpenFailedText});
        if (!each.registers) {
            EXPECT_EQ(run.result, RegistrationOutcome::Failed);
            EXPECT_EQ(run.calls, kCleanPreCheck);
        } else {
            EXPECT_EQ(run.result, RegistrationOutcome::Done);
            const std::string path =
                each.command != nullptr ? modulePath : "C:\\" + std::string(each.length - 3, 'A');
            const std::string command = each.command != nullptr ? each.command : path + " %1";
            for (const std::string& prefix : {std::string(), std::string("SOFTWARE\\Classes\\")}) {
                HKEY root = prefix.empty() ? sandbox.classesRoot() : sandbox.localMachine();
                EXPECT_EQ(
                    ReadRegistryValue(
                        root, (prefix + "Loxa.ProgramInfo\\shell\\open\\command").c_str(), nullptr)
                        .data,
                    command + '\0');
            }
            EXPECT_EQ(
                ReadRegistryValue(sandbox.classesRoot(), "Loxa.ProgramInfo\\DefaultIcon", nullptr)
                    .data,
                path + ",1" + '\0');
            EXPECT_EQ(ReadRegistryValue(sandbox.currentUser(), "SOFTWARE\\Loxa", nullptr).data,
                      path + '\0');
        }
    }
}

// Where the volume keeps no short names, the program's folder "... TV Tools"
// reaches the command as it is. The command line that the shell makes of it
// must still bring the document to the dialog, and /U must still know the
// registration for its own.
TEST(RegisterFileType, CommandWithABlankInTheProgramPathOpensTheDocument)
{
    ScratchFolder folder;
    ASSERT_TRUE(CreateScratchFolder("TV Tools", folder));
    const std::string program = folder.path + "loxa.exe";
    ASSERT_TRUE(CopyFileA(LoxaExecutablePath().c_str(), program.c_str(), FALSE));
    folder.files.push_back(program);
    const std::string document = WriteScratchFile(folder, "program.loxa", Document("version: 1"));
    ASSERT_FALSE(document.empty());

    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.ready());
    const std::string usualModulePath = modulePath;
    modulePath = program;
    const RegistrationRun run = RunWithPathFault(PathFault::LongKept);
    modulePath = usualModulePath;
    ASSERT_EQ(run.result, RegistrationOutcome::Done);

    // As the shell does: %1 becomes the document's path, and the line is
    // started as it stands, with the blank where Windows finds the program.
    std::string command = AsText(
        ReadRegistryValue(sandbox.classesRoot(), "Loxa.ProgramInfo\\shell\\open\\command", nullptr)
            .data);
    const size_t placeholder = command.find("%1");
    ASSERT_NE(placeholder, std::string::npos) << command;
    command.replace(placeholder, 2, document);
    {
        LoxaProcess loxa;
        PROCESS_INFORMATION info{};
        ASSERT_TRUE(StartProcessInJob(command, nullptr, loxa.job, info, program.c_str()))
            << command;
        loxa.process.reset(info.hProcess);
        loxa.processId = info.dwProcessId;
        HWND dialog = WaitForProgramDataDialog(loxa.processId, kWaitMs);
        ASSERT_NE(dialog, nullptr) << command;
        ASSERT_TRUE(EndProgramDataDialog(dialog, DialogEnding::Cancel));
        DWORD exitCode = 1;
        EXPECT_TRUE(WaitForExit(loxa, kWaitMs, exitCode));
    }

    MessageBoxRecorder boxes;
    ASSERT_TRUE(boxes.active());
    EXPECT_EQ(UnregisterFileType(), RegistrationOutcome::Done);
    EXPECT_FALSE(RegistryKeyExists(sandbox.classesRoot(), "Loxa.ProgramInfo"));
}

} // namespace
