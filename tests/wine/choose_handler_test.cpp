// ChooseHandler called in the test process: its result and path buffer, and
// which windows it creates. A helper thread answers the menu by keyboard.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

#include "handler_menu_driver.h"
#include "handler_registry.h"
#include "import_patch.h"
#include "registry_call_recorder.h"
#include "test_files.h"
#include "handlers/choose_handler.h"
#include "wait_scale.h"

namespace {

int windowsCreated = 0;

BOOL WINAPI FailTrackPopupMenuEx(HMENU, UINT, int, int, HWND, TPMPARAMS*)
{
    return FALSE;
}

LRESULT CALLBACK CountWindows(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        ++windowsCreated;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct MenuAnswer {
    const MenuProbe* probe = nullptr;
    int position = -1; // -1: dismiss with Esc
    DWORD waitMs = ScaledWaitMs(5000);
    std::function<void()> whileShown; // runs after the menu appeared, before the answer
    bool shown = false;
    RECT menuRect{}; // where the menu window stood
};

DWORD WINAPI AnswerMenu(void* parameter)
{
    auto* answer = static_cast<MenuAnswer*>(parameter);
    HandlerMenuView menu;
    answer->shown = WaitForHandlerMenu(*answer->probe, GetCurrentProcessId(), answer->waitMs, menu);
    if (answer->shown) {
        GetWindowRect(menu.window, &answer->menuRect);
        if (answer->whileShown) {
            answer->whileShown();
        }
        if (answer->position < 0) {
            DismissMenu(menu);
        } else {
            ChooseMenuItem(menu, static_cast<std::size_t>(answer->position));
        }
    }
    return 0;
}

struct ChooserRun {
    std::int32_t result = -1;
    std::string path; // the buffer's string after the call
    bool bufferUntouched = false;
    bool menuShown = false;
    RECT menuRect{};
    int windows = 0;
};

// Runs ChooseHandler with a buffer full of 'x' and answers the menu, if one
// appears, with the item at `position` (or Esc). Without handlers the helper
// looks only briefly: the chooser has returned by then.
ChooserRun RunChooser(int position, DWORD waitMs = ScaledWaitMs(5000),
                      const std::function<void()>& whileShown = {})
{
    MenuProbe probe;
    EXPECT_TRUE(StartMenuProbe(probe));
    MenuAnswer answer;
    answer.probe = &probe;
    answer.position = position;
    answer.waitMs = waitMs;
    answer.whileShown = whileShown;
    UniqueHandle thread(CreateThread(nullptr, 0, AnswerMenu, &answer, 0, nullptr));

    windowsCreated = 0;
    UniqueHook counter(SetWindowsHookExA(WH_CBT, CountWindows, nullptr, GetCurrentThreadId()));
    char buffer[MAX_PATH];
    std::memset(buffer, 'x', sizeof buffer);
    ChooserRun run;
    run.result = ChooseHandler(GetModuleHandleA(nullptr), buffer);
    counter.reset();
    run.windows = windowsCreated;

    WaitForSingleObject(thread.get(), INFINITE);
    run.menuShown = answer.shown;
    run.menuRect = answer.menuRect;
    run.bufferUntouched = std::string(buffer, sizeof buffer) == std::string(MAX_PATH, 'x');
    // A path left without its NUL is taken whole, so that it shows.
    run.path.assign(buffer, std::find(buffer, buffer + sizeof buffer, '\0'));
    return run;
}

} // namespace

TEST(ChooseHandler, WithoutHandlerSubkeysAnswersBuiltInAndCreatesNoWindow)
{
    HandlerListScope handlers;
    ChooserRun run = RunChooser(1, 300);
    EXPECT_EQ(run.result, 0);
    EXPECT_TRUE(run.bufferUntouched);
    EXPECT_FALSE(run.menuShown);
    EXPECT_EQ(run.windows, 0);

    UniqueKey list = handlers.OpenList();
    ASSERT_TRUE(list);
    const char shortPath[] = "C:\\LOXA.EXE";
    ASSERT_EQ(RegSetValueExA(list.get(), nullptr, 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(shortPath), sizeof shortPath),
              ERROR_SUCCESS);
    run = RunChooser(1, 300);
    EXPECT_EQ(run.result, 0);
    EXPECT_TRUE(run.bufferUntouched);
    EXPECT_FALSE(run.menuShown);
    EXPECT_EQ(run.windows, 0);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    EXPECT_FALSE(GetClassInfoExA(GetModuleHandleA(nullptr), "Loxa@Window", &windowClass));
}

TEST(ChooseHandler, AnswersOfTheMenu)
{
    HandlerListScope handlers;
    const std::string plugin = BesideTests("record_dump.dll");
    ASSERT_TRUE(handlers.AddHandler("A", plugin));

    ChooserRun run = RunChooser(1);
    EXPECT_TRUE(run.menuShown);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.path, plugin);

    run = RunChooser(0);
    EXPECT_TRUE(run.menuShown);
    EXPECT_EQ(run.result, 0);
    EXPECT_TRUE(run.bufferUntouched);

    run = RunChooser(3); // キャンセル
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.path, "");

    run = RunChooser(-1); // Esc
    EXPECT_TRUE(run.menuShown);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.path, "");

    // The hidden window is gone when the chooser returns.
    EXPECT_EQ(FindWindowA("Loxa@Window", nullptr), nullptr);
}

TEST(ChooseHandler, UnusableHandlerValuesGiveAnEmptyPath)
{
    const std::string plugin = BesideTests("record_dump.dll");
    const DWORD number = 7;
    struct Row {
        const char* what;
        DWORD type;
        std::string data;
        std::string expected;
    };
    const std::string longest = PathOfLength(plugin, 259);
    const Row rows[] = {
        {"no default value", REG_NONE, "", ""},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, plugin + '\0', ""},
        {"REG_DWORD", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), sizeof number),
         ""},
        {"REG_BINARY", REG_BINARY, plugin + '\0', ""},
        {"260 bytes", REG_SZ, PathOfLength(plugin, 260) + '\0', ""},
        {"259 bytes fit", REG_SZ, longest + '\0', longest},
        {"260 bytes without a NUL", REG_SZ, PathOfLength(plugin, 260), ""},
        {"259 bytes without a NUL fit", REG_SZ, longest, longest},
        {"empty", REG_SZ, std::string(1, '\0'), ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        HandlerListScope handlers;
        ASSERT_TRUE(handlers.AddHandler("Bad", row.type, row.data));
        const ChooserRun run = RunChooser(1);
        EXPECT_TRUE(run.menuShown);
        EXPECT_EQ(run.result, 1);
        EXPECT_EQ(run.path, row.expected);
    }
}

// A key name may be 255 characters, 510 bytes in code page 932. The longest
// label still lists, and so do the handlers after it.
TEST(ChooseHandler, LongestLabelKeepsEveryHandlerListed)
{
    HandlerListScope handlers;
    std::string longest = "A";
    for (int i = 0; i < 254; ++i) {
        longest += "漢"; // 8A BF
    }
    ASSERT_EQ(longest.size(), 509u);
    const std::string plugin = BesideTests("record_dump.dll");
    ASSERT_TRUE(handlers.AddHandler(longest, "C:\\long.dll"));
    ASSERT_TRUE(handlers.AddHandler("B", plugin));

    ChooserRun run = RunChooser(1);
    EXPECT_TRUE(run.menuShown);
    EXPECT_EQ(run.path, "C:\\long.dll");
    run = RunChooser(2);
    EXPECT_EQ(run.path, plugin);
}

// The list changes while the menu is open: the clicked label no longer names
// the subkey at its place, so no DLL is named at all.
TEST(ChooseHandler, AListChangedUnderTheMenuNamesNoDll)
{
    HandlerListScope handlers;
    const std::string plugin = BesideTests("record_dump.dll");
    ASSERT_TRUE(handlers.AddHandler("B", plugin));

    ChooserRun run = RunChooser(1, ScaledWaitMs(5000), [&handlers] {
        ASSERT_TRUE(handlers.AddHandler("A", "C:\\other.dll")); // now first
    });
    EXPECT_TRUE(run.menuShown);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.path, "");

    // Unchanged since it was shown, the same item names its DLL.
    run = RunChooser(2);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.path, plugin);
}

// The menu opens where the pointer is, and the chosen handler's key is open
// only to read its path.
TEST(ChooseHandler, OpensAtThePointerAndReadsTheChosenKeyBriefly)
{
    HandlerListScope handlers;
    const std::string plugin = BesideTests("record_dump.dll");
    ASSERT_TRUE(handlers.AddHandler("A", "C:\\a.dll"));
    ASSERT_TRUE(handlers.AddHandler("B", plugin));
    ASSERT_TRUE(SetCursorPos(210, 170));

    ChooserRun run;
    std::vector<std::string> calls;
    std::vector<std::string> openKeys;
    {
        RegistryCallRecorder registry;
        ASSERT_TRUE(registry.active());
        run = RunChooser(2);
        calls = registry.calls();
        openKeys = registry.OpenKeys();
    }

    EXPECT_EQ(run.path, plugin);
    EXPECT_EQ(run.menuRect.left, 210);
    EXPECT_EQ(run.menuRect.top, 170);
    EXPECT_EQ(calls, (std::vector<std::string>{
                         "open HKCU\\SOFTWARE\\Loxa KEY_READ",
                         "enum HKCU\\SOFTWARE\\Loxa 0",
                         "enum HKCU\\SOFTWARE\\Loxa 1",
                         "enum HKCU\\SOFTWARE\\Loxa 2 -> 259",
                         "enum HKCU\\SOFTWARE\\Loxa 1",
                         "open HKCU\\SOFTWARE\\Loxa\\B KEY_QUERY_VALUE",
                         "read HKCU\\SOFTWARE\\Loxa\\B (default)",
                         "close HKCU\\SOFTWARE\\Loxa\\B",
                         "close HKCU\\SOFTWARE\\Loxa",
                     }));
    EXPECT_TRUE(openKeys.empty());
}

// A menu that cannot be shown ends as キャンセル does: nothing opens.
TEST(ChooseHandler, AMenuThatFailsEndsAsCancel)
{
    HandlerListScope handlers;
    ASSERT_TRUE(handlers.AddHandler("A", BesideTests("record_dump.dll")));
    ImportPatch fail("user32.dll", "TrackPopupMenuEx",
                     reinterpret_cast<void*>(&FailTrackPopupMenuEx));
    ASSERT_TRUE(fail.active());

    ChooserRun run = RunChooser(1, 300);

    EXPECT_FALSE(run.menuShown);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.path, "");
}
