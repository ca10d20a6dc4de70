#include "ui_driver.h"

std::string LoxaExecutablePath()
{
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self(path, length);
    return self.substr(0, self.find_last_of('\\') + 1) + "loxa.exe";
}

bool StartLoxa(const std::string& tail, LoxaProcess& loxa)
{
    std::string commandLine = "\"" + LoxaExecutablePath() + "\"";
    if (!tail.empty()) {
        commandLine += " " + tail;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    loxa.process.reset(info.hProcess);
    loxa.processId = info.dwProcessId;
    return true;
}

bool WaitForExit(const LoxaProcess& loxa, DWORD timeoutMs, DWORD& exitCode)
{
    if (WaitForSingleObject(loxa.process.get(), timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    return GetExitCodeProcess(loxa.process.get(), &exitCode) != 0;
}

HWND WaitForProcessWindow(DWORD, const char*, const char*, DWORD)
{
    return nullptr;  // to be written
}

bool WaitForMessageBox(DWORD, DWORD, MessageBoxView&)
{
    return false;  // to be written
}

bool PressDialogButton(HWND, int)
{
    return false;  // to be written
}
