// /U in process, against scratch registry roots: the ownership check, the
// order of removal, the silent skips, and key trees deep and wide.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "message_box_recorder.h"
#include "registration/delete_key_tree.h"
#include "registration/register_file_type.h"
#include "registration/unregister_file_type.h"
#include "registered_entries.h"
#include "registration_texts.h"
#include "registration_run.h"
#include "registry_call_recorder.h"
#include "registry_sandbox.h"

namespace {

using Lines = std::vector<std::string>;

// A fresh registration under the sandbox's roots.
void Register(const RegistrySandbox& sandbox)
{
    ASSERT_TRUE(sandbox.ready());
    MessageBoxRecorder boxes;
    ASSERT_EQ(RegisterFileType(), RegistrationOutcome::Done);
}

// Explorer is told at most once, and only when keys went.
const Lines kNotifiedOnce = {"notify SHCNE_ASSOCCHANGED SHCNF_IDLIST"};

void ExpectEverythingRegistered(const RegistrySandbox& sandbox)
{
    for (HKEY root : {sandbox.classesRoot(), sandbox.localMachine()}) {
        const std::string prefix = root == sandbox.classesRoot() ? "" : "SOFTWARE\\Classes\\";
        EXPECT_TRUE(RegistryKeyExists(root, (prefix + ".loxa").c_str())) << prefix;
        EXPECT_TRUE(RegistryKeyExists(
            root, (prefix + "MIME\\Database\\Content Type\\application/x-tv-program-info").c_str()))
            << prefix;
    }
    EXPECT_TRUE(RegistryKeyExists(sandbox.currentUser(), "SOFTWARE\\Loxa"));
}

TEST(UnregisterFileType, RemovesEveryEntryChildrenFirstHandlersIncluded)
{
    RegistrySandbox sandbox;
    ASSERT_NO_FATAL_FAILURE(Register(sandbox));
    // Plug-in handlers that the chooser would list.
    ASSERT_TRUE(WriteRegistryValue(sandbox.currentUser(), "SOFTWARE\\Loxa\\録画予約", nullptr,
                                   REG_SZ, std::string("C:\\plugins\\rec.dll", 19)));
    ASSERT_TRUE(WriteRegistryValue(sandbox.currentUser(), "SOFTWARE\\Loxa\\Mail\\Options", "to",
                                   REG_SZ, std::string("a@b", 4)));
    // The longest key name: 255 characters, 510 bytes.
    std::string longest;
    for (int i = 0; i < 255; ++i) {
        longest += "漢"; // 8A BF
    }
    // Named relative to its parent: Wine's ANSI calls take a whole path of
    // 260 characters at most.
    UniqueKey list;
    ASSERT_EQ(
        RegOpenKeyExA(sandbox.currentUser(), "SOFTWARE\\Loxa", 0, KEY_CREATE_SUB_KEY, list.put()),
        ERROR_SUCCESS);
    ASSERT_TRUE(WriteRegistryValue(list.get(), longest.c_str(), nullptr, REG_SZ,
                                   std::string("C:\\p.dll", 9)));
    list.reset();

    RegistrationRun run = RunRecorded(&UnregisterFileType);

    EXPECT_EQ(run.result, RegistrationOutcome::Done);
    ExpectBoxes(run, {kUnregisteredText});
    EXPECT_TRUE(run.openKeys.empty());
    EXPECT_EQ(
        CallsOf(run.calls, "delete"),
        (Lines{
            "delete HKLM\\SOFTWARE\\Classes\\.loxa",
            "delete HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo\\DefaultIcon",
            "delete HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo\\shell\\open\\command",
            "delete HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo\\shell\\open",
            "delete HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo\\shell",
            "delete HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo",
            "delete HKLM\\SOFTWARE\\Classes\\MIME\\Database\\Content Type\\application/x-tv-program-info",
            "delete HKCR\\.loxa",
            "delete HKCR\\Loxa.ProgramInfo\\DefaultIcon",
            "delete HKCR\\Loxa.ProgramInfo\\shell\\open\\command",
            "delete HKCR\\Loxa.ProgramInfo\\shell\\open",
            "delete HKCR\\Loxa.ProgramInfo\\shell",
            "delete HKCR\\Loxa.ProgramInfo",
            "delete HKCR\\MIME\\Database\\Content Type\\application/x-tv-program-info",
            "delete HKCU\\SOFTWARE\\Loxa\\Mail\\Options",
            "delete HKCU\\SOFTWARE\\Loxa\\Mail",
            "delete HKCU\\SOFTWARE\\Loxa\\" + longest, // 漢 (U+6F22) before 録 (U+9332)
            "delete HKCU\\SOFTWARE\\Loxa\\録画予約",
            "delete HKCU\\SOFTWARE\\Loxa",
        }));
    EXPECT_EQ(CallsOf(run.calls, "notify"), kNotifiedOnce);

    for (const char* key : {".loxa", "Loxa.ProgramInfo", kClassesRootMimeType}) {
        EXPECT_FALSE(RegistryKeyExists(sandbox.classesRoot(), key)) << key;
    }
    for (const char* key :
         {"SOFTWARE\\Classes\\.loxa", "SOFTWARE\\Classes\\Loxa.ProgramInfo", kMachineMimeType}) {
        EXPECT_FALSE(RegistryKeyExists(sandbox.localMachine(), key)) << key;
    }
    EXPECT_FALSE(RegistryKeyExists(sandbox.currentUser(), "SOFTWARE\\Loxa"));
    // Only opened, never deleted.
    EXPECT_TRUE(RegistryKeyExists(sandbox.classesRoot(), "MIME\\Database\\Content Type"));
    EXPECT_TRUE(RegistryKeyExists(sandbox.localMachine(),
                                  "SOFTWARE\\Classes\\MIME\\Database\\Content Type"));
    EXPECT_TRUE(RegistryKeyExists(sandbox.currentUser(), "SOFTWARE"));

    // Nothing of this program's is left to remove.
    RegistrationRun second = RunRecorded(&UnregisterFileType);
    EXPECT_EQ(second.result, RegistrationOutcome::Failed);
    ExpectBoxes(second, {kOpenFailedText, kRefusedText});
    EXPECT_TRUE(CallsOf(second.calls, "notify").empty());
}

TEST(UnregisterFileType, NothingRegisteredShowsTwoBoxesAndDeletesNothing)
{
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.ready());

    RegistrationRun run = RunRecorded(&UnregisterFileType);

    EXPECT_EQ(run.result, RegistrationOutcome::Failed);
    ExpectBoxes(run, {kOpenFailedText, kRefusedText});
    EXPECT_EQ(run.calls, (Lines{"open HKCR\\Loxa.ProgramInfo KEY_QUERY_VALUE -> 2"}));
}

// How a case alters the ProgID of a fresh registration before /U runs.
enum class Change { SetDescription, DropDescription, DeleteProgId };

struct OwnerCase {
    const char* name;
    bool machine; // the ProgID under HKLM, not HKCR
    Change change;
    DWORD type;
    std::string description;
    std::vector<const char*> boxes; // one box: the check passed
};

const std::string kOther("Other", 6);
const Change kSet = Change::SetDescription;
const std::vector<const char*> kForeign = {kForeignText, kRefusedText};
const std::vector<const char*> kInUse = {kInUseText, kRefusedText};
const std::vector<const char*> kPasses = {kUnregisteredText};

const OwnerCase kOwnerCases[] = {
    {"other text under HKCR", false, kSet, REG_SZ, kOther, kForeign},
    {"other text under HKLM", true, kSet, REG_SZ, kOther, kForeign},
    {"title in other letter case", false, kSet, REG_SZ, std::string("LOXA", 5), kForeign},
    {"title with more after it", false, kSet, REG_SZ, std::string("Loxa2", 6), kForeign},
    {"empty description", false, kSet, REG_SZ, "", kForeign},
    {"no description under HKCR", false, Change::DropDescription, 0, "", kInUse},
    {"no description under HKLM", true, Change::DropDescription, 0, "", kInUse},
    {"HKLM ProgID missing", true, Change::DeleteProgId, 0, "", {kOpenFailedText, kRefusedText}},
    {"binary description", false, kSet, REG_BINARY, "Other", kPasses},
    {"expandable description", true, kSet, REG_EXPAND_SZ, kOther, kPasses},
};

bool Alter(const RegistrySandbox& sandbox, const OwnerCase& each)
{
    HKEY root = each.machine ? sandbox.localMachine() : sandbox.classesRoot();
    const char* key = each.machine ? "SOFTWARE\\Classes\\Loxa.ProgramInfo" : "Loxa.ProgramInfo";
    UniqueKey progId;
    switch (each.change) {
    case Change::SetDescription:
        return WriteRegistryValue(root, key, nullptr, each.type, each.description);
    case Change::DropDescription:
        return RegOpenKeyExA(root, key, 0, KEY_SET_VALUE, progId.put()) == ERROR_SUCCESS
               && RegDeleteValueA(progId.get(), nullptr) == ERROR_SUCCESS;
    case Change::DeleteProgId:
        return RegDeleteTreeA(root, key) == ERROR_SUCCESS;
    }
    return false;
}

TEST(UnregisterFileType, OwnershipCheckKeepsAnotherProgramsRegistration)
{
    for (const OwnerCase& each : kOwnerCases) {
        SCOPED_TRACE(each.name);
        RegistrySandbox sandbox;
        ASSERT_NO_FATAL_FAILURE(Register(sandbox));
        ASSERT_TRUE(Alter(sandbox, each));

        RegistrationRun run = RunRecorded(&UnregisterFileType);

        ExpectBoxes(run, each.boxes);
        EXPECT_TRUE(run.openKeys.empty());
        if (each.boxes.size() == 2) {
            EXPECT_EQ(run.result, each.boxes[0] == kOpenFailedText ? RegistrationOutcome::Failed
                                                                   : RegistrationOutcome::Refused);
            EXPECT_TRUE(CallsOf(run.calls, "delete").empty());
            EXPECT_TRUE(CallsOf(run.calls, "notify").empty());
            ExpectEverythingRegistered(sandbox);
        } else {
            EXPECT_EQ(run.result, RegistrationOutcome::Done);
            EXPECT_FALSE(RegistryKeyExists(sandbox.classesRoot(), "Loxa.ProgramInfo"));
            EXPECT_FALSE(
                RegistryKeyExists(sandbox.localMachine(), "SOFTWARE\\Classes\\Loxa.ProgramInfo"));
        }
    }
}

// A description that cannot be read passes, as one of another type does.
TEST(UnregisterFileType, UnreadableDescriptionPasses)
{
    RegistrySandbox sandbox;
    ASSERT_NO_FATAL_FAILURE(Register(sandbox));
    ASSERT_TRUE(
        WriteRegistryValue(sandbox.classesRoot(), "Loxa.ProgramInfo", nullptr, REG_SZ, kOther));

    RegistrationRun run = RunRecorded(&UnregisterFileType, [](RegistryCallRecorder& registry) {
        registry.FailCall("read HKCR\\Loxa.ProgramInfo (default)", ERROR_ACCESS_DENIED);
    });

    EXPECT_EQ(run.result, RegistrationOutcome::Done);
    ExpectBoxes(run, {kUnregisteredText});
}

TEST(UnregisterFileType, KeysAlreadyGoneOrParentsUnopenableAreSkippedSilently)
{
    RegistrySandbox sandbox;
    ASSERT_NO_FATAL_FAILURE(Register(sandbox));
    ASSERT_EQ(RegDeleteTreeA(sandbox.classesRoot(), ".loxa"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteTreeA(sandbox.currentUser(), "SOFTWARE\\Loxa"), ERROR_SUCCESS);

    RegistrationRun run = RunRecorded(&UnregisterFileType, [](RegistryCallRecorder& registry) {
        // The HKLM MIME database cannot be opened for reading.
        registry.FailCall("open HKLM\\SOFTWARE\\Classes\\MIME\\Database\\Content Type KEY_READ",
                          ERROR_ACCESS_DENIED);
    });

    EXPECT_EQ(run.result, RegistrationOutcome::Done);
    ExpectBoxes(run, {kUnregisteredText});
    EXPECT_TRUE(run.openKeys.empty());
    EXPECT_EQ(CallsOf(run.calls, "delete"),
              (Lines{
                  "delete HKLM\\SOFTWARE\\Classes\\.loxa",
                  "delete HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo\\DefaultIcon",
                  "delete HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo\\shell\\open\\command",
                  "delete HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo\\shell\\open",
                  "delete HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo\\shell",
                  "delete HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo",
                  "delete HKCR\\Loxa.ProgramInfo\\DefaultIcon",
                  "delete HKCR\\Loxa.ProgramInfo\\shell\\open\\command",
                  "delete HKCR\\Loxa.ProgramInfo\\shell\\open",
                  "delete HKCR\\Loxa.ProgramInfo\\shell",
                  "delete HKCR\\Loxa.ProgramInfo",
                  "delete HKCR\\MIME\\Database\\Content Type\\application/x-tv-program-info",
              }));
    // The MIME type key is not what makes the program registered: it stays
    // silently under the database that could not be opened.
    EXPECT_TRUE(RegistryKeyExists(sandbox.localMachine(), kMachineMimeType));
}

// What keeps a machine-wide key in place: the registry calls that fail.
struct StuckCase {
    const char* name;
    std::vector<std::string> failures;
    std::vector<const char*> staying; // root-prefixed: "HKCR\\..." or "HKLM\\..."
    bool anyGone = true;              // Explorer is told only when a key went
};

const StuckCase kStuckCases[] = {
    // No rights, as from a prompt that is not elevated: the opens of the
    // machine-wide keys for deletion fail.
    {"no rights on the HKLM keys",
     {"open HKLM\\SOFTWARE\\Classes\\.loxa DELETE|KEY_ENUMERATE_SUB_KEYS",
      "open HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo DELETE|KEY_ENUMERATE_SUB_KEYS",
      "open HKLM\\SOFTWARE\\Classes\\MIME\\Database\\Content Type\\application/x-tv-program-info "
      "DELETE|KEY_ENUMERATE_SUB_KEYS"},
     {"HKLM\\SOFTWARE\\Classes\\.loxa", "HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo"}},
    {"HKLM classes key unreadable",
     {"open HKLM\\SOFTWARE\\Classes KEY_READ"},
     {"HKLM\\SOFTWARE\\Classes\\.loxa", "HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo"}},
    {"HKLM extension only",
     {"open HKLM\\SOFTWARE\\Classes\\.loxa DELETE|KEY_ENUMERATE_SUB_KEYS"},
     {"HKLM\\SOFTWARE\\Classes\\.loxa"}},
    {"HKLM ProgID only",
     {"open HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo DELETE|KEY_ENUMERATE_SUB_KEYS"},
     {"HKLM\\SOFTWARE\\Classes\\Loxa.ProgramInfo"}},
    {"HKCR extension refuses deletion", {"delete HKCR\\.loxa"}, {"HKCR\\.loxa"}},
    {"HKCR ProgID refuses deletion", {"delete HKCR\\Loxa.ProgramInfo"}, {"HKCR\\Loxa.ProgramInfo"}},
    {"no class key can go",
     {"open HKLM\\SOFTWARE\\Classes KEY_READ",
      "open HKLM\\SOFTWARE\\Classes\\MIME\\Database\\Content Type KEY_READ",
      "open HKCR\\.loxa DELETE|KEY_ENUMERATE_SUB_KEYS",
      "open HKCR\\Loxa.ProgramInfo DELETE|KEY_ENUMERATE_SUB_KEYS",
      "open HKCR\\MIME\\Database\\Content Type KEY_READ"},
     {"HKCR\\.loxa", "HKCR\\Loxa.ProgramInfo", "HKLM\\SOFTWARE\\Classes\\.loxa"},
     false},
};

TEST(UnregisterFileType, KeysThatStayAreReportedAndThePluginListKept)
{
    for (const StuckCase& each : kStuckCases) {
        SCOPED_TRACE(each.name);
        RegistrySandbox sandbox;
        ASSERT_NO_FATAL_FAILURE(Register(sandbox));
        ASSERT_TRUE(WriteRegistryValue(sandbox.currentUser(), "SOFTWARE\\Loxa\\録画予約", nullptr,
                                       REG_SZ, std::string("C:\\plugins\\rec.dll", 19)));

        RegistrationRun run =
            RunRecorded(&UnregisterFileType, [&each](RegistryCallRecorder& registry) {
                for (const std::string& line : each.failures) {
                    registry.FailCall(line, ERROR_ACCESS_DENIED);
                }
            });

        EXPECT_EQ(run.result, RegistrationOutcome::Failed);
        ExpectBoxes(run, {kUnregisterFailedText});
        EXPECT_TRUE(run.openKeys.empty());
        for (const char* key : each.staying) {
            HKEY root = key[2] == 'C' ? sandbox.classesRoot() : sandbox.localMachine();
            EXPECT_TRUE(RegistryKeyExists(root, key + 5)) << key;
        }
        // The user's plug-in list goes only with the registration.
        EXPECT_TRUE(RegistryKeyExists(sandbox.currentUser(), "SOFTWARE\\Loxa\\録画予約"));
        for (const std::string& line : CallsOf(run.calls, "delete")) {
            EXPECT_EQ(line.find("HKCU"), std::string::npos) << line;
        }
        EXPECT_EQ(CallsOf(run.calls, "notify"), each.anyGone ? kNotifiedOnce : Lines{});
    }
}

// A scratch key under the sandbox's HKCU for DeleteKeyTree to work on.
constexpr char kTree[] = "SOFTWARE\\Tree";

struct TreeRun {
    bool deleted = false;
    Lines calls;
    Lines openKeys;
};

// DeleteKeyTree on kTree with the registry calls recorded; `failing`, when
// given, fails with `error`.
TreeRun DeleteTreeRecorded(const std::string& failing = "", LONG error = ERROR_SUCCESS)
{
    TreeRun run;
    RegistryCallRecorder registry;
    EXPECT_TRUE(registry.active());
    if (!failing.empty()) {
        registry.FailCall(failing, error);
    }
    run.deleted = DeleteKeyTree(HKEY_CURRENT_USER, kTree);
    run.calls = registry.calls();
    run.openKeys = registry.OpenKeys();
    return run;
}

TEST(DeleteKeyTree, RemovesADeepTreeBottomUp)
{
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.ready());
    // Built a level at a time: the whole path is longer than one call takes.
    std::string deepest = kTree;
    UniqueKey level;
    ASSERT_EQ(RegCreateKeyExA(sandbox.currentUser(), kTree, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              level.put(), nullptr),
              ERROR_SUCCESS);
    for (int depth = 0; depth < 40; ++depth) {
        std::string name = "level" + std::to_string(depth);
        deepest += "\\" + name;
        UniqueKey child;
        ASSERT_EQ(RegCreateKeyExA(level.get(), name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  child.put(), nullptr),
                  ERROR_SUCCESS);
        level = std::move(child);
    }
    ASSERT_TRUE(WriteRegistryValue(level.get(), "", "v", REG_SZ, std::string("x", 2)));
    level.reset();
    ASSERT_TRUE(WriteRegistryKey(sandbox.currentUser(), "SOFTWARE\\Tree\\level0\\a\\b"));
    ASSERT_TRUE(WriteRegistryKey(sandbox.currentUser(), "SOFTWARE\\Tree\\level0\\b"));

    const TreeRun run = DeleteTreeRecorded();
    const Lines deletions = CallsOf(run.calls, "delete");
    EXPECT_TRUE(run.openKeys.empty());

    EXPECT_FALSE(RegistryKeyExists(sandbox.currentUser(), kTree));
    EXPECT_TRUE(RegistryKeyExists(sandbox.currentUser(), "SOFTWARE"));
    ASSERT_EQ(deletions.size(), 44u); // the tree, forty levels, level0\a, level0\a\b, level0\b
    // Subkeys go in the platform's (alphabetical) order.
    EXPECT_EQ(deletions[0], "delete HKCU\\SOFTWARE\\Tree\\level0\\a\\b");
    EXPECT_EQ(deletions[3], "delete " + ("HKCU\\" + deepest));
    EXPECT_EQ(deletions.back(), "delete HKCU\\SOFTWARE\\Tree");
    // Every key goes after all the keys below it.
    for (size_t i = 0; i < deletions.size(); ++i) {
        for (size_t j = i + 1; j < deletions.size(); ++j) {
            EXPECT_NE(deletions[j].rfind(deletions[i] + "\\", 0), 0u)
                << deletions[j] << " after " << deletions[i];
        }
    }
}

TEST(DeleteKeyTree, RemovesFiftyFiveHandlerSubkeys)
{
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.ready());
    for (int i = 0; i < 55; ++i) {
        char name[40];
        wsprintfA(name, "SOFTWARE\\Loxa\\予約%02d", i);
        ASSERT_TRUE(WriteRegistryValue(sandbox.currentUser(), name, nullptr, REG_SZ,
                                       std::string("C:\\p.dll", 9)));
    }

    EXPECT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Loxa"));

    EXPECT_FALSE(RegistryKeyExists(sandbox.currentUser(), "SOFTWARE\\Loxa"));
}

// A subkey that will not go ends its level and every level above it at once,
// each after one try: the keys after it stay.
TEST(DeleteKeyTree, AStuckSubkeyEndsEachLevelAtOnce)
{
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.ready());
    for (const char* key :
         {"SOFTWARE\\Tree\\mid\\a", "SOFTWARE\\Tree\\mid\\b", "SOFTWARE\\Tree\\z"}) {
        ASSERT_TRUE(WriteRegistryKey(sandbox.currentUser(), key));
    }

    const TreeRun run =
        DeleteTreeRecorded("delete HKCU\\SOFTWARE\\Tree\\mid\\a", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(run.deleted);
    EXPECT_EQ(run.calls, (Lines{
                             "open HKCU\\SOFTWARE\\Tree DELETE|KEY_ENUMERATE_SUB_KEYS",
                             "enum HKCU\\SOFTWARE\\Tree 0",
                             "open HKCU\\SOFTWARE\\Tree\\mid DELETE|KEY_ENUMERATE_SUB_KEYS",
                             "enum HKCU\\SOFTWARE\\Tree\\mid 0",
                             "open HKCU\\SOFTWARE\\Tree\\mid\\a DELETE|KEY_ENUMERATE_SUB_KEYS",
                             "enum HKCU\\SOFTWARE\\Tree\\mid\\a 0 -> 259",
                             "close HKCU\\SOFTWARE\\Tree\\mid\\a",
                             "delete HKCU\\SOFTWARE\\Tree\\mid\\a -> 5",
                             "close HKCU\\SOFTWARE\\Tree\\mid",
                             "delete HKCU\\SOFTWARE\\Tree\\mid -> 5",
                             "close HKCU\\SOFTWARE\\Tree",
                             "delete HKCU\\SOFTWARE\\Tree -> 5",
                         }));
    EXPECT_TRUE(RegistryKeyExists(sandbox.currentUser(), "SOFTWARE\\Tree\\mid\\b"));
    EXPECT_TRUE(RegistryKeyExists(sandbox.currentUser(), "SOFTWARE\\Tree\\z"));
}

TEST(DeleteKeyTree, EnumerationFailureEndsThatLevel)
{
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.ready());
    ASSERT_TRUE(WriteRegistryKey(sandbox.currentUser(), "SOFTWARE\\Tree\\child"));

    const TreeRun run = DeleteTreeRecorded("enum HKCU\\SOFTWARE\\Tree 0", ERROR_MORE_DATA);
    EXPECT_FALSE(run.deleted);
    EXPECT_EQ(run.calls, (Lines{
                             "open HKCU\\SOFTWARE\\Tree DELETE|KEY_ENUMERATE_SUB_KEYS",
                             "enum HKCU\\SOFTWARE\\Tree 0 -> 234",
                             "close HKCU\\SOFTWARE\\Tree",
                             "delete HKCU\\SOFTWARE\\Tree -> 5",
                         }));
    EXPECT_TRUE(RegistryKeyExists(sandbox.currentUser(), "SOFTWARE\\Tree\\child"));
}

TEST(DeleteKeyTree, MissingKeyIsLeftAlone)
{
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.ready());
    EXPECT_EQ(DeleteTreeRecorded().calls,
              (Lines{"open HKCU\\SOFTWARE\\Tree DELETE|KEY_ENUMERATE_SUB_KEYS -> 2"}));
}

} // namespace
