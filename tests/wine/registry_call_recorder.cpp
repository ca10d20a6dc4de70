#include "registry_call_recorder.h"

#include <cstdio>
#include <cstring>

#include <shlobj.h>

#include "import_patch.h"

namespace {

RegistryCallRecorder* recorder = nullptr;

decltype(&RegOpenKeyExA) realOpenKey;
decltype(&RegCreateKeyExA) realCreateKey;
decltype(&RegSetValueExA) realSetValue;
decltype(&RegQueryValueExA) realQueryValue;
decltype(&RegEnumKeyExA) realEnumKey;
decltype(&RegDeleteKeyA) realDeleteKey;
decltype(&RegCloseKey) realCloseKey;
decltype(&GetProcAddress) realGetProcAddress;

std::string AccessName(REGSAM access)
{
    switch (access) {
    case KEY_QUERY_VALUE:
        return "KEY_QUERY_VALUE";
    case KEY_CREATE_SUB_KEY:
        return "KEY_CREATE_SUB_KEY";
    case KEY_SET_VALUE | KEY_CREATE_SUB_KEY:
        return "KEY_SET_VALUE|KEY_CREATE_SUB_KEY";
    case KEY_READ:
        return "KEY_READ";
    case KEY_ALL_ACCESS:
        return "KEY_ALL_ACCESS";
    case DELETE | KEY_ENUMERATE_SUB_KEYS:
        return "DELETE|KEY_ENUMERATE_SUB_KEYS";
    default: {
        char text[16];
        std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(access));
        return text;
    }
    }
}

std::string ValueName(const char* name)
{
    return name == nullptr || *name == '\0' ? "(default)" : name;
}

std::string Join(const std::string& parent, const char* name)
{
    return name == nullptr || *name == '\0' ? parent : parent + "\\" + name;
}

// The real call, unless the test asked for `line` to fail; recorded either way.
template <typename Call>
LONG Recorded(const std::string& line, Call real)
{
    const LONG result = recorder->Injected(line);
    const LONG answer = result == ERROR_SUCCESS ? real() : result;
    recorder->Record(line, answer);
    return answer;
}

LONG WINAPI OpenKey(HKEY parent, const char* name, DWORD options, REGSAM access, HKEY* key)
{
    std::string path = Join(recorder->NameOf(parent), name);
    std::string line = "open " + path + " " + AccessName(access);
    const LONG result =
        Recorded(line, [&] { return realOpenKey(parent, name, options, access, key); });
    if (result == ERROR_SUCCESS) {
        recorder->Opened(*key, path);
    }
    return result;
}

LONG WINAPI CreateKey(HKEY parent, const char* name, DWORD reserved, char* keyClass, DWORD options,
                      REGSAM access, SECURITY_ATTRIBUTES* security, HKEY* key, DWORD* disposition)
{
    std::string path = Join(recorder->NameOf(parent), name);
    std::string line = "create " + path + " " + AccessName(access);
    if (options != REG_OPTION_NON_VOLATILE) {
        line += " options=" + std::to_string(options);
    }
    if (keyClass != nullptr || security != nullptr || reserved != 0) {
        line += " with class, security or reserved";
    }
    const LONG result = Recorded(line, [&] {
        return realCreateKey(parent, name, reserved, keyClass, options, access, security, key,
                             disposition);
    });
    if (result == ERROR_SUCCESS) {
        recorder->Opened(*key, path);
    }
    return result;
}

LONG WINAPI SetValue(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data,
                     DWORD size)
{
    std::string line = "set " + recorder->NameOf(key) + " " + ValueName(name) + " ";
    if (type == REG_SZ) {
        line += "REG_SZ";
        const char* text = reinterpret_cast<const char*>(data);
        if (size > 0 && std::memchr(text, '\0', size) == text + size - 1) {
            line += "+NUL";
        } else {
            line += " size=" + std::to_string(size);
        }
    } else if (type == REG_BINARY) {
        line += "REG_BINARY " + std::to_string(size);
    } else {
        line += "type=" + std::to_string(type) + " " + std::to_string(size);
    }
    return Recorded(line, [&] { return realSetValue(key, name, reserved, type, data, size); });
}

LONG WINAPI QueryValue(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data,
                       DWORD* size)
{
    std::string line =
        (data == nullptr ? "query " : "read ") + recorder->NameOf(key) + " " + ValueName(name);
    return Recorded(line, [&] { return realQueryValue(key, name, reserved, type, data, size); });
}

LONG WINAPI EnumKey(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved,
                    char* keyClass, DWORD* classSize, FILETIME* lastWrite)
{
    std::string line = "enum " + recorder->NameOf(key) + " " + std::to_string(index);
    return Recorded(line, [&] {
        return realEnumKey(key, index, name, nameSize, reserved, keyClass, classSize, lastWrite);
    });
}

LONG WINAPI DeleteKey(HKEY parent, const char* name)
{
    std::string line = "delete " + Join(recorder->NameOf(parent), name);
    return Recorded(line, [&] { return realDeleteKey(parent, name); });
}

LONG WINAPI CloseKey(HKEY key)
{
    std::string line = "close " + recorder->NameOf(key);
    LONG result = realCloseKey(key);
    recorder->Closed(key);
    recorder->Record(line, result);
    return result;
}

// Explorer is not told for real: the test prefix has no desktop to tell.
void WINAPI ChangeNotify(LONG event, UINT flags, LPCVOID, LPCVOID)
{
    const bool association = event == SHCNE_ASSOCCHANGED && flags == SHCNF_IDLIST;
    recorder->Record(association ? "notify SHCNE_ASSOCCHANGED SHCNF_IDLIST" : "notify ?",
                     ERROR_SUCCESS);
}

FARPROC WINAPI FindProcedure(HMODULE module, const char* name)
{
    // A name below 0x10000 is an ordinal.
    if (reinterpret_cast<ULONG_PTR>(name) > 0xFFFF && std::strcmp(name, "SHChangeNotify") == 0) {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&ChangeNotify));
    }
    return realGetProcAddress(module, name);
}

template <typename Function>
void Patch(std::vector<std::unique_ptr<ImportPatch>>& patches, const char* name,
           Function replacement, Function& real)
{
    auto patch =
        std::make_unique<ImportPatch>("advapi32.dll", name, reinterpret_cast<void*>(replacement));
    real = reinterpret_cast<Function>(patch->original());
    patches.push_back(std::move(patch));
}

} // namespace

RegistryCallRecorder::RegistryCallRecorder()
{
    recorder = this;
    Patch(patches_, "RegOpenKeyExA", &OpenKey, realOpenKey);
    Patch(patches_, "RegCreateKeyExA", &CreateKey, realCreateKey);
    Patch(patches_, "RegSetValueExA", &SetValue, realSetValue);
    Patch(patches_, "RegQueryValueExA", &QueryValue, realQueryValue);
    Patch(patches_, "RegEnumKeyExA", &EnumKey, realEnumKey);
    Patch(patches_, "RegDeleteKeyA", &DeleteKey, realDeleteKey);
    Patch(patches_, "RegCloseKey", &CloseKey, realCloseKey);
    auto procedures = std::make_unique<ImportPatch>("kernel32.dll", "GetProcAddress",
                                                    reinterpret_cast<void*>(&FindProcedure));
    realGetProcAddress = reinterpret_cast<decltype(&GetProcAddress)>(procedures->original());
    patches_.push_back(std::move(procedures));
}

RegistryCallRecorder::~RegistryCallRecorder()
{
    while (!patches_.empty()) {
        patches_.pop_back();
    }
    recorder = nullptr;
}

// A function that the test program does not import is never called by the
// code under test; only the opening and closing of keys must be seen.
bool RegistryCallRecorder::active() const
{
    return patches_[0]->active() && patches_.back()->active();
}

void RegistryCallRecorder::FailCall(const std::string& line, LONG error)
{
    failures_[line] = error;
}

std::vector<std::string> CallsOf(const std::vector<std::string>& calls, const std::string& verb)
{
    std::vector<std::string> lines;
    for (const std::string& line : calls) {
        if (line.compare(0, verb.size() + 1, verb + " ") == 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

std::vector<std::string> RegistryCallRecorder::OpenKeys() const
{
    std::vector<std::string> names;
    for (const auto& [key, name] : open_) {
        names.push_back(name);
    }
    return names;
}

std::string RegistryCallRecorder::NameOf(HKEY key) const
{
    if (key == HKEY_CLASSES_ROOT) {
        return "HKCR";
    }
    if (key == HKEY_LOCAL_MACHINE) {
        return "HKLM";
    }
    if (key == HKEY_CURRENT_USER) {
        return "HKCU";
    }
    auto found = open_.find(key);
    if (found != open_.end()) {
        return found->second;
    }
    char text[32];
    std::snprintf(text, sizeof text, "?%p", static_cast<void*>(key));
    return text;
}

LONG RegistryCallRecorder::Injected(const std::string& line)
{
    auto found = failures_.find(line);
    if (found == failures_.end()) {
        return ERROR_SUCCESS;
    }
    LONG error = found->second;
    failures_.erase(found);
    return error;
}

void RegistryCallRecorder::Record(const std::string& line, LONG result)
{
    calls_.push_back(result == ERROR_SUCCESS ? line : line + " -> " + std::to_string(result));
}
