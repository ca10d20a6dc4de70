#include "registration/delete_key_tree.h"

#include "win32/unique_resource.h"

namespace {

// Bounds the retries on a subkey that will not go.
constexpr int kMaxPasses = 50;

} // namespace

void DeleteKeyTree(HKEY parent, const char* name)
{
    UniqueKey key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) {
        return;
    }
    for (int pass = 0; pass < kMaxPasses; ++pass) {
        // Always the first subkey: each pass removes the one before it.
        char subkey[MAX_PATH];
        DWORD capacity = MAX_PATH;
        FILETIME lastWrite;
        // Any failure, not only the end of the list, ends this level.
        if (RegEnumKeyExA(key.get(), 0, subkey, &capacity, nullptr, nullptr, nullptr, &lastWrite)
            != ERROR_SUCCESS) {
            break;
        }
        DeleteKeyTree(key.get(), subkey);
    }
    key.reset();
    RegDeleteKeyA(parent, name);
}
