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

CommandSwitch ScanCommandSwitch(const char* tail)
{
    if (tail == nullptr) {
        return CommandSwitch::None;
    }
    for (const char* p = tail; *p != '\0'; ++p) {
        if (*p != '/') {
            continue;
        }
        if (p[1] == 'R') {
            return CommandSwitch::Register;
        }
        if (p[1] == 'U') {
            return CommandSwitch::Unregister;
        }
    }
    return CommandSwitch::None;
}
