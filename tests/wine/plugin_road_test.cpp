// End to end: loxa.exe opens a document with handler subkeys in the registry;
// the handler menu is read from inside loxa.exe and answered by keyboard.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "handler_menu_driver.h"
#include "end_to_end_support.h"
#include "handler_registry.h"
#include "test_files.h"
#include "ui_driver.h"

namespace {

// Version 2: the built-in road warns first (a menu would keep the warning
// away), the plug-in road never does.
const char kDocument[] =
    "Content-type: application/x-tv-program-info\r\n"
    "version: 2\r\n"
    "station: NHK\r\n"
    "year: 2026\r\n"
    "month: 12\r\n"
    "date: 7\r\n"
    "start: 23:30\r\n"
    "end: 0:15\r\n"
    "program-title: \x94\xD4\x91\x67\r\n"
    "\r\n"
    "\x96\x7B\x95\xB6\r\n"
    "\r\n";

// clang-format off
const std::string kExpectedRecord = std::string{
    70, 0, 0, 0,    0, 1, 0, 0,    2, 0, 0, 0,    '\xEA', 7, 0, 0,
    12, 0, 0, 0,    7, 0, 0, 0,    23, 0, 0, 0,   30, 0, 0, 0,
    0, 0, 0, 0,     15, 0, 0, 0,
    56, 0, 0, 0,    60, 0, 0, 0,   0, 0, 0, 0,    65, 0, 0, 0,
    'N', 'H', 'K', 0,
    '\x94', '\xD4', '\x91', '\x67', 0,
    '\x96', '\x7B', '\x95', '\xB6', 0,
};
// clang-format on

const char kBuiltInLabel[] = "ズリノート小片";
const char kCancelLabel[] = "キャンセル";

std::vector<std::string> EnumeratedHandlerNames()
{
    std::vector<std::string> names;
    UniqueKey list;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Loxa", 0, KEY_READ, list.put())
        != ERROR_SUCCESS) {
        list.release();
        return names;
    }
    char name[MAX_PATH];
    DWORD capacity = MAX_PATH;
    for (DWORD index = 0;
         RegEnumKeyExA(list.get(), index, name, &capacity, nullptr, nullptr, nullptr, nullptr)
         == ERROR_SUCCESS;
         ++index, capacity = MAX_PATH) {
        names.emplace_back(name);
    }
    return names;
}

class PluginRoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        document = ScratchPath("doc");
        dump = ScratchPath("dmp");
        ASSERT_TRUE(WriteBytes(document, kDocument));
        SetEnvironmentVariableA("LOXA_RECORD_DUMP_PATH", dump.c_str());
        ASSERT_TRUE(StartMenuProbe(probe));
    }
    void TearDown() override
    {
        DeleteFileA(document.c_str());
        DeleteFileA(dump.c_str());
    }

    bool Start() { return StartLoxa(document, loxa); }

    bool DumpExists() const { return GetFileAttributesA(dump.c_str()) != INVALID_FILE_ATTRIBUTES; }

    HandlerListScope handlers;
    std::string document;
    std::string dump;
    MenuProbe probe;
    LoxaProcess loxa;
    HandlerMenuView menu;
};

} // namespace

TEST_F(PluginRoad, WithoutHandlersTheBuiltInRoadFollowsAtOnce)
{
    ASSERT_TRUE(Start());
    ExpectWarningThenExitZero(loxa, IDCANCEL);
    EXPECT_FALSE(DumpExists());
}

// The project's own plug-in, and one written in plain C without the header
// that exports SetTVProgram the compiler's default way.
TEST_F(PluginRoad, OneHandlerMenuAndItsRecord)
{
    for (const char* plugin : {"record_dump.dll", "plain_c_plugin.dll"}) {
        SCOPED_TRACE(plugin);
        DeleteFileA(dump.c_str());
        ASSERT_TRUE(handlers.AddHandler("A", BesideTests(plugin)));
        LoxaProcess run;
        ASSERT_TRUE(StartLoxa(document, run)) << DriverFailure();
        ASSERT_TRUE(WaitForHandlerMenu(probe, run.processId, kWaitMs, menu));
        ASSERT_EQ(menu.items.size(), 4u);
        EXPECT_EQ(menu.items[0].id, 1u);
        EXPECT_EQ(menu.items[0].text, kBuiltInLabel);
        EXPECT_EQ(menu.items[1].id, 2u);
        EXPECT_EQ(menu.items[1].text, "A");
        EXPECT_TRUE(menu.items[2].separator);
        EXPECT_EQ(menu.items[3].id, 0u);
        EXPECT_FALSE(menu.items[3].separator);
        EXPECT_EQ(menu.items[3].text, kCancelLabel);

        ASSERT_TRUE(ChooseMenuItem(menu, 1)) << DriverFailure();
        ExpectExitWithoutBoxes(run);
        std::string record;
        ASSERT_TRUE(ReadBytes(dump, record));
        EXPECT_EQ(record, kExpectedRecord);
    }
}

TEST_F(PluginRoad, ThreeHandlersInEnumerationOrderAndTheThirdIsCalled)
{
    ASSERT_TRUE(handlers.AddHandler("R&D", BesideTests("no_such_plugin.dll")));
    ASSERT_TRUE(handlers.AddHandler("\x97\x5C\x96\xF1", BesideTests("no_such_plugin.dll"))); // 予約
    ASSERT_TRUE(handlers.AddHandler("Calendar", BesideTests("no_such_plugin.dll")));
    const std::vector<std::string> names = EnumeratedHandlerNames();
    ASSERT_EQ(names.size(), 3u);
    // The third in enumeration order gets the working plug-in.
    ASSERT_TRUE(handlers.AddHandler(names[2], BesideTests("record_dump.dll")));

    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitForHandlerMenu(probe, loxa.processId, kWaitMs, menu));
    ASSERT_EQ(menu.items.size(), 6u);
    EXPECT_EQ(menu.items[0].text, kBuiltInLabel);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(menu.items[i + 1].id, i + 2);
        // '&' is doubled so that the menu shows the name as stored.
        EXPECT_EQ(menu.items[i + 1].text, names[i] == "R&D" ? "R&&D" : names[i]);
    }
    EXPECT_TRUE(menu.items[4].separator);
    EXPECT_EQ(menu.items[5].id, 0u);
    EXPECT_EQ(menu.items[5].text, kCancelLabel);

    ASSERT_TRUE(ChooseMenuItem(menu, 3)) << DriverFailure();
    ExpectExitWithoutBoxes(loxa);
    std::string record;
    ASSERT_TRUE(ReadBytes(dump, record));
    EXPECT_EQ(record, kExpectedRecord);
}

TEST_F(PluginRoad, TheBuiltInItemLeadsToTheBuiltInRoad)
{
    ASSERT_TRUE(handlers.AddHandler("A", BesideTests("record_dump.dll")));
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitForHandlerMenu(probe, loxa.processId, kWaitMs, menu));
    ASSERT_TRUE(ChooseMenuItem(menu, 0)) << DriverFailure();
    ExpectWarningThenExitZero(loxa, IDCANCEL);
    EXPECT_FALSE(DumpExists());
}

TEST_F(PluginRoad, CancelAndEscEndTheRun)
{
    ASSERT_TRUE(handlers.AddHandler("A", BesideTests("record_dump.dll")));
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitForHandlerMenu(probe, loxa.processId, kWaitMs, menu));
    ASSERT_TRUE(ChooseMenuItem(menu, 3)) << DriverFailure();
    ExpectExitWithoutBoxes(loxa);

    LoxaProcess second;
    ASSERT_TRUE(StartLoxa(document, second)) << DriverFailure();
    ASSERT_TRUE(WaitForHandlerMenu(probe, second.processId, kWaitMs, menu));
    ASSERT_TRUE(DismissMenu(menu)) << DriverFailure();
    ExpectExitWithoutBoxes(second);
    EXPECT_FALSE(DumpExists());
}

TEST_F(PluginRoad, BadHandlersRunNothingAndShowNothing)
{
    const std::string plugin = BesideTests("record_dump.dll");
    const std::string notALibrary = ScratchPath("txt");
    ASSERT_TRUE(WriteBytes(notALibrary, "not a library\r\n"));
    struct Row {
        const char* what;
        DWORD type;
        std::string data;
    };
    // Which values the chooser refuses is tested in process; here, that a
    // refused or unusable one runs nothing.
    const Row rows[] = {
        {"not a loadable library", REG_SZ, notALibrary + '\0'},
        {"no SetTVProgram export", REG_SZ, BesideTests("loxa_menu_probe.dll") + '\0'},
        {"no default value", REG_NONE, ""},
        {"260 bytes", REG_SZ, PathOfLength(plugin, 260) + '\0'},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        HandlerListScope scope;
        ASSERT_TRUE(scope.AddHandler("Bad", row.type, row.data));
        LoxaProcess run;
        ASSERT_TRUE(StartLoxa(document, run)) << DriverFailure();
        ASSERT_TRUE(WaitForHandlerMenu(probe, run.processId, kWaitMs, menu));
        ASSERT_TRUE(ChooseMenuItem(menu, 1)) << DriverFailure();
        ExpectExitWithoutBoxes(run);
        EXPECT_FALSE(DumpExists());
    }
    DeleteFileA(notALibrary.c_str());
}
