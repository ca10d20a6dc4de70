// Fuzz target: the command line's program name skip and the switch scan on
// any bytes.
#include <cstring>
#include <vector>

#include "app/command_line.h"
#include "fuzz_check.h"

namespace {

bool IsBlank(unsigned char c)
{
    return c != 0 && c <= 0x20;
}

// The first "/R" or "/U", found by searching for each; both searches, not a
// byte scan, decide which comes first.
CommandSwitch ExpectedSwitch(const char* tail)
{
    const char* registration = std::strstr(tail, "/R");
    const char* removal = std::strstr(tail, "/U");
    if (registration == nullptr && removal == nullptr) {
        return CommandSwitch::None;
    }
    if (removal == nullptr || (registration != nullptr && registration < removal)) {
        return CommandSwitch::Register;
    }
    return CommandSwitch::Unregister;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<char> line(data, data + size);
    line.push_back('\0');
    const std::vector<char> original(line);
    const char* commandLine = line.data();
    const std::size_t length = std::strlen(commandLine);

    const char* tail = SkipProgramName(commandLine);
    // The tail is the command line's own end part, starting at its NUL or at
    // a byte above 0x20, with only blanks skipped right before it.
    FUZZ_CHECK(tail >= commandLine && tail <= commandLine + length);
    const auto first = static_cast<unsigned char>(*tail);
    FUZZ_CHECK(first == 0 || first > 0x20);
    const auto name = static_cast<std::size_t>(tail - commandLine);
    if (commandLine[0] != '"') {
        // An unquoted name: every byte up to the first blank, then the blanks.
        std::size_t end = 0;
        while (end < length && !IsBlank(static_cast<unsigned char>(commandLine[end]))) {
            ++end;
        }
        while (end < length && IsBlank(static_cast<unsigned char>(commandLine[end]))) {
            ++end;
        }
        FUZZ_CHECK(name == end);
    } else if (std::memchr(commandLine + 1, '"', length - 1) == nullptr) {
        // A quote that never closes takes the whole line.
        FUZZ_CHECK(name == length);
    }

    FUZZ_CHECK(ScanCommandSwitch(tail) == ExpectedSwitch(tail));
    FUZZ_CHECK(ScanCommandSwitch(commandLine) == ExpectedSwitch(commandLine));
    // Both only read.
    FUZZ_CHECK(line == original);
    return 0;
}
