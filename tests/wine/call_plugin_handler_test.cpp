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
