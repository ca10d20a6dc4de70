/*
 * Test plug-in: appends the record it receives, byte for byte, to the file
 * named by the environment variable LOXA_RECORD_DUMP_PATH, so that a second
 * call for the same document shows as a second copy. Written in C so that the
 * plug-in header is built as C too.
 */
#include <windows.h>

#include "loxa_plugin.h"

LOXA_PLUGIN_EXPORT void LOXA_PLUGIN_CALL SetTVProgram(const LoxaPluginProgramRecord* record)
{
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("LOXA_RECORD_DUMP_PATH", path, sizeof path);
    HANDLE file;
    DWORD written = 0;
    if (length == 0 || length >= sizeof path || record == NULL || record->size < 4) {
        return;
    }
    file = CreateFileA(path, GENERIC_WRITE, 0, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    SetFilePointer(file, 0, NULL, FILE_END);
    WriteFile(file, record, (DWORD)record->size, &written, NULL);
    CloseHandle(file);
}
