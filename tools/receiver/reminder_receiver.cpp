// A reference reminder application for trying Loxa out and for its tests: a
// DDE server under service "Zuri", topic "ZuriServer", that takes chips poked
// as "ChipBinary /R" or "ChipBinary /R /D" in the format
// "ZuriNoteChipData100", checks and decodes each one and prints it as a line.
//
//   reminder_receiver [--out DIR] [--count N] [--exit-after MS]
//                     [--ack-delay MS] [--refuse]
//
// --out DIR        also write chip-N.bin (the raw bytes) and chip-N.txt (the
//                  line) into DIR, and DIR\ready once the service is offered
// --count N        end after N pokes
// --exit-after MS  end after MS milliseconds
// --ack-delay MS   hold every poke MS milliseconds before answering
// --refuse         answer every poke with "not processed"
#include <windows.h>
#include <ddeml.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "chip/chip_dde_names.h"
#include "chip/chip_layout.h"
#include "decode_chip.h"

namespace {

struct Options {
    std::string outDir;
    long count = 0;
    long exitAfterMs = 0;
    long ackDelayMs = 0;
    bool refuse = false;
};

struct Server {
    Options options;
    DWORD instance = 0;
    HSZ service = nullptr;
    HSZ topic = nullptr;
    UINT format = 0;
    long received = 0;
};

Server server;

// Written under a temporary name and renamed, so that a reader that sees the
// file never finds it still open or half written.
void WriteFileBytes(const std::string& path, const void* bytes, std::size_t size)
{
    const std::string partial = path + ".partial";
    HANDLE file = CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return;
    }
    DWORD written = 0;
    WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
    if (!MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
    }
}

std::string QueryString(HSZ name)
{
    char text[256] = {};
    DdeQueryStringA(server.instance, name, text, sizeof text, CP_WINANSI);
    return text;
}

HDDEDATA HandlePoke(UINT format, HSZ itemName, HDDEDATA data)
{
    const std::string item = QueryString(itemName);
    std::vector<unsigned char> bytes(DdeGetData(data, nullptr, 0, 0));
    if (!bytes.empty()) {
        DdeGetData(data, bytes.data(), static_cast<DWORD>(bytes.size()), 0);
    }
    ++server.received;

    std::string line;
    bool good = false;
    // The format crosses DDE as a 16-bit value, and some DDE layers widen it
    // with its sign: registered formats lie in 0xC000 to 0xFFFF.
    format &= 0xFFFF;
    char formatName[128] = {};
    if (GetClipboardFormatNameA(format, formatName, sizeof formatName) == 0
        || format != server.format) {
        line = "bad poke: format " + std::to_string(format) + " \"" + formatName + "\" is not "
               + kChipClipboardFormatName;
    } else if (item != kChipDdeItem && item != kChipDdeItemDeleteWhenDone) {
        line = "bad poke: unknown item \"" + item + "\"";
    } else {
        DecodedChip chip;
        std::string fault;
        good = DecodeChip(bytes.data(), bytes.size(), chip, fault);
        line = good ? DescribeChip(chip, item) : "bad chip: " + fault;
    }
    if (server.options.refuse) {
        line += " (refused)";
    }
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);

    if (!server.options.outDir.empty()) {
        const std::string base =
            server.options.outDir + "\\chip-" + std::to_string(server.received);
        WriteFileBytes(base + ".bin", bytes.data(), bytes.size());
        WriteFileBytes(base + ".txt", line.data(), line.size());
    }
    if (server.options.ackDelayMs > 0) {
        Sleep(static_cast<DWORD>(server.options.ackDelayMs));
    }
    if (server.options.count > 0 && server.received >= server.options.count) {
        PostQuitMessage(0);
    }
    return reinterpret_cast<HDDEDATA>(
        static_cast<ULONG_PTR>(good && !server.options.refuse ? DDE_FACK : DDE_FNOTPROCESSED));
}

HDDEDATA CALLBACK ReceiverCallback(UINT type, UINT format, HCONV, HSZ topic, HSZ item,
                                   HDDEDATA data, ULONG_PTR, ULONG_PTR)
{
    switch (type) {
    case XTYP_CONNECT:
        return reinterpret_cast<HDDEDATA>(
            static_cast<ULONG_PTR>(DdeCmpStringHandles(topic, server.topic) == 0));
    case XTYP_POKE:
        return HandlePoke(format, item, data);
    default:
        return nullptr;
    }
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--out" && hasValue) {
            options.outDir = argv[++i];
        } else if (arg == "--count" && hasValue) {
            options.count = std::strtol(argv[++i], nullptr, 10);
        } else if (arg == "--exit-after" && hasValue) {
            options.exitAfterMs = std::strtol(argv[++i], nullptr, 10);
        } else if (arg == "--ack-delay" && hasValue) {
            options.ackDelayMs = std::strtol(argv[++i], nullptr, 10);
        } else if (arg == "--refuse") {
            options.refuse = true;
        } else {
            std::fprintf(stderr,
                         "usage: reminder_receiver [--out DIR] [--count N] [--exit-after MS]"
                         " [--ack-delay MS] [--refuse]\n");
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (!ParseOptions(argc, argv, server.options)) {
        return 2;
    }
    server.format = RegisterClipboardFormatA(kChipClipboardFormatName);
    if (DdeInitializeA(&server.instance, &ReceiverCallback,
                       APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_REQUESTS | CBF_FAIL_EXECUTES
                           | CBF_SKIP_ALLNOTIFICATIONS,
                       0)
        != DMLERR_NO_ERROR) {
        std::fprintf(stderr, "DdeInitialize failed\n");
        return 1;
    }
    server.service = DdeCreateStringHandleA(server.instance, kChipDdeService, CP_WINANSI);
    server.topic = DdeCreateStringHandleA(server.instance, kChipDdeTopic, CP_WINANSI);
    if (!DdeNameService(server.instance, server.service, nullptr, DNS_REGISTER)) {
        std::fprintf(stderr, "cannot offer the service %s\n", kChipDdeService);
        DdeUninitialize(server.instance);
        return 1;
    }
    UINT_PTR exitTimer = 0;
    if (server.options.exitAfterMs > 0) {
        exitTimer = SetTimer(nullptr, 0, static_cast<UINT>(server.options.exitAfterMs), nullptr);
    }
    if (!server.options.outDir.empty()) {
        WriteFileBytes(server.options.outDir + "\\ready", "", 0);
    }
    std::printf("ready: service %s, topic %s\n", kChipDdeService, kChipDdeTopic);
    std::fflush(stdout);

    // Ends on its own timer only, and says why it ends: a test that finds
    // the service gone can then tell an early end from a refused connection.
    MSG message;
    BOOL got = 0;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr && exitTimer != 0
            && message.wParam == exitTimer) {
            std::fprintf(stderr, "receiver: ending after %ld ms, as asked\n",
                         server.options.exitAfterMs);
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (got == 0) {
        std::fprintf(stderr, "receiver: ending on WM_QUIT\n");
    } else if (got < 0) {
        std::fprintf(stderr, "receiver: ending: GetMessageA failed: error %lu\n",
                     static_cast<unsigned long>(GetLastError()));
    }

    DdeNameService(server.instance, server.service, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(server.instance, server.topic);
    DdeFreeStringHandle(server.instance, server.service);
    DdeUninitialize(server.instance);
    return 0;
}
