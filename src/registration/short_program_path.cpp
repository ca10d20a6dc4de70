#include "registration/short_program_path.h"

bool GetShortProgramPath(char (&path)[MAX_PATH])
{
    // A result of MAX_PATH means the long path was cut short.
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    // Above MAX_PATH the call asks for a bigger buffer and leaves `path` as it
    // was; MAX_PATH itself cannot be a length with its NUL.
    length = GetShortPathNameA(path, path, MAX_PATH);
    return length != 0 && length < MAX_PATH;
}

bool JoinPathText(char (&text)[MAX_PATH], const char* head, const char* tail)
{
    if (lstrlenA(head) + lstrlenA(tail) >= MAX_PATH) {
        text[0] = '\0';
        return false;
    }
    lstrcpyA(text, head);
    lstrcatA(text, tail);
    return true;
}

bool BuildOpenCommand(char (&command)[MAX_PATH], const char* programPath)
{
    for (const char* p = programPath; *p != '\0'; ++p) {
        // A blank is never a trail byte in code page 932.
        if (*p == ' ') {
            char quoted[MAX_PATH];
            return JoinPathText(quoted, "\"", programPath)
                   && JoinPathText(command, quoted, "\" %1");
        }
    }
    return JoinPathText(command, programPath, " %1");
}
