#include "registration/register_file_type.h"

#include <windows.h>

#include "win32/application_title.h"
#include "registration/check_already_registered.h"
#include "registration/notify_association_changed.h"
#include "registration/registration_messages.h"
#include "registration/registry_names.h"
#include "registration/short_program_path.h"
#include "win32/unique_resource.h"

namespace {

// The class entries are written twice, with the same names and values: once
// under HKCR, once under HKLM "SOFTWARE\Classes".
struct ClassesTarget {
    HKEY root;
    const char* mimeDatabase;
    REGSAM mimeDatabaseAccess;
    const char* classes; // parent of the extension key; null for the root itself
    const char* progId;  // relative to the root
};

constexpr REGSAM kCreateAccess = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

bool CreateKey(HKEY parent, const char* name, UniqueKey& key)
{
    DWORD disposition = 0; // created or reused: either will do
    return RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, kCreateAccess,
                           nullptr, key.put(), &disposition)
           == ERROR_SUCCESS;
}

// The NUL is counted in the size.
bool SetStringValue(HKEY key, const char* valueName, const char* text)
{
    return RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(lstrlenA(text)) + 1)
           == ERROR_SUCCESS;
}

bool SetEditFlags(HKEY key)
{
    return RegSetValueExA(key, kEditFlagsValueName, 0, REG_BINARY, kEditFlagsData,
                          sizeof kEditFlagsData)
           == ERROR_SUCCESS;
}

} // namespace

RegistrationOutcome RegisterFileType(RegistrationReporting reporting)
{
    const RegistrationOutcome check = CheckAlreadyRegistered(reporting);
    if (check != RegistrationOutcome::Done) {
        return check;
    }

    const ClassesTarget targets[] = {
        {HKEY_CLASSES_ROOT, kClassesRootMimeDatabaseKey, kCreateAccess, nullptr, kProgIdName},
        {HKEY_LOCAL_MACHINE, kMachineMimeDatabaseKey, KEY_CREATE_SUB_KEY, kMachineClassesKey,
         kMachineProgIdKey},
    };

    // At most four keys are open at once; the handler closes them from the
    // innermost out.
    UniqueKey outer;
    UniqueKey inner;
    UniqueKey open;
    UniqueKey command;
    // Once anything is written, Explorer is told, even when a later write
    // fails: what was written stays.
    bool wrote = false;
    try {
        // Every string is ready before the first write, so that a path that
        // cannot be had leaves the registry untouched.
        char programPath[MAX_PATH];
        char openCommand[MAX_PATH];
        char iconLocation[MAX_PATH];
        if (!GetShortProgramPath(programPath) || !BuildOpenCommand(openCommand, programPath)
            || !JoinPathText(iconLocation, programPath, ",1")) {
            throw kRegistryOpenFailedMessage;
        }

        for (const ClassesTarget& target : targets) {
            // MIME type -> extension.
            if (RegOpenKeyExA(target.root, target.mimeDatabase, 0, target.mimeDatabaseAccess,
                              outer.put())
                    != ERROR_SUCCESS
                || !CreateKey(outer.get(), kMimeTypeName, inner)) {
                throw kRegistryOpenFailedMessage;
            }
            if (!SetStringValue(inner.get(), kExtensionValueName, kExtensionName)) {
                throw kRegistrySetFailedMessage;
            }
            wrote = true;
            inner.reset();
            outer.reset();

            // Extension -> ProgID and MIME type.
            HKEY classes = target.root;
            if (target.classes != nullptr) {
                if (RegOpenKeyExA(target.root, target.classes, 0, KEY_CREATE_SUB_KEY, outer.put())
                    != ERROR_SUCCESS) {
                    throw kRegistryOpenFailedMessage;
                }
                classes = outer.get();
            }
            if (!CreateKey(classes, kExtensionName, inner)) {
                throw kRegistryOpenFailedMessage;
            }
            if (!SetStringValue(inner.get(), nullptr, kProgIdName)
                || !SetStringValue(inner.get(), kContentTypeValueName, kMimeTypeName)) {
                throw kRegistrySetFailedMessage;
            }
            inner.reset();
            outer.reset();

            // ProgID: description, edit flags, icon and open command.
            if (!CreateKey(target.root, target.progId, outer)) {
                throw kRegistryOpenFailedMessage;
            }
            if (!SetStringValue(outer.get(), nullptr, kApplicationTitle)
                || !SetEditFlags(outer.get())) {
                throw kRegistrySetFailedMessage;
            }
            if (!CreateKey(outer.get(), kDefaultIconKey, inner)) {
                throw kRegistryOpenFailedMessage;
            }
            if (!SetStringValue(inner.get(), nullptr, iconLocation)) {
                throw kRegistrySetFailedMessage;
            }
            inner.reset();
            if (!CreateKey(outer.get(), kShellKey, inner) || !CreateKey(inner.get(), kOpenKey, open)
                || !CreateKey(open.get(), kCommandKey, command)) {
                throw kRegistryOpenFailedMessage;
            }
            if (!SetStringValue(command.get(), nullptr, openCommand)) {
                throw kRegistrySetFailedMessage;
            }
            command.reset();
            open.reset();
            inner.reset();
            outer.reset();
        }

        // The per-user key under which the handler chooser finds plug-ins.
        if (!CreateKey(HKEY_CURRENT_USER, kUserHandlersKey, outer)) {
            throw kRegistryOpenFailedMessage;
        }
        if (!SetStringValue(outer.get(), nullptr, programPath)) {
            throw kRegistrySetFailedMessage;
        }
        outer.reset();

        NotifyAssociationChanged();
        ReportRegistrationMessage(reporting, kRegisteredMessage, MB_OK);
        return RegistrationOutcome::Done;
    } catch (const char* message) {
        command.reset();
        open.reset();
        inner.reset();
        outer.reset();
        if (wrote) {
            NotifyAssociationChanged();
        }
        ReportRegistrationMessage(reporting, message, MB_OK);
        return OutcomeOfMessage(message);
    }
}
