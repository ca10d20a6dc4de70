#include "reminder_receiver_process.h"

#include "ui_driver.h"
#include "wait_scale.h"

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self(path, length);
    return self.substr(0, self.find_last_of('\\') + 1);
}

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    const DWORD size = GetFileSize(file.get(), nullptr);
    bytes.assign(size, '\0');
    DWORD read = 0;
    return size == 0 || (ReadFile(file.get(), bytes.data(), size, &read, nullptr) && read == size);
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ChipPath(const ReceiverProcess& receiver, int number, const char* extension)
{
    return receiver.outFolder + "chip-" + std::to_string(number) + extension;
}

} // namespace

ReceiverProcess::~ReceiverProcess()
{
    if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process.get(), 0);
        WaitForSingleObject(process.get(), 5000);
    }
}

bool StartReceiver(const std::string& outFolder, const std::string& options,
                   ReceiverProcess& receiver)
{
    receiver.outFolder = outFolder;
    std::string folder = outFolder;
    if (!folder.empty() && folder.back() == '\\') {
        folder.pop_back();
    }
    DeleteFileA((outFolder + "ready").c_str());
    std::string commandLine = "\"" + ProgramFolder() + "reminder_receiver.exe\" --out \"" + folder
                              + "\" --exit-after " + std::to_string(ScaledWaitMs(60000)) + " "
                              + options;
    PROCESS_INFORMATION info{};
    if (!StartProcessInJob(commandLine, nullptr, receiver.job, info)) {
        return false;
    }
    receiver.process.reset(info.hProcess);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ScaledWaitMs(10000)) {
        if (FileExists(outFolder + "ready")) {
            return true;
        }
        if (WaitForSingleObject(receiver.process.get(), 20) == WAIT_OBJECT_0) {
            NoteDriverFailure("StartReceiver: the receiver ended before it was ready");
            return false;
        }
    }
    NoteDriverFailure("StartReceiver: the receiver was not ready within "
                      + std::to_string(ScaledWaitMs(10000)) + " ms");
    return false;
}

bool WaitForChip(const ReceiverProcess& receiver, int number, DWORD timeoutMs, std::string& bytes,
                 std::string& line)
{
    const DWORD start = GetTickCount();
    // The line is written after the bytes.
    while (!FileExists(ChipPath(receiver, number, ".txt"))) {
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        PauseAnsweringMessages(20);
    }
    return ReadWholeFile(ChipPath(receiver, number, ".bin"), bytes)
           && ReadWholeFile(ChipPath(receiver, number, ".txt"), line);
}

bool HasNoChip(const ReceiverProcess& receiver, int number)
{
    return !FileExists(ChipPath(receiver, number, ".bin"));
}
