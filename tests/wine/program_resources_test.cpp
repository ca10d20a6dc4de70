// The resources linked into loxa.exe, read from the file as the shell reads
// them.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ui_driver.h"

namespace {

using UniqueIcon = UniqueResource<HICON, NullInvalidDeleter<HICON, &DestroyIcon>>;

} // namespace

TEST(ProgramResources, IconIndexOneIsTheDocumentIcon)
{
    const std::string path = LoxaExecutablePath();
    // Two icon groups: index 0 the program, index 1 the documents, which is
    // what the registered icon location "<program>,1" names.
    EXPECT_EQ(ExtractIconExA(path.c_str(), -1, nullptr, nullptr, 0), 2u);
    HICON large = nullptr;
    HICON small = nullptr;
    ASSERT_EQ(ExtractIconExA(path.c_str(), 1, &large, &small, 1), 2u);
    UniqueIcon largeIcon(large);
    UniqueIcon smallIcon(small);
    EXPECT_TRUE(largeIcon);
    EXPECT_TRUE(smallIcon);
}

TEST(ProgramResources, DialogVersionAndManifestArePresent)
{
    UniqueLibrary loxa(
        LoadLibraryExA(LoxaExecutablePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(loxa);
    HRSRC dialog = FindResourceA(loxa.get(), MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(5));
    ASSERT_NE(dialog, nullptr);
    // A plain dialog template: style, extended style, 20 controls, 246 x 165.
    const auto* header = static_cast<const BYTE*>(LockResource(LoadResource(loxa.get(), dialog)));
    ASSERT_NE(header, nullptr);
    DWORD style = 0;
    WORD count = 0;
    WORD width = 0;
    WORD height = 0;
    std::memcpy(&style, header, 4);
    std::memcpy(&count, header + 8, 2);
    std::memcpy(&width, header + 14, 2);
    std::memcpy(&height, header + 16, 2);
    EXPECT_EQ(style, static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU
                                        | DS_MODALFRAME | DS_CENTER | DS_SETFONT));
    EXPECT_EQ(count, 20);
    EXPECT_EQ(width, 246);
    EXPECT_EQ(height, 165);

    EXPECT_NE(FindResourceA(loxa.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16)), nullptr)
        << "version resource";
    HRSRC manifest = FindResourceA(loxa.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(manifest, nullptr) << "manifest";
    const std::string text(
        static_cast<const char*>(LockResource(LoadResource(loxa.get(), manifest))),
        SizeofResource(loxa.get(), manifest));
    // Scaled by Windows rather than stretched as a bitmap: per-monitor (v2),
    // else system-aware. Wine scales every program alike, so only the
    // declaration itself can be seen here.
    EXPECT_NE(text.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/"
                        "WindowsSettings\">true</dpiAware>"),
              std::string::npos);
    EXPECT_NE(text.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/"
                        "WindowsSettings\">PerMonitorV2, System</dpiAwareness>"),
              std::string::npos);
}
