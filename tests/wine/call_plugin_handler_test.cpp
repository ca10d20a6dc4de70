// CallPluginHandler in the test process: the plug-in is called and unloaded
// again.
#include <gtest/gtest.h>

#include <string>

#include "test_files.h"
#include "handlers/call_plugin_handler.h"

namespace {

ProgramInfo SomeProgram()
{
    static char title[] = "T";
    ProgramInfo info{};
    info.version = 1;
    info.title = title;
    return info;
}

} // namespace

TEST(CallPluginHandler, CallsThePluginOnceAndUnloadsIt)
{
    const std::string dump = ScratchPath("dmp");
    SetEnvironmentVariableA("LOXA_RECORD_DUMP_PATH", dump.c_str());
    CallPluginHandler(BesideTests("record_dump.dll").c_str(), SomeProgram());
    std::string record;
    EXPECT_TRUE(ReadBytes(dump, record));
    EXPECT_EQ(record.size(), 56u + 2u);
    EXPECT_EQ(GetModuleHandleA("record_dump.dll"), nullptr);
    DeleteFileA(dump.c_str());
}

// A browser starts loxa.exe in its download folder, where a bare DLL name
// must not be looked for. Wine searches the current folder whatever is set,
// so the test plants the DLL in a folder named by an earlier SetDllDirectory,
// which the call must clear as well.
TEST(CallPluginHandler, ABareNameIsNotLookedForInTheDllDirectory)
{
    const std::string folder = ScratchPath("dir");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string planted = folder + "\\loxa_planted.dll";
    ASSERT_TRUE(CopyFileA(BesideTests("record_dump.dll").c_str(), planted.c_str(), FALSE));
    const std::string dump = ScratchPath("dmp");
    SetEnvironmentVariableA("LOXA_RECORD_DUMP_PATH", dump.c_str());
    ASSERT_TRUE(SetDllDirectoryA(folder.c_str()));
    CallPluginHandler("loxa_planted.dll", SomeProgram());
    SetDllDirectoryA(nullptr);
    EXPECT_EQ(GetFileAttributesA(dump.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(dump.c_str());
    DeleteFileA(planted.c_str());
    RemoveDirectoryA(folder.c_str());
}
