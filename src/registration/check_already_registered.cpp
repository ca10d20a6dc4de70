#include "registration/check_already_registered.h"

#include <windows.h>

#include "registration/registration_messages.h"
#include "registration/registry_names.h"
#include "registration/registry_value_text.h"
#include "win32/unique_resource.h"

namespace {

struct MimeDatabase {
    HKEY root;
    const char* path;
};

} // namespace

RegistrationOutcome CheckAlreadyRegistered(RegistrationReporting reporting)
{
    const MimeDatabase databases[] = {
        {HKEY_CLASSES_ROOT, kClassesRootMimeDatabaseKey},
        {HKEY_LOCAL_MACHINE, kMachineMimeDatabaseKey},
    };

    UniqueKey database;
    UniqueKey mimeType;
    HeapBlock extension;
    try {
        for (const MimeDatabase& each : databases) {
            if (RegOpenKeyExA(each.root, each.path, 0, KEY_QUERY_VALUE, database.put())
                != ERROR_SUCCESS) {
                throw kRegistryOpenFailedMessage;
            }
            // No key for the type: not registered under this root.
            if (RegOpenKeyExA(database.get(), kMimeTypeName, 0, KEY_QUERY_VALUE, mimeType.put())
                == ERROR_SUCCESS) {
                DWORD type = 0;
                DWORD size = 0;
                if (RegQueryValueExA(mimeType.get(), kExtensionValueName, nullptr, &type, nullptr,
                                     &size)
                    != ERROR_SUCCESS) {
                    throw kMimeTypeInUseMessage;
                }
                // Another extension, another type, an empty or unreadable value:
                // registration overwrites it.
                if (type == REG_SZ && size > 0
                    && ReadRegistryValueText(mimeType.get(), kExtensionValueName, size, extension)
                    && lstrcmpA(static_cast<const char*>(extension.get()), kExtensionName) == 0) {
                    throw kAlreadyInstalledMessage;
                }
                extension.reset();
                mimeType.reset();
            }
            database.reset();
        }
        return RegistrationOutcome::Done;
    } catch (const char* message) {
        mimeType.reset();
        database.reset();
        extension.reset();
        ReportRegistrationMessage(reporting, message, MB_OK | MB_ICONINFORMATION);
        return OutcomeOfMessage(message);
    }
}
