// loxa-reminder.exe: keeps the chips Loxa pokes and reminds the user at their
// time. No argument: started by the user; "/startup": started at sign-in,
// when it ends silently if another reminder application is present.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "loxa_reminder/reminder_app.h"

namespace {

// The command line after the program's name, quoted or not.
const char* SkipProgramName(const char* commandLine)
{
    if (*commandLine == '"') {
        const char* end = std::strchr(commandLine + 1, '"');
        return end != nullptr ? end + 1 : commandLine + std::strlen(commandLine);
    }
    while (*commandLine != '\0' && *commandLine != ' ' && *commandLine != '\t') {
        ++commandLine;
    }
    return commandLine;
}

bool IsStartupRun(const char* commandLine)
{
    while (*commandLine == ' ' || *commandLine == '\t') {
        ++commandLine;
    }
    std::size_t length = std::strlen(commandLine);
    while (length > 0 && (commandLine[length - 1] == ' ' || commandLine[length - 1] == '\t')) {
        --length;
    }
    constexpr char kStartup[] = "/startup";
    return length == sizeof kStartup - 1
           && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, commandLine,
                             static_cast<int>(length), kStartup, static_cast<int>(length))
                  == CSTR_EQUAL;
}

// A second start hands over to the first: it shows its list (unless this is
// the sign-in start, which wants nothing shown).
void HandOverToFirst(bool startup)
{
    const DWORD start = GetTickCount();
    HWND first = nullptr;
    // The first one may still be starting.
    while ((first = FindWindowA(kMainWindowClass, nullptr)) == nullptr
           && GetTickCount() - start < 5000) {
        Sleep(50);
    }
    if (first == nullptr || startup) {
        return;
    }
    DWORD firstProcess = 0;
    GetWindowThreadProcessId(first, &firstProcess);
    AllowSetForegroundWindow(firstProcess);
    PostMessageA(first, kShowListMessage, 0, 0);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    const bool startup = IsStartupRun(SkipProgramName(GetCommandLineA()));
    // Held for the whole run: one receiver per sign-in session.
    HANDLE running = CreateMutexA(nullptr, FALSE, "Local\\LoxaReminder.Running");
    if (running != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        HandOverToFirst(startup);
        CloseHandle(running);
        return 0;
    }

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    int exitCode = 0;
    if (StartReminderApp(instance, startup, exitCode)) {
        MSG message;
        BOOL got = 0;
        while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0) {
            // A message that could not be handed over (Wine fails so on a
            // huge DDE poke) is dropped; it must not end the program.
            if (got == -1) {
                continue;
            }
            if (!HandleDialogMessage(message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
        exitCode = static_cast<int>(message.wParam);
    }
    if (running != nullptr) {
        CloseHandle(running);
    }
    return exitCode;
}
