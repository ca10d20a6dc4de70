/*
 * Test plug-in written as an outside author would: plain C, no Loxa header,
 * the export declared the compiler's default way (cdecl, and on 32-bit
 * Windows an undecorated name). Like record_dump it writes the record it
 * receives to the file named by LOXA_RECORD_DUMP_PATH; its length is the
 * record's first field, a little-endian 32-bit integer.
 */
#include <windows.h>

__declspec(dllexport) void SetTVProgram(const void* record)
{
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("LOXA_RECORD_DUMP_PATH", path, sizeof path);
    const unsigned char* bytes = (const unsigned char*)record;
    DWORD size;
    HANDLE file;
    DWORD written = 0;
    if (length == 0 || length >= sizeof path || record == NULL) {
        return;
    }
    size = (DWORD)bytes[0] | (DWORD)bytes[1] << 8 | (DWORD)bytes[2] << 16 | (DWORD)bytes[3] << 24;
    if (size < 4 || size > 0x100000) {
        return;
    }
    file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    WriteFile(file, record, size, &written, NULL);
    CloseHandle(file);
}
