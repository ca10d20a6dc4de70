#include "registry_sandbox.h"

namespace {

constexpr char kSandboxParent[] = "Software\\LoxaTest";

bool CreateChain(HKEY parent, const char* path, DWORD options)
{
    UniqueKey key;
    return RegCreateKeyExA(parent, path, 0, nullptr, options, KEY_ALL_ACCESS, nullptr, key.put(),
                           nullptr)
           == ERROR_SUCCESS;
}

// Creates each component of `path` under `parent` with the given options.
bool CreateEachKey(HKEY parent, const std::string& path, DWORD options)
{
    for (size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
        if (!CreateChain(parent, path.substr(0, end).c_str(), options)) {
            return false;
        }
        if (end == std::string::npos) {
            return true;
        }
    }
}

} // namespace

RegistrySandbox::RegistrySandbox(SandboxOptions options)
    : path_(std::string(kSandboxParent) + "\\" + std::to_string(GetCurrentProcessId()))
{
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    DWORD machineOptions = options.volatileMachine ? REG_OPTION_VOLATILE : REG_OPTION_NON_VOLATILE;
    if (!CreateEachKey(HKEY_CURRENT_USER, path_ + "\\HKCR", REG_OPTION_NON_VOLATILE)
        || !CreateChain(HKEY_CURRENT_USER, (path_ + "\\HKLM").c_str(), machineOptions)
        || !CreateChain(HKEY_CURRENT_USER, (path_ + "\\HKCU").c_str(), REG_OPTION_NON_VOLATILE)) {
        return;
    }
    for (auto [slot, name] :
         {std::pair{&classesRoot_, "\\HKCR"}, std::pair{&localMachine_, "\\HKLM"},
          std::pair{&currentUser_, "\\HKCU"}}) {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, (path_ + name).c_str(), 0, KEY_ALL_ACCESS, slot->put())
            != ERROR_SUCCESS) {
            return;
        }
    }
    if ((options.classesRootMimeDatabase
         && !CreateEachKey(classesRoot(), "MIME\\Database\\Content Type", REG_OPTION_NON_VOLATILE))
        || (options.machineMimeDatabase
            && !CreateEachKey(localMachine(), "SOFTWARE\\Classes\\MIME\\Database\\Content Type",
                              machineOptions))
        || !CreateEachKey(localMachine(), "SOFTWARE\\Classes", machineOptions)
        || !CreateEachKey(currentUser(), "SOFTWARE", REG_OPTION_NON_VOLATILE)) {
        return;
    }
    ready_ = RegOverridePredefKey(HKEY_CLASSES_ROOT, classesRoot()) == ERROR_SUCCESS
             && RegOverridePredefKey(HKEY_LOCAL_MACHINE, localMachine()) == ERROR_SUCCESS
             && RegOverridePredefKey(HKEY_CURRENT_USER, currentUser()) == ERROR_SUCCESS;
}

RegistrySandbox::~RegistrySandbox()
{
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    classesRoot_.reset();
    localMachine_.reset();
    currentUser_.reset();
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, kSandboxParent); // only when no other sandbox is left
}

RegistryValue ReadRegistryValue(HKEY root, const char* path, const char* name)
{
    RegistryValue value;
    UniqueKey key;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
        return value;
    }
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        value.found = RegQueryValueExA(key.get(), name, nullptr, &value.type,
                                       reinterpret_cast<BYTE*>(value.data.data()), &size)
                      == ERROR_SUCCESS;
        value.data.resize(size);
    }
    return value;
}

bool RegistryKeyExists(HKEY root, const char* path)
{
    UniqueKey key;
    return RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, key.put()) == ERROR_SUCCESS;
}

bool WriteRegistryKey(HKEY root, const char* path)
{
    return CreateChain(root, path, REG_OPTION_NON_VOLATILE);
}

bool WriteRegistryValue(HKEY root, const char* path, const char* name, DWORD type,
                        const std::string& data)
{
    UniqueKey key;
    return RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr)
               == ERROR_SUCCESS
           && RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size()))
                  == ERROR_SUCCESS;
}

std::string AsText(const std::string& data)
{
    return data.substr(0, data.find('\0'));
}
