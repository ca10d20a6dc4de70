// The entries that /R leaves, written out for the tests to expect.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "registry_sandbox.h"

// The MIME type's key under the classes root, and under HKLM.
inline constexpr char kClassesRootMimeType[] =
    "MIME\\Database\\Content Type\\application/x-tv-program-info";
inline constexpr char kMachineMimeType[] =
    "SOFTWARE\\Classes\\MIME\\Database\\Content Type\\application/x-tv-program-info";

// Expects the same values under `classesRoot` and under `machine`'s
// SOFTWARE\Classes, and the user's list key under `user`, each naming the
// program by `path` (its short path).
inline void ExpectRegisteredEntries(HKEY classesRoot, HKEY machine, HKEY user,
                                    const std::string& path)
{
    struct Row {
        const char* key;
        const char* value;
        DWORD type;
        std::string data;
    };
    const Row rows[] = {
        {kClassesRootMimeType, "Extension", REG_SZ, std::string(".loxa", 6)},
        {".loxa", nullptr, REG_SZ, std::string("Loxa.ProgramInfo", 17)},
        {".loxa", "Content Type", REG_SZ, std::string("application/x-tv-program-info", 30)},
        {"Loxa.ProgramInfo", nullptr, REG_SZ, std::string("Loxa", 5)},
        {"Loxa.ProgramInfo", "EditFlags", REG_BINARY, std::string("\x00\x00\x01\x00", 4)},
        {"Loxa.ProgramInfo\\DefaultIcon", nullptr, REG_SZ, path + ",1" + '\0'},
        {"Loxa.ProgramInfo\\shell\\open\\command", nullptr, REG_SZ, path + " %1" + '\0'},
    };
    for (const std::string& prefix : {std::string(), std::string("SOFTWARE\\Classes\\")}) {
        HKEY root = prefix.empty() ? classesRoot : machine;
        for (const Row& row : rows) {
            std::string key = prefix + row.key;
            RegistryValue value = ReadRegistryValue(root, key.c_str(), row.value);
            ASSERT_TRUE(value.found) << key;
            EXPECT_EQ(value.type, row.type) << key;
            EXPECT_EQ(value.data, row.data) << key << " " << (row.value ? row.value : "(default)");
        }
        // "shell" and "open" only hold the next key.
        for (const char* key : {"Loxa.ProgramInfo\\shell", "Loxa.ProgramInfo\\shell\\open"}) {
            EXPECT_TRUE(RegistryKeyExists(root, (prefix + key).c_str()));
            EXPECT_FALSE(ReadRegistryValue(root, (prefix + key).c_str(), nullptr).found) << key;
        }
    }
    RegistryValue list = ReadRegistryValue(user, "SOFTWARE\\Loxa", nullptr);
    ASSERT_TRUE(list.found);
    EXPECT_EQ(list.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(list.data, path + '\0');
}
