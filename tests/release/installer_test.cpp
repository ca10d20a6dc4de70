// The release installer, run silently in the test prefix as an administrator
// would: what an install leaves (files, the uninstall entry, the program's own
// registration, the calendar plug-in's listing), a document opened through
// that registration, an install over an earlier one, a refused registration,
// and what the uninstaller takes away again.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "end_to_end_support.h"
#include "handler_menu_driver.h"
#include "program_data_dialog_driver.h"
#include "registry_sandbox.h"
#include "release_files.h"

namespace {

const DWORD kSetupWaitMs = ScaledWaitMs(60000);
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Loxa";
constexpr char kCalendarKey[] = "SOFTWARE\\Loxa\\カレンダーに追加";
constexpr char kMimeType[] = "MIME\\Database\\Content Type\\application/x-tv-program-info";
constexpr char kMachineMimeDatabase[] = "SOFTWARE\\Classes\\MIME\\Database\\Content Type";
const char* const kInstalledFiles[] = {"loxa.exe",
                                       "ical.dll",
                                       "LICENSE.txt",
                                       "sdk\\loxa_plugin.h",
                                       "sdk\\plugin-guide.txt",
                                       "guide\\loxa-guide.html",
                                       "uninstall.exe"};

std::string Text(HKEY root, const char* path, const char* name)
{
    const RegistryValue value = ReadRegistryValue(root, path, name);
    return value.found && value.type == REG_SZ ? AsText(value.data) : "(missing)";
}

// "<Program Files>\Loxa\", where a 32-bit installer puts a program.
std::string InstallFolder()
{
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + "\\Loxa\\";
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs a command line and waits for it; the exit code, or -1 when it could
// not be started or did not end in time.
long Run(std::string commandLine)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        return -1;
    }
    CloseHandle(started.hThread);
    UniqueDrivenProcess process(started.hProcess);
    DWORD exitCode = 0;
    if (WaitForSingleObject(process.get(), kSetupWaitMs) != WAIT_OBJECT_0
        || !GetExitCodeProcess(process.get(), &exitCode)) {
        return -1;
    }
    return static_cast<long>(exitCode);
}

long RunSetup()
{
    return Run("\"" LOXA_SETUP_PATH "\" /S");
}

// The quiet uninstaller hands over to a copy of itself in the temporary folder
// and ends at once; done means the uninstall entry and the folder are gone.
bool UninstallAndWait()
{
    const std::string command = Text(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString");
    if (Run(command) != 0) {
        return false;
    }
    for (DWORD waited = 0; waited < kSetupWaitMs; waited += 100) {
        if (!RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey) && !FileExists(InstallFolder())) {
            return true;
        }
        Sleep(100);
    }
    return false;
}

std::string ShortPath(const std::string& path)
{
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return shortPath;
}

void ExpectRegisteredFor(const std::string& program)
{
    const std::string command = ShortPath(program) + " %1";
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, ".loxa", ""), "Loxa.ProgramInfo");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, kMimeType, "Extension"), ".loxa");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "Loxa.ProgramInfo\\shell\\open\\command", ""), command);
    EXPECT_EQ(
        Text(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Loxa.ProgramInfo\\shell\\open\\command", ""),
        command);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, "SOFTWARE\\Loxa", ""), ShortPath(program));
}

// A value or a key in one registry view: KEY_WOW64_64KEY is what 64-bit
// programs (Explorer, the browsers) see, KEY_WOW64_32KEY what 32-bit ones see.
std::string TextInView(HKEY root, const char* path, const char* name, REGSAM view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) {
        return "(missing)";
    }
    char text[MAX_PATH] = {};
    DWORD size = sizeof text - 1;
    DWORD type = REG_NONE;
    const LONG result =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ ? std::string(text) : "(missing)";
}

bool KeyExistsInView(HKEY root, const char* path, REGSAM view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// Opens a document as Explorer or a browser on 64-bit Windows does: through
// the 64-bit shell ("sysnative" names the 64-bit system folder from a 32-bit
// program).
long OpenThroughThe64BitShell(const std::string& document)
{
    return Run("C:\\windows\\sysnative\\cmd.exe /c start \"\" \"" + document + "\"");
}

bool RunningUnderWow64()
{
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

// The installer starts the reminder application through Explorer and waits
// for it only a while; an uninstall that came before it runs would find
// nothing to close and leave it running from the install folder.
void WaitForReminderWindow()
{
    for (DWORD waited = 0; waited < kSetupWaitMs && !FindWindowA("LoxaReminder", nullptr);
         waited += 100) {
        Sleep(100);
    }
}

// A document opened as the browser opens it, through the registration: the
// handler menu, its first item, then the dialog. The menu probe lives as long
// as loxa.exe.
struct OpenedDocument {
    ScratchFolder scratch;
    std::string document;
    MenuProbe probe;
    UniqueDrivenProcess loxa;
    HWND dialog = nullptr;
};

void OpenThroughTheRegistration(OpenedDocument& opened)
{
    ASSERT_TRUE(CreateTestFolder(opened.scratch));
    opened.document = WriteScratchFile(opened.scratch, "program.loxa", Document("version: 1"));
    ASSERT_TRUE(StartMenuProbe(opened.probe));
    SHELLEXECUTEINFOA open = {};
    open.cbSize = sizeof open;
    open.fMask = SEE_MASK_NOCLOSEPROCESS;
    open.lpVerb = "open";
    open.lpFile = opened.document.c_str();
    open.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExA(&open) && open.hProcess != nullptr);
    opened.loxa.reset(open.hProcess);
    HandlerMenuView menu;
    ASSERT_TRUE(WaitForHandlerMenu(opened.probe, GetProcessId(opened.loxa.get()), kWaitMs, menu));
    ASSERT_TRUE(ChooseMenuItem(menu, 0));
    opened.dialog = WaitForProgramDataDialog(GetProcessId(opened.loxa.get()), kWaitMs);
    ASSERT_NE(opened.dialog, nullptr);
}

// Each test starts with Loxa not installed, on a prefix with the MIME
// database that a real system has, and leaves it uninstalled.
class Installer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WriteRegistryKey(HKEY_LOCAL_MACHINE, kMachineMimeDatabase));
        ASSERT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
        ASSERT_TRUE(FileExists(LOXA_SETUP_PATH)) << "run scripts/release.sh first";
    }
    void TearDown() override
    {
        if (RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) {
            WaitForReminderWindow();
            EXPECT_TRUE(UninstallAndWait());
        }
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kMimeType);
        RegDeleteKeyA(HKEY_CLASSES_ROOT, kMimeType);
    }
};

} // namespace

TEST_F(Installer, SilentInstallRegistersAndUninstallRemovesEverything)
{
    ASSERT_EQ(RunSetup(), 0);
    const std::string folder = InstallFolder();
    for (const char* file : kInstalledFiles) {
        EXPECT_TRUE(FileExists(folder + file)) << file;
    }

    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Loxa");
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"), LOXA_VERSION);
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kUninstallKey, "Publisher"), "the Loxa developers");
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon"), folder + "loxa.exe,0");
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"),
              "\"" + folder + "uninstall.exe\"");
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString"),
              "\"" + folder + "uninstall.exe\" /S");
    const RegistryValue size =
        ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize");
    ASSERT_EQ(size.type, static_cast<DWORD>(REG_DWORD));
    DWORD kilobytes = 0;
    std::memcpy(&kilobytes, size.data.data(), sizeof kilobytes);
    EXPECT_GE(kilobytes, 100u); // the program and the plug-in alone are more
    ExpectRegisteredFor(folder + "loxa.exe");
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kCalendarKey, ""), folder + "ical.dll");

    // A document opened through the registration: the calendar plug-in is
    // listed, so the handler menu comes first.
    OpenedDocument opened;
    ASSERT_NO_FATAL_FAILURE(OpenThroughTheRegistration(opened));
    ProgramDataDialogView view;
    ASSERT_TRUE(ReadProgramDataDialog(opened.dialog, view));
    EXPECT_EQ(view.title, "ニュース");
    ASSERT_TRUE(EndProgramDataDialog(opened.dialog, DialogEnding::Cancel)) << DriverFailure();
    EXPECT_EQ(WaitForSingleObject(opened.loxa.get(), kWaitMs), WAIT_OBJECT_0);

    ASSERT_TRUE(UninstallAndWait());
    for (const char* file : kInstalledFiles) {
        EXPECT_FALSE(FileExists(folder + file)) << file;
    }
    for (const char* key : {".loxa", "Loxa.ProgramInfo", kMimeType}) {
        EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, key)) << key;
    }
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Loxa.ProgramInfo"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, "SOFTWARE\\Loxa"));
    EXPECT_TRUE(FileExists(opened.document)) << "the user's document stays";
}

TEST_F(Installer, InstallOverAnEarlierInstallRegistersAgainAndKeepsTheUsersPlugins)
{
    ASSERT_EQ(RunSetup(), 0);
    const std::string userPlugin = "SOFTWARE\\Loxa\\私のツール";
    ASSERT_TRUE(WriteRegistryValue(HKEY_CURRENT_USER, userPlugin.c_str(), "", REG_SZ,
                                   std::string("C:\\Tools\\mytool.dll", 20)));

    // The earlier registration must go first: /R alone would be refused.
    ASSERT_EQ(RunSetup(), 0);
    const std::string folder = InstallFolder();
    ExpectRegisteredFor(folder + "loxa.exe");
    EXPECT_EQ(Text(HKEY_CURRENT_USER, userPlugin.c_str(), ""), "C:\\Tools\\mytool.dll");
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kCalendarKey, ""), folder + "ical.dll");
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"), LOXA_VERSION);
}

TEST_F(Installer, RegistrationRefusedForAnotherApplicationsTypeFailsTheInstall)
{
    // The MIME type is another application's: registered without an extension.
    ASSERT_TRUE(WriteRegistryKey(HKEY_CLASSES_ROOT, kMimeType));
    EXPECT_EQ(RunSetup(), 2);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, "Loxa.ProgramInfo"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, kMimeType));

    // Removal takes the calendar entry and its list key even though there was
    // no registration for /U to remove, and leaves the other type alone.
    ASSERT_TRUE(UninstallAndWait());
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, "SOFTWARE\\Loxa"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, kMimeType));
}

// On 64-bit Windows, where nearly every user runs the 32-bit program under
// WOW64: the install goes to "Program Files (x86)", the uninstall entry to the
// 32-bit registry view, the registration is shared with the 64-bit side, and a
// document that the 64-bit shell opens starts the 32-bit loxa.exe.
TEST_F(Installer, UnderWow64TheProgramIsFoundByThe64BitShell)
{
    if (!RunningUnderWow64()) {
        GTEST_SKIP() << "a 32-bit Windows has no WOW64 (no second registry view or Program Files)";
    }
    ASSERT_EQ(RunSetup(), 0);
    const std::string program = "C:\\Program Files (x86)\\Loxa\\loxa.exe";
    EXPECT_TRUE(FileExists(program));
    EXPECT_FALSE(FileExists("C:\\Program Files\\Loxa"));

    EXPECT_EQ(TextInView(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon", KEY_WOW64_32KEY),
              program + ",0");
    EXPECT_EQ(
        TextInView(HKEY_LOCAL_MACHINE,
                   "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Loxa",
                   "DisplayName", KEY_WOW64_64KEY),
        "Loxa");
    EXPECT_FALSE(KeyExistsInView(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_64KEY));

    // Seen from the 64-bit side: what Explorer and a browser look up.
    const std::string command = ShortPath(program) + " %1";
    EXPECT_EQ(TextInView(HKEY_CLASSES_ROOT, ".loxa", "", KEY_WOW64_64KEY), "Loxa.ProgramInfo");
    EXPECT_EQ(TextInView(HKEY_CLASSES_ROOT, kMimeType, "Extension", KEY_WOW64_64KEY), ".loxa");
    EXPECT_EQ(TextInView(HKEY_CLASSES_ROOT, "Loxa.ProgramInfo\\shell\\open\\command", "",
                         KEY_WOW64_64KEY),
              command);
    EXPECT_EQ(TextInView(HKEY_LOCAL_MACHINE,
                         "SOFTWARE\\Classes\\Loxa.ProgramInfo\\shell\\open\\command", "",
                         KEY_WOW64_64KEY),
              command);

    // A download opened by the 64-bit shell. Without the calendar plug-in
    // the dialog comes at once.
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, kCalendarKey), ERROR_SUCCESS);
    ScratchFolder scratch;
    ASSERT_TRUE(CreateTestFolder(scratch));
    const std::string document = WriteScratchFile(scratch, "program.loxa", Document("version: 1"));
    ASSERT_EQ(OpenThroughThe64BitShell(document), 0);
    const HWND dialog = WaitForProgramDataDialog(0, kWaitMs);
    ASSERT_NE(dialog, nullptr);
    DWORD processId = 0;
    GetWindowThreadProcessId(dialog, &processId);
    UniqueDrivenProcess loxa(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId));
    ASSERT_TRUE(loxa.get() != nullptr);
    BOOL wow64 = FALSE;
    EXPECT_TRUE(IsWow64Process(loxa.get(), &wow64) && wow64);
    char image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    ASSERT_TRUE(QueryFullProcessImageNameA(loxa.get(), 0, image, &size));
    char longImage[MAX_PATH] = {};
    GetLongPathNameA(image, longImage, MAX_PATH);
    EXPECT_STREQ(longImage, program.c_str());
    ProgramDataDialogView view;
    ASSERT_TRUE(ReadProgramDataDialog(dialog, view));
    EXPECT_EQ(view.title, "ニュース");
    ASSERT_TRUE(EndProgramDataDialog(dialog, DialogEnding::Cancel)) << DriverFailure();
    EXPECT_EQ(WaitForSingleObject(loxa.get(), kWaitMs), WAIT_OBJECT_0);

    ASSERT_TRUE(UninstallAndWait());
    EXPECT_FALSE(FileExists(program));
    for (const char* key : {".loxa", "Loxa.ProgramInfo"}) {
        EXPECT_FALSE(KeyExistsInView(HKEY_CLASSES_ROOT, key, KEY_WOW64_64KEY)) << key;
    }
}

// The reminder application's component, selected by default: installed,
// started at once and at sign-in, closed before an upgrade and before its
// removal, which keeps the user's reminders.
namespace {

constexpr char kReminderClass[] = "LoxaReminder";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The running reminder application, found by its hidden window, as a process
// handle (null when none appeared in time). Not killed with the handle: the
// uninstall of the test's end closes it.
UniqueHandle WaitForReminder()
{
    for (DWORD waited = 0; waited < kSetupWaitMs; waited += 100) {
        if (HWND window = FindWindowA(kReminderClass, nullptr)) {
            DWORD processId = 0;
            GetWindowThreadProcessId(window, &processId);
            return UniqueHandle(
                OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId));
        }
        Sleep(100);
    }
    return UniqueHandle(nullptr);
}

// Ended on its own (WM_CLOSE), not killed: exit code 0.
void ExpectEndedCleanly(HANDLE process)
{
    ASSERT_EQ(WaitForSingleObject(process, 0), WAIT_OBJECT_0) << "still running";
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process, &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

// "%APPDATA%\Loxa\Reminders\", where the user's reminders are kept.
std::string ReminderFolder()
{
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + "\\Loxa\\Reminders\\";
}

// The files in a folder and, one level down, in its subfolders ("ab\\name"),
// as the reminder keeps them.
std::vector<std::string> FilesIn(const std::string& folder, bool descend = true)
{
    std::vector<std::string> names;
    std::vector<std::string> subfolders;
    WIN32_FIND_DATAA found = {};
    const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.push_back(name);
        } else if (descend && name != "." && name != "..") {
            subfolders.push_back(name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    for (const std::string& subfolder : subfolders) {
        for (const std::string& name : FilesIn(folder + subfolder + "\\", false)) {
            names.push_back(subfolder + "\\" + name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The reminders this test made go again, so that no later run finds them.
struct ReminderFolderCleanup {
    ~ReminderFolderCleanup()
    {
        const std::string folder = ReminderFolder();
        for (const std::string& name : FilesIn(folder)) {
            DeleteFileA((folder + name).c_str());
            const std::size_t slash = name.find('\\');
            if (slash != std::string::npos) {
                RemoveDirectoryA((folder + name.substr(0, slash)).c_str());
            }
        }
        RemoveDirectoryA(folder.c_str());
    }
};

} // namespace

TEST_F(Installer, ReminderStartsAtOnceReceivesAChipAndRemovalClosesItKeepingTheReminders)
{
    ReminderFolderCleanup cleanup;
    ASSERT_EQ(RunSetup(), 0);
    const std::string program = InstallFolder() + "loxa-reminder.exe";
    EXPECT_TRUE(FileExists(program));
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kRunKey, "LoxaReminder"), "\"" + program + "\" /startup");
    const UniqueHandle reminder = WaitForReminder();
    ASSERT_NE(reminder.get(), nullptr) << "not started after the installation";

    // The whole road on a machine with nothing else: a document opened
    // through the registration, "登録" pressed, the chip kept.
    OpenedDocument opened;
    ASSERT_NO_FATAL_FAILURE(OpenThroughTheRegistration(opened));
    ASSERT_TRUE(EndProgramDataDialog(opened.dialog, DialogEnding::Register)) << DriverFailure();
    // A refused or failed poke would leave loxa.exe waiting on its message.
    ASSERT_EQ(WaitForSingleObject(opened.loxa.get(), kSetupWaitMs), WAIT_OBJECT_0);
    const std::vector<std::string> kept = FilesIn(ReminderFolder());
    ASSERT_FALSE(kept.empty()) << "no reminder in " << ReminderFolder();

    ASSERT_TRUE(UninstallAndWait());
    ExpectEndedCleanly(reminder.get());
    EXPECT_FALSE(FileExists(program));
    EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, kRunKey, "LoxaReminder").found);
    EXPECT_EQ(FilesIn(ReminderFolder()), kept) << "the user's reminders stay";
}

TEST_F(Installer, InstallOverARunningReminderClosesItAndStartsTheNewCopy)
{
    ReminderFolderCleanup cleanup;
    ASSERT_EQ(RunSetup(), 0);
    const UniqueHandle earlier = WaitForReminder();
    ASSERT_NE(earlier.get(), nullptr);

    // The earlier copy holds its file; the installer must end it first.
    ASSERT_EQ(RunSetup(), 0);
    ExpectEndedCleanly(earlier.get());
    const UniqueHandle later = WaitForReminder();
    ASSERT_NE(later.get(), nullptr) << "not started again after the upgrade";
    EXPECT_NE(GetProcessId(later.get()), GetProcessId(earlier.get()));
    const std::string program = InstallFolder() + "loxa-reminder.exe";
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kRunKey, "LoxaReminder"), "\"" + program + "\" /startup");
}
