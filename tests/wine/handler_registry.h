// Test support: handler subkeys under HKCU "SOFTWARE\Loxa" for the duration
// of one test. Every test starts from no list: one that something else left
// is set aside under a scratch key and put back at the end, and everything
// the test made is removed.
#pragma once

#include <windows.h>

#include <string>

#include "win32/unique_resource.h"

struct HandlerListScope {
    static constexpr char kAside[] = "SOFTWARE\\LoxaTestHandlersAside";
    bool keyExisted = false;

    HandlerListScope()
    {
        UniqueKey key;
        keyExisted = RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Loxa", 0, KEY_READ, key.put())
                     == ERROR_SUCCESS;
        if (!keyExisted) {
            key.release();
            return;
        }
        UniqueKey aside;
        RegDeleteTreeA(HKEY_CURRENT_USER, kAside);
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kAside, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            aside.put(), nullptr)
            == ERROR_SUCCESS) {
            RegCopyTreeA(key.get(), nullptr, aside.get());
        } else {
            aside.release();
        }
        key.reset();
        RemoveList();
    }
    ~HandlerListScope()
    {
        RemoveList();
        if (!keyExisted) {
            return;
        }
        UniqueKey aside;
        UniqueKey list = OpenList();
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kAside, 0, KEY_READ, aside.put()) == ERROR_SUCCESS) {
            if (list) {
                RegCopyTreeA(aside.get(), nullptr, list.get());
            }
            aside.reset();
            RegDeleteTreeA(HKEY_CURRENT_USER, kAside);
            RegDeleteKeyA(HKEY_CURRENT_USER, kAside);
        } else {
            aside.release();
        }
    }
    HandlerListScope(const HandlerListScope&) = delete;
    HandlerListScope& operator=(const HandlerListScope&) = delete;

    static void RemoveList()
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Loxa");
        RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Loxa");
    }

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
        if (type == REG_NONE) {
            return true;
        }
        // Wine adds the NUL to a string stored without one when a NUL follows
        // it in memory: here none follows.
        const std::string guarded = data + 'x';
        return RegSetValueExA(handler.get(), nullptr, 0, type,
                              reinterpret_cast<const BYTE*>(guarded.data()),
                              static_cast<DWORD>(data.size()))
               == ERROR_SUCCESS;
    }
    bool AddHandler(const std::string& name, const std::string& path)
    {
        return AddHandler(name, REG_SZ, std::string(path.c_str(), path.size() + 1));
    }
};
