// Redirects HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER of
// this process to three empty scratch keys under the real
// HKCU\Software\LoxaTest for the life of one object, so that the program's
// registry code runs without touching the real registry. HKCR is then no view
// of HKLM\SOFTWARE\Classes, so the two roots are seen apart.
#pragma once

#include <windows.h>

#include <string>

#include "win32/unique_resource.h"

struct SandboxOptions {
    // The MIME database parents that a real system has.
    bool classesRootMimeDatabase = true;
    bool machineMimeDatabase = true;
    // A volatile HKLM, under which the platform refuses to create the
    // (non-volatile) keys that registration writes: a write failure.
    bool volatileMachine = false;
};

class RegistrySandbox {
public:
    explicit RegistrySandbox(SandboxOptions options = {});
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    bool ready() const { return ready_; }
    // Full-access handles on the scratch roots, opened before the redirection.
    HKEY classesRoot() const { return classesRoot_.get(); }
    HKEY localMachine() const { return localMachine_.get(); }
    HKEY currentUser() const { return currentUser_.get(); }

private:
    std::string path_;
    UniqueKey classesRoot_;
    UniqueKey localMachine_;
    UniqueKey currentUser_;
    bool ready_ = false;
};

struct RegistryValue {
    bool found = false;
    DWORD type = REG_NONE;
    std::string data; // the bytes as read, NUL included
};

RegistryValue ReadRegistryValue(HKEY root, const char* path, const char* name);
bool RegistryKeyExists(HKEY root, const char* path);
// Create the key (and its parents) when missing; the second also sets a value.
bool WriteRegistryKey(HKEY root, const char* path);
bool WriteRegistryValue(HKEY root, const char* path, const char* name, DWORD type,
                        const std::string& data);
std::string AsText(const std::string& data); // up to the first NUL
