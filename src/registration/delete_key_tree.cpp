#include "registration/delete_key_tree.h"

#include "win32/registry_key_name.h"
#include "win32/unique_resource.h"

bool DeleteKeyTree(HKEY parent, const char* name)
{
    // What deletion needs and no more: a key that the user may delete but not
    // re-permission must go too. Asking for DELETE here leaves a key that
    // cannot go untouched, its subkeys included.
    UniqueKey key;
    if (RegOpenKeyExA(parent, name, 0, DELETE | KEY_ENUMERATE_SUB_KEYS, key.put())
        != ERROR_SUCCESS) {
        return false;
    }
    for (;;) {
        // Always the first subkey: each pass removes the one before it.
        char subkey[kKeyNameBufferBytes];
        DWORD capacity = sizeof subkey;
        FILETIME lastWrite;
        // Any failure, not only the end of the list, ends this level.
        if (RegEnumKeyExA(key.get(), 0, subkey, &capacity, nullptr, nullptr, nullptr, &lastWrite)
            != ERROR_SUCCESS) {
            break;
        }
        // A subkey that stays would come back first on every later pass:
        // the level ends at once, however many keys or levels lie above.
        if (!DeleteKeyTree(key.get(), subkey)) {
            break;
        }
    }
    key.reset();
    return RegDeleteKeyA(parent, name) == ERROR_SUCCESS;
}
