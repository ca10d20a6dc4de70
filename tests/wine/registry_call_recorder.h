// Records, while it lives, the registry calls that the program's code makes,
// as one line of text each, tracks the keys it has open, and can make chosen
// calls fail. Keys are named by the path they were opened by, from the
// predefined roots HKCR, HKLM and HKCU.
//
//   open <key> <access>[ -> <error>]
//   create <key> <access>[ -> <error>]
//   set <key> <value> REG_SZ|REG_BINARY <size>[ -> <error>]   (REG_SZ: "+NUL" when
//                                                              the size counts the NUL)
//   query <key> <value>      size-only query     read <key> <value>  read with data
//   enum <key> <index>       delete <key>         close <key>
//   notify SHCNE_ASSOCCHANGED SHCNF_IDLIST   (SHChangeNotify, looked up by name)
//
// <value> is "(default)" for the unnamed value.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

// The lines of `calls` that begin with `verb` and a blank.
std::vector<std::string> CallsOf(const std::vector<std::string>& calls, const std::string& verb);

class RegistryCallRecorder {
public:
    RegistryCallRecorder();
    ~RegistryCallRecorder();
    RegistryCallRecorder(const RegistryCallRecorder&) = delete;
    RegistryCallRecorder& operator=(const RegistryCallRecorder&) = delete;

    // The first call whose line (without its result) equals `line` is not
    // made and returns `error` instead.
    void FailCall(const std::string& line, LONG error);

    const std::vector<std::string>& calls() const { return calls_; }
    // The keys opened or created while recording and not yet closed.
    std::vector<std::string> OpenKeys() const;
    bool active() const;

    // For the replacement functions.
    std::string NameOf(HKEY key) const;
    LONG Injected(const std::string& line);
    void Record(const std::string& line, LONG result);
    void Opened(HKEY key, const std::string& name) { open_[key] = name; }
    void Closed(HKEY key) { open_.erase(key); }

private:
    std::vector<std::string> calls_;
    std::map<HKEY, std::string> open_;
    std::map<std::string, LONG> failures_;
    std::vector<std::unique_ptr<class ImportPatch>> patches_;
};
