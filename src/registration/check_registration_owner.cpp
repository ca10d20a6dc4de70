#include "registration/check_registration_owner.h"

#include <windows.h>

#include "app/application_title.h"
#include "registration/registration_messages.h"
#include "registration/registry_names.h"
#include "registration/registry_value_text.h"
#include "win32/message_box.h"
#include "win32/unique_resource.h"

namespace {

struct ProgIdKey {
    HKEY root;
    const char* path;
};

// The message that keeps the registration, or null when it is this
// program's own. Keys and text are released on return, before any message box.
const char* FindForeignOwner()
{
    const ProgIdKey progIdKeys[] = {
        {HKEY_CLASSES_ROOT, kProgIdName},
        {HKEY_LOCAL_MACHINE, kMachineProgIdKey},
    };

    HeapBlock description;
    UniqueKey progId;
    for (const ProgIdKey& each : progIdKeys) {
        if (RegOpenKeyExA(each.root, each.path, 0, KEY_QUERY_VALUE, progId.put())
            != ERROR_SUCCESS) {
            return kRegistryOpenFailedMessage;
        }
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExA(progId.get(), nullptr, nullptr, &type, nullptr, &size)
            != ERROR_SUCCESS) {
            return kMimeTypeInUseMessage;
        }
        // A description of another type, or one that cannot be read,
        // passes; an empty one is not the title.
        if (type == REG_SZ && ReadRegistryValueText(progId.get(), nullptr, size, description)
            && lstrcmpA(static_cast<const char*>(description.get()), kApplicationTitle) != 0) {
            return kForeignRegistrationMessage;
        }
        description.reset();
        progId.reset();
    }
    return nullptr;
}

} // namespace

int CheckRegistrationOwner()
{
    const char* message = FindForeignOwner();
    if (message == nullptr) {
        return 1;
    }
    ShowMessageBox(nullptr, message, MB_OK);
    return 0;
}
