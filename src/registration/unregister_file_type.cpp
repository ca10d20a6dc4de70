#include "registration/unregister_file_type.h"

#include <windows.h>

#include "registration/check_registration_owner.h"
#include "registration/delete_key_tree.h"
#include "registration/notify_association_changed.h"
#include "registration/registration_messages.h"
#include "registration/registry_names.h"
#include "win32/unique_resource.h"

namespace {

struct ClassKey {
    HKEY root;
    const char* path;
};

// Only a key known to be absent counts as gone: one that is there but cannot
// be opened is still registered.
bool AnyKeyStays()
{
    const ClassKey keys[] = {
        {HKEY_CLASSES_ROOT, kExtensionName},
        {HKEY_CLASSES_ROOT, kProgIdName},
        {HKEY_LOCAL_MACHINE, kMachineExtensionKey},
        {HKEY_LOCAL_MACHINE, kMachineProgIdKey},
    };
    for (const ClassKey& each : keys) {
        UniqueKey key;
        if (RegOpenKeyExA(each.root, each.path, 0, KEY_QUERY_VALUE, key.put())
            != ERROR_FILE_NOT_FOUND) {
            return true;
        }
    }
    return false;
}

} // namespace

RegistrationOutcome UnregisterFileType(RegistrationReporting reporting)
{
    const RegistrationOutcome check = CheckRegistrationOwner(reporting);
    if (check != RegistrationOutcome::Done) {
        ReportRegistrationMessage(reporting, kUnregisterRefusedMessage, MB_OK);
        return check;
    }

    // A parent that cannot be opened skips its deletions; nothing is reported.
    // Explorer is told when any of the keys went.
    bool deleted = false;
    UniqueKey parent;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMachineClassesKey, 0, KEY_READ, parent.put())
        == ERROR_SUCCESS) {
        deleted = DeleteKeyTree(parent.get(), kExtensionName) || deleted;
        deleted = DeleteKeyTree(parent.get(), kProgIdName) || deleted;
        parent.reset();
    }
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMachineMimeDatabaseKey, 0, KEY_READ, parent.put())
        == ERROR_SUCCESS) {
        deleted = DeleteKeyTree(parent.get(), kMimeTypeName) || deleted;
        parent.reset();
    }
    deleted = DeleteKeyTree(HKEY_CLASSES_ROOT, kExtensionName) || deleted;
    deleted = DeleteKeyTree(HKEY_CLASSES_ROOT, kProgIdName) || deleted;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kClassesRootMimeDatabaseKey, 0, KEY_READ, parent.put())
        == ERROR_SUCCESS) {
        deleted = DeleteKeyTree(parent.get(), kMimeTypeName) || deleted;
        parent.reset();
    }
    if (deleted) {
        NotifyAssociationChanged();
    }
    // Without the rights to delete the machine-wide keys the program stays
    // registered, and so must the user's plug-in list.
    if (AnyKeyStays()) {
        ReportRegistrationMessage(reporting, kUnregisterFailedMessage, MB_OK);
        return RegistrationOutcome::Failed;
    }
    DeleteKeyTree(HKEY_CURRENT_USER, kUserHandlersKey);

    ReportRegistrationMessage(reporting, kUnregisteredMessage, MB_OK);
    return RegistrationOutcome::Done;
}
