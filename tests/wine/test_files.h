// Test support: files beside the test program, scratch files, whole-file
// reads and writes.
#pragma once

#include <windows.h>

#include <string>

#include "win32/unique_resource.h"

inline std::string BesideTests(const char* fileName)
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self(path, length);
    return self.substr(0, self.find_last_of('\\') + 1) + fileName;
}

// The same file under a path of exactly `length` bytes: repeated separators
// before the file name, which path resolution collapses.
inline std::string PathOfLength(const std::string& path, std::size_t length)
{
    const std::size_t slash = path.find_last_of('\\');
    if (path.size() >= length) {
        return path;
    }
    return path.substr(0, slash) + std::string(length - path.size(), '\\') + path.substr(slash);
}

// A fresh scratch file name in the temporary folder (the file is removed).
inline std::string ScratchPath(const char* prefix)
{
    char folder[MAX_PATH] = {};
    char file[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, prefix, 0, file);
    DeleteFileA(file);
    return file;
}

inline bool WriteBytes(const std::string& path, const std::string& bytes)
{
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file
           && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                        nullptr)
           && written == bytes.size();
}

inline bool ReadBytes(const std::string& path, std::string& bytes)
{
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    bytes.clear();
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) {
        bytes.append(chunk, read);
    }
    return true;
}
