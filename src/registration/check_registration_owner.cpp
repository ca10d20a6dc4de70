#include "registration/check_registration_owner.h"

#include <windows.h>

#include "win32/application_title.h"
#include "registration/registration_messages.h"
#include "registration/registry_names.h"
#include "registration/registry_value_text.h"
#include "win32/unique_resource.h"

namespace {

struct ProgIdKey {
    HKEY root;
    const char* path;
};

} // namespace

RegistrationOutcome CheckRegistrationOwner(RegistrationReporting reporting)
{
    const ProgIdKey progIdKeys[] = {
        {HKEY_CLASSES_ROOT, kProgIdName},
        {HKEY_LOCAL_MACHINE, kMachineProgIdKey},
    };

    UniqueKey progId;
    HeapBlock description;
    try {
        for (const ProgIdKey& each : progIdKeys) {
            if (RegOpenKeyExA(each.root, each.path, 0, KEY_QUERY_VALUE, progId.put())
                != ERROR_SUCCESS) {
                throw kRegistryOpenFailedMessage;
            }
            DWORD type = 0;
            DWORD size = 0;
            if (RegQueryValueExA(progId.get(), nullptr, nullptr, &type, nullptr, &size)
                != ERROR_SUCCESS) {
                throw kMimeTypeInUseMessage;
            }
            // A description of another type, or one that cannot be read,
            // passes; an empty one is not the title.
            if (type == REG_SZ && ReadRegistryValueText(progId.get(), nullptr, size, description)
                && lstrcmpA(static_cast<const char*>(description.get()), kApplicationTitle) != 0) {
                throw kForeignRegistrationMessage;
            }
            description.reset();
            progId.reset();
        }
        return RegistrationOutcome::Done;
    } catch (const char* message) {
        progId.reset();
        description.reset();
        ReportRegistrationMessage(reporting, message, MB_OK);
        return OutcomeOfMessage(message);
    }
}
