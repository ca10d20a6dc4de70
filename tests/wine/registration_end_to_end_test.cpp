// loxa.exe /R and /U in the test prefix: what the user sees, and the
// registry they leave. The prefix's registry is put back as it was found.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "end_to_end_support.h"
#include "program_data_dialog_driver.h"
#include "registered_entries.h"
#include "registration_texts.h"
#include "registry_sandbox.h"
#include "ui_driver.h"

namespace {

constexpr char kMachineMimeDatabase[] = "SOFTWARE\\Classes\\MIME\\Database\\Content Type";

void DeleteRegistration()
{
    for (const char* key :
         {"SOFTWARE\\Classes\\.loxa", "SOFTWARE\\Classes\\Loxa.ProgramInfo", kMachineMimeType}) {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
    }
    for (const char* key : {".loxa", "Loxa.ProgramInfo", kClassesRootMimeType}) {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
        RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Loxa");
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Loxa");
}

// Starts from no registration, with the MIME database that a real system
// has; leaves the prefix as it found it.
class RegistrationEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteRegistration();
        createdMimeDatabase_ = !RegistryKeyExists(HKEY_LOCAL_MACHINE, kMachineMimeDatabase);
        ASSERT_TRUE(WriteRegistryKey(HKEY_LOCAL_MACHINE, kMachineMimeDatabase));
        ASSERT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, "MIME\\Database\\Content Type"));
    }

    void TearDown() override
    {
        DeleteRegistration();
        if (createdMimeDatabase_) {
            for (const char* key :
                 {"SOFTWARE\\Classes\\MIME\\Database\\Content Type",
                  "SOFTWARE\\Classes\\MIME\\Database", "SOFTWARE\\Classes\\MIME"}) {
                RegDeleteKeyA(HKEY_LOCAL_MACHINE, key); // only while empty
            }
        }
    }

    // Runs loxa.exe with `tail`, answering every box with OK; the run must
    // end with 0 after showing exactly `texts`, captioned "Loxa", each with
    // one OK button and the given icon.
    static void Run(const std::string& tail,
                    const std::vector<std::pair<const char*, BoxIcon>>& texts)
    {
        LoxaProcess loxa;
        std::vector<MessageBoxView> boxes;
        ASSERT_NO_FATAL_FAILURE(RunAnsweringBoxes(loxa, tail, boxes));
        ASSERT_EQ(boxes.size(), texts.size());
        for (size_t i = 0; i < boxes.size(); ++i) {
            EXPECT_EQ(boxes[i].text, texts[i].first);
            EXPECT_EQ(boxes[i].caption, kCaption);
            EXPECT_EQ(boxes[i].buttons, (std::vector<int>{IDOK}));
            EXPECT_EQ(boxes[i].icon, texts[i].second);
        }
    }

private:
    bool createdMimeDatabase_ = false;
};

std::string ShortLoxaPath()
{
    char path[MAX_PATH] = {};
    GetShortPathNameA(LoxaExecutablePath().c_str(), path, MAX_PATH);
    return path;
}

TEST_F(RegistrationEndToEnd, RegisterThenRefuseASecondTimeThenUnregister)
{
    Run("/R", {{kRegisteredText, BoxIcon::None}});

    const std::string path = ShortLoxaPath();
    ASSERT_FALSE(path.empty());
    ExpectRegisteredEntries(HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, path);

    Run("/R", {{kAlreadyInstalledText, BoxIcon::Information}});

    Run("/U", {{kUnregisteredText, BoxIcon::None}});
    for (const char* key : {".loxa", "Loxa.ProgramInfo", kClassesRootMimeType}) {
        EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, key)) << key;
    }
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Loxa.ProgramInfo"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, "SOFTWARE\\Loxa"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kMachineMimeDatabase));

    // Registered afresh once more: the pre-check passes again.
    Run("/R", {{kRegisteredText, BoxIcon::None}});
}

// A download whose name code page 932 cannot spell ("〜" is U+301C, the wave
// dash), opened through the shell after /R: the dialog shows its program.
TEST_F(RegistrationEndToEnd, ShellOpensADocumentNamedBeyondCodePage932)
{
    Run("/R", {{kRegisteredText, BoxIcon::None}});
    ScratchFolder folder;
    ASSERT_TRUE(CreateTestFolder(folder));
    wchar_t folderPath[MAX_PATH] = {};
    ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, folder.path.c_str(), -1, folderPath, MAX_PATH), 0);
    // ドラマ〜第1話〜.loxa
    const std::wstring document =
        std::wstring(folderPath) + L"\u30c9\u30e9\u30de\u301c\u7b2c1\u8a71\u301c.loxa";
    const std::string bytes = Document("version: 1");
    {
        UniqueHandle file(CreateFileW(document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                              nullptr));
    }

    SHELLEXECUTEINFOW open{};
    open.cbSize = sizeof open;
    open.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    open.lpVerb = L"open";
    open.lpFile = document.c_str();
    open.nShow = SW_SHOWNORMAL;
    const bool started = ShellExecuteExW(&open) && open.hProcess != nullptr;
    LoxaProcess loxa;
    if (started) {
        loxa.process.reset(open.hProcess);
        loxa.processId = GetProcessId(open.hProcess);
    }
    HWND dialog = started ? WaitForProgramDataDialog(loxa.processId, kWaitMs) : nullptr;
    EXPECT_NE(dialog, nullptr);
    if (dialog != nullptr) {
        ProgramDataDialogView view;
        EXPECT_TRUE(ReadProgramDataDialog(dialog, view));
        EXPECT_EQ(view.title, "ニュース");
        EXPECT_TRUE(EndProgramDataDialog(dialog, DialogEnding::Cancel));
        DWORD exitCode = 1;
        EXPECT_TRUE(WaitForExit(loxa, kWaitMs, exitCode));
        EXPECT_EQ(exitCode, 0u);
    }
    loxa.process.reset();
    EXPECT_TRUE(DeleteFileW(document.c_str()));
}

TEST_F(RegistrationEndToEnd, UnregisterWithNothingRegisteredShowsTwoBoxes)
{
    Run("/U", {{kOpenFailedText, BoxIcon::None}, {kRefusedText, BoxIcon::None}});
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, ".loxa"));
}

// The quiet form: no box, and the exit code tells the outcome. The installer
// relies on these numbers.
TEST_F(RegistrationEndToEnd, QuietSwitchesTellTheOutcomeByExitCodeAlone)
{
    ExpectRunWithoutBoxes("/R /S", 0);
    EXPECT_EQ(ReadRegistryValue(HKEY_CLASSES_ROOT, "Loxa.ProgramInfo", nullptr).data,
              std::string("Loxa", 5));
    ExpectRunWithoutBoxes("/R /s", 1); // already registered
    ExpectRunWithoutBoxes("/U /S", 0);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, "Loxa.ProgramInfo"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, "SOFTWARE\\Loxa"));
    ExpectRunWithoutBoxes("x /U\t/s", 3); // nothing to remove

    // Another program's registration, described by another title or by none.
    ExpectRunWithoutBoxes("/R /S", 0);
    ASSERT_TRUE(WriteRegistryValue(HKEY_CLASSES_ROOT, "Loxa.ProgramInfo", nullptr, REG_SZ,
                                   std::string("Other", 6)));
    ExpectRunWithoutBoxes("/U /S", 2);
    UniqueKey progId;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Loxa.ProgramInfo", 0, KEY_SET_VALUE, progId.put()),
              ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueA(progId.get(), nullptr), ERROR_SUCCESS);
    progId.reset();
    ExpectRunWithoutBoxes("/U /S", 2);
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, "SOFTWARE\\Loxa"));

    // The type is in use without an extension of its own.
    DeleteRegistration();
    ASSERT_TRUE(WriteRegistryKey(HKEY_LOCAL_MACHINE, kMachineMimeType));
    ExpectRunWithoutBoxes("/R /S", 2);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, ".loxa"));
}

// Without the MIME database the pre-check cannot open it: a failure. The
// database is set aside under a scratch key and put back.
TEST_F(RegistrationEndToEnd, QuietRegistrationThatFailsExitsWithThree)
{
    constexpr char kAside[] = "SOFTWARE\\LoxaTestMimeDatabase";
    RegDeleteTreeA(HKEY_CURRENT_USER, kAside);
    UniqueKey database;
    UniqueKey aside;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMachineMimeDatabase, 0, KEY_READ, database.put()),
              ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kAside, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              aside.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegCopyTreeA(database.get(), nullptr, aside.get()), ERROR_SUCCESS);
    database.reset();
    ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMachineMimeDatabase), ERROR_SUCCESS);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kMachineMimeDatabase);
    ASSERT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, "MIME\\Database\\Content Type"));

    ExpectRunWithoutBoxes("/R /S", 3);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, "Loxa.ProgramInfo"));

    ASSERT_TRUE(WriteRegistryKey(HKEY_LOCAL_MACHINE, kMachineMimeDatabase));
    ASSERT_EQ(
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMachineMimeDatabase, 0, KEY_ALL_ACCESS, database.put()),
        ERROR_SUCCESS);
    EXPECT_EQ(RegCopyTreeA(aside.get(), nullptr, database.get()), ERROR_SUCCESS);
    aside.reset();
    RegDeleteTreeA(HKEY_CURRENT_USER, kAside);
    RegDeleteKeyA(HKEY_CURRENT_USER, kAside);
}

} // namespace
