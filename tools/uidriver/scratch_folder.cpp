#include "scratch_folder.h"

#include <windows.h>

#include "win32/unique_resource.h"

ScratchFolder::~ScratchFolder()
{
    for (const std::string& file : files) {
        DeleteFileA(file.c_str());
    }
    if (!path.empty()) {
        RemoveDirectoryA(path.c_str());
    }
}

bool CreateScratchFolder(const std::string& name, ScratchFolder& folder)
{
    char temp[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    std::string path =
        std::string(temp) + "loxa-" + std::to_string(GetCurrentProcessId()) + "-" + name + "\\";
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return false;
    }
    folder.path = path;
    return true;
}

std::string WriteScratchFile(ScratchFolder& folder, const std::string& name,
                             const std::string& bytes)
{
    if (folder.path.empty()) {
        return std::string();
    }
    std::string path = folder.path + name;
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::string();
    }
    folder.files.push_back(path);
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
        || written != bytes.size()) {
        return std::string();
    }
    return path;
}
