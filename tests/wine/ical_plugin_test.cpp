// The iCalendar sample plug-in, loaded and called as loxa.exe does, with the
// documents folder redirected to a scratch folder.
#include <gtest/gtest.h>

#include <string>

#include "test_files.h"
#include "ui_driver.h"
#include "handlers/plugin_record.h"

namespace {

constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Restores one registry value (or its absence) when the test ends.
struct SavedValue {
    HKEY root;
    std::string key;
    const char* name;
    bool existed = false;
    DWORD type = REG_NONE;
    std::string data;

    SavedValue(HKEY rootKey, std::string keyName, const char* valueName)
        : root(rootKey), key(std::move(keyName)), name(valueName)
    {
        char buffer[1024];
        DWORD size = sizeof buffer;
        existed =
            RegGetValueA(root, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, buffer, &size)
            == ERROR_SUCCESS;
        if (existed) {
            data.assign(buffer, size);
        }
    }
    ~SavedValue()
    {
        if (existed) {
            RegSetKeyValueA(root, key.c_str(), name, type, data.data(),
                            static_cast<DWORD>(data.size()));
        } else {
            RegDeleteKeyValueA(root, key.c_str(), name);
        }
    }
    SavedValue(const SavedValue&) = delete;
    SavedValue& operator=(const SavedValue&) = delete;

    bool Set(DWORD newType, const std::string& value) const
    {
        return RegSetKeyValueA(root, key.c_str(), name, newType, value.c_str(),
                               static_cast<DWORD>(value.size() + 1))
               == ERROR_SUCCESS;
    }
};

// ".ics" opened by cmd, which copies the file it is given to `marker`; the
// association is removed again, keys included, when the test ends.
struct TestCalendarAssociation {
    explicit TestCalendarAssociation(const std::string& marker)
    {
        UniqueKey key;
        extensionExisted = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kExtensionKey, 0, KEY_READ, key.put())
                           == ERROR_SUCCESS;
        if (!extensionExisted) {
            key.release();
        }
        const std::string command =
            "C:\\windows\\system32\\cmd.exe /c copy \"%1\" \"" + marker + "\"";
        ready = extension.Set(REG_SZ, "LoxaTest.Calendar")
                && RegSetKeyValueA(HKEY_LOCAL_MACHINE, kCommandKey, nullptr, REG_SZ,
                                   command.c_str(), static_cast<DWORD>(command.size() + 1))
                       == ERROR_SUCCESS;
    }
    ~TestCalendarAssociation()
    {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kProgIdKey);
        if (!extensionExisted) {
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, kExtensionKey);
        }
    }
    TestCalendarAssociation(const TestCalendarAssociation&) = delete;
    TestCalendarAssociation& operator=(const TestCalendarAssociation&) = delete;

    static constexpr char kExtensionKey[] = "Software\\Classes\\.ics";
    static constexpr char kProgIdKey[] = "Software\\Classes\\LoxaTest.Calendar";
    static constexpr char kCommandKey[] =
        "Software\\Classes\\LoxaTest.Calendar\\shell\\open\\command";
    bool extensionExisted = false;
    bool ready = false;
    SavedValue extension{HKEY_LOCAL_MACHINE, kExtensionKey, nullptr};
};

using SetTVProgramFunction = void(__cdecl*)(void*);

class IcalPlugin : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = ScratchPath("ics");
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        ASSERT_TRUE(documents.Set(REG_EXPAND_SZ, folder));
    }
    void TearDown() override
    {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileA((folder + '\\' + found.cFileName).c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(folder.c_str());
    }

    // Calls the plug-in with the record of a late-night program. The title
    // is a copy: the record's text fields are writable pointers.
    // cppcheck-suppress passedByValue
    void CallPlugin(std::string title = "\x94\xD4\x91\x67") // 番組 in CP932
    {
        char station[] = "NHK";
        char body[] = "1\x8D\x73\x96\xDA\r\n2, 3"; // 1行目 ...
        ProgramInfo info{};
        info.version = 1;
        info.year = 2026;
        info.month = 12;
        info.day = 7;
        info.startHour = 23;
        info.startMinute = 30;
        info.endHour = 0;
        info.endMinute = 15;
        info.station = station;
        info.title = title.data();
        info.body = body;
        std::string record(static_cast<std::size_t>(BuildPluginRecord(info, nullptr, 0)), '\0');
        BuildPluginRecord(info, record.data(), static_cast<std::int32_t>(record.size()));

        UniqueLibrary library(LoadLibraryA(BesideTests("ical.dll").c_str()));
        ASSERT_TRUE(library);
        auto function = reinterpret_cast<SetTVProgramFunction>(
            reinterpret_cast<void*>(GetProcAddress(library.get(), "SetTVProgram")));
        ASSERT_NE(function, nullptr);
        function(record.data());
    }

    std::string EventPath() const
    {
        // "20261207-2330 番組.ics", the title in CP932 for the ANSI call.
        return folder + "\\20261207-2330 \x94\xD4\x91\x67.ics";
    }

    std::string folder;
    SavedValue documents{HKEY_CURRENT_USER, kShellFolders, "Personal"};
};

} // namespace

TEST_F(IcalPlugin, WritesTheEventIntoTheDocumentsFolder)
{
    CallPlugin();
    std::string calendar;
    ASSERT_TRUE(ReadBytes(EventPath(), calendar));
    for (const char* line :
         {"BEGIN:VCALENDAR\r\n", "DTSTART:20261207T233000\r\n", "DTEND:20261208T001500\r\n",
          "SUMMARY:\xE7\x95\xAA\xE7\xB5\x84\r\n", "LOCATION:NHK\r\n",
          "DESCRIPTION:1\xE8\xA1\x8C\xE7\x9B\xAE\\n2\\, 3\r\n", "TRIGGER:-PT5M\r\n",
          "END:VCALENDAR\r\n"}) {
        EXPECT_NE(calendar.find(line), std::string::npos) << line;
    }
}

TEST_F(IcalPlugin, OpensTheFileWithTheRegisteredProgram)
{
    const std::string marker = folder + "\\opened.txt";
    TestCalendarAssociation association(marker);
    ASSERT_TRUE(association.ready);

    CallPlugin();
    std::string calendar;
    ASSERT_TRUE(ReadBytes(EventPath(), calendar));
    std::string copied;
    for (int i = 0; i < 250 && !ReadBytes(marker, copied); ++i) {
        PauseAnsweringMessages(20);
    }
    EXPECT_EQ(copied, calendar);
}

TEST_F(IcalPlugin, CharactersAFileNameCannotHoldBecomeUnderscores)
{
    CallPlugin("a\\b/c:d*e?f\"g<h>i|j\x01k\x1Fl");
    std::string calendar;
    EXPECT_TRUE(ReadBytes(folder + "\\20261207-2330 a_b_c_d_e_f_g_h_i_j_k_l.ics", calendar));
}
