// Test support: handler subkeys under HKCU "SOFTWARE\Loxa" for the duration
// of one test, and document files to open. Everything is removed again so
// that other tests keep seeing no handlers.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win32/unique_resource.h"

struct HandlerListScope {
    bool keyExisted = false;
    std::vector<std::string> created;

    HandlerListScope()
    {
        UniqueKey key;
        keyExisted = RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Loxa", 0, KEY_READ, key.put())
            == ERROR_SUCCESS;
    }
    ~HandlerListScope()
    {
        for (const std::string& name : created) {
            RegDeleteKeyA(HKEY_CURRENT_USER, ("SOFTWARE\\Loxa\\" + name).c_str());
        }
        if (!keyExisted) {
            RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Loxa");
        }
    }
    HandlerListScope(const HandlerListScope&) = delete;
    HandlerListScope& operator=(const HandlerListScope&) = delete;

    // Creates the list key (without subkeys) and returns it for writing.
    UniqueKey OpenList()
    {
        UniqueKey key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Loxa", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
            key.release();
        }
        return key;
    }

    // A handler subkey; its default value gets `data` of `type` unless
    // `type` is REG_NONE, when the subkey has no default value.
    bool AddHandler(const std::string& name, DWORD type, const std::string& data)
    {
        UniqueKey list = OpenList();
        UniqueKey handler;
        if (!list || RegCreateKeyExA(list.get(), name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                     handler.put(), nullptr) != ERROR_SUCCESS) {
            return false;
        }
        created.push_back(name);
        if (type == REG_NONE) {
            return true;
        }
        return RegSetValueExA(handler.get(), nullptr, 0, type,
                              reinterpret_cast<const BYTE*>(data.data()),
                              static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    }
    bool AddHandler(const std::string& name, const std::string& path)
    {
        return AddHandler(name, REG_SZ, std::string(path.c_str(), path.size() + 1));
    }
};

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
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    UniqueHandle owner(file);
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
        && written == bytes.size();
}

inline bool ReadBytes(const std::string& path, std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    UniqueHandle owner(file);
    bytes.clear();
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) {
        bytes.append(chunk, read);
    }
    return true;
}
