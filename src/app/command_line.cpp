#include "app/command_line.h"

#include "document/code_page_932.h"

const char* SkipProgramName(const char* commandLine)
{
    if (commandLine == nullptr) {
        return "";
    }
    const auto* p = reinterpret_cast<const unsigned char*>(commandLine);
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') {
            if (IsCp932LeadByte(*p) && p[1] != '\0') {
                ++p;
            }
            ++p;
        }
        if (*p == '"') {
            ++p;
        }
    } else {
        while (*p > 0x20) {
            ++p;
        }
    }
    while (*p != '\0' && *p <= 0x20) {
        ++p;
    }
    return reinterpret_cast<const char*>(p);
}

const wchar_t* SkipWideProgramName(const wchar_t* commandLine)
{
    if (commandLine == nullptr) {
        return L"";
    }
    const wchar_t* p = commandLine;
    if (*p == L'"') {
        ++p;
        while (*p != L'\0' && *p != L'"') {
            ++p;
        }
        if (*p == L'"') {
            ++p;
        }
    } else {
        while (*p > L' ') {
            ++p;
        }
    }
    while (*p != L'\0' && *p <= L' ') {
        ++p;
    }
    return p;
}

namespace {

// The '/' of the first switch, or null.
const char* FindCommandSwitch(const char* tail)
{
    if (tail == nullptr) {
        return nullptr;
    }
    for (const char* p = tail; *p != '\0'; ++p) {
        if (*p == '/' && (p[1] == 'R' || p[1] == 'U')) {
            return p;
        }
    }
    return nullptr;
}

bool IsSwitchBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

CommandSwitch ScanCommandSwitch(const char* tail)
{
    const char* found = FindCommandSwitch(tail);
    if (found == nullptr) {
        return CommandSwitch::None;
    }
    return found[1] == 'R' ? CommandSwitch::Register : CommandSwitch::Unregister;
}

bool HasQuietSwitch(const char* tail)
{
    const char* found = FindCommandSwitch(tail);
    if (found == nullptr) {
        return false;
    }
    // Neither a blank nor '/' is a trail byte in code page 932, so a byte
    // scan cannot take half a character for the switch.
    for (const char* p = found + 2; *p != '\0'; ++p) {
        if (IsSwitchBlank(p[0]) && p[1] == '/' && (p[2] == 'S' || p[2] == 's')
            && (p[3] == '\0' || IsSwitchBlank(p[3]))) {
            return true;
        }
    }
    return false;
}
