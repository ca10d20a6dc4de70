#include "handlers/call_plugin_handler.h"

#include "handlers/plugin_record.h"
#include "win32/unique_resource.h"

namespace {

// The plug-in's export: the caller removes the argument (__cdecl); the result
// is ignored.
using SetTVProgramFunction = void(__cdecl*)(void* record);

} // namespace

void CallPluginHandler(const char* path, const ProgramInfo& info)
{
    const std::int32_t size = BuildPluginRecord(info, nullptr, 0);
    if (size < PluginRecordLayout::kHeaderSize) {
        return;
    }
    // Declared before the library so that the record is freed after it is
    // unloaded.
    HeapBlock record = AllocateHeapBlock(static_cast<SIZE_T>(size));
    if (!record) {
        return;
    }
    BuildPluginRecord(info, record.get(), size);

    // The browser may start us in its download folder: a listed bare DLL name
    // must not be looked for there.
    SetDllDirectoryA("");
    // A broken plug-in must not bring up the system's "cannot load" boxes.
    DWORD previousMode = 0;
    const BOOL modeSet =
        SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    UniqueLibrary library(LoadLibraryA(path));
    if (modeSet) {
        SetThreadErrorMode(previousMode, nullptr);
    }
    if (!library) {
        return;
    }
    FARPROC setTVProgram = GetProcAddress(library.get(), "SetTVProgram");
    if (setTVProgram != nullptr) {
        reinterpret_cast<SetTVProgramFunction>(reinterpret_cast<void*>(setTVProgram))(record.get());
    }
}
