#include "registration/registry_value_text.h"

bool ReadRegistryValueText(HKEY key, const char* name, DWORD size, HeapBlock& text)
{
    text.reset();
    if (size == MAXDWORD) {
        return false; // no room for the terminator
    }
    text = AllocateHeapBlock(static_cast<SIZE_T>(size) + 1);
    if (!text) {
        return false;
    }
    DWORD capacity = size;
    return RegQueryValueExA(key, name, nullptr, nullptr, static_cast<BYTE*>(text.get()), &capacity)
           == ERROR_SUCCESS;
}
