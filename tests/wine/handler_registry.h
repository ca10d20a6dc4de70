// Test support: handler subkeys under HKCU "SOFTWARE\Loxa" for the duration
// of one test. Everything is removed again so that other tests keep seeing no
// handlers.
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
        if (!keyExisted) {
            key.release();
        }
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
                            nullptr, key.put(), nullptr)
            != ERROR_SUCCESS) {
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
        if (!list
            || RegCreateKeyExA(list.get(), name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                               handler.put(), nullptr)
                   != ERROR_SUCCESS) {
            return false;
        }
        created.push_back(name);
        if (type == REG_NONE) {
            return true;
        }
        return RegSetValueExA(handler.get(), nullptr, 0, type,
                              reinterpret_cast<const BYTE*>(data.data()),
                              static_cast<DWORD>(data.size()))
               == ERROR_SUCCESS;
    }
    bool AddHandler(const std::string& name, const std::string& path)
    {
        return AddHandler(name, REG_SZ, std::string(path.c_str(), path.size() + 1));
    }
};
