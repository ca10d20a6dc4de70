// The reference reminder receiver run as a child of a test: it writes every
// chip it gets into a scratch folder, where the test reads it back.
#pragma once

#include <windows.h>

#include <string>

#include "driver_failure.h"
#include "win32/unique_resource.h"

struct ReceiverProcess {
    UniqueHandle job; // kills the receiver when closed, also if the test program dies
    UniqueHandle process;
    std::string outFolder; // ends with a backslash

    ReceiverProcess() = default;
    ReceiverProcess(const ReceiverProcess&) = delete;
    ReceiverProcess& operator=(const ReceiverProcess&) = delete;
    // Ends the receiver if it still runs.
    ~ReceiverProcess();
};

// Starts reminder_receiver.exe (beside the test program) writing into
// `outFolder` with the extra `options`, and waits until it offers its service.
bool StartReceiver(const std::string& outFolder, const std::string& options,
                   ReceiverProcess& receiver);

// Waits up to `timeoutMs` for the receiver's `number`th chip (1 for the first)
// and reads its bytes and its decoded line.
bool WaitForChip(const ReceiverProcess& receiver, int number, DWORD timeoutMs, std::string& bytes,
                 std::string& line);

// True when the receiver has written no `number`th chip.
bool HasNoChip(const ReceiverProcess& receiver, int number);
