#include "registration/notify_association_changed.h"

#include <windows.h>

#include <shlobj.h>

void NotifyAssociationChanged()
{
    // shell32 is a known DLL: it is always the system's own copy. It stays
    // loaded: the run ends soon after, and the shell may still be at work.
    HMODULE shell = LoadLibraryA("shell32.dll");
    if (shell == nullptr) {
        return;
    }
    using ChangeNotify = void(WINAPI*)(LONG, UINT, LPCVOID, LPCVOID);
    const auto notify = reinterpret_cast<ChangeNotify>(
        reinterpret_cast<void*>(GetProcAddress(shell, "SHChangeNotify")));
    if (notify != nullptr) {
        notify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    }
}
