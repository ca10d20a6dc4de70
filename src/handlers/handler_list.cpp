#include "handlers/handler_list.h"

#include <cstring>

UniqueKey OpenHandlerList()
{
    UniqueKey list;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kHandlerListKey, 0, KEY_READ, list.put())
        != ERROR_SUCCESS) {
        list.release();
    }
    return list;
}

bool ReadHandlerName(HKEY list, DWORD index, char (&nameBuffer)[kKeyNameBufferBytes])
{
    std::memset(nameBuffer, 0, sizeof nameBuffer);
    DWORD capacity = sizeof nameBuffer;
    return RegEnumKeyExA(list, index, nameBuffer, &capacity, nullptr, nullptr, nullptr, nullptr)
           == ERROR_SUCCESS;
}

void ReadHandlerPath(HKEY list, const char* name, char* pathBuffer)
{
    pathBuffer[0] = '\0';
    UniqueKey handler;
    if (RegOpenKeyExA(list, name, 0, KEY_QUERY_VALUE, handler.put()) != ERROR_SUCCESS) {
        handler.release();
        return;
    }
    // Read into a scratch buffer so that a refused value never leaves partial
    // bytes behind; a value stored without its NUL must still end in one.
    char path[MAX_PATH] = {};
    DWORD type = REG_NONE;
    DWORD size = MAX_PATH;
    const LONG status = RegQueryValueExA(handler.get(), nullptr, nullptr, &type,
                                         reinterpret_cast<BYTE*>(path), &size);
    if (status != ERROR_SUCCESS || type != REG_SZ || size > MAX_PATH) {
        return;
    }
    if (size == MAX_PATH && path[MAX_PATH - 1] != '\0') {
        return;
    }
    std::memcpy(pathBuffer, path, MAX_PATH);
}
