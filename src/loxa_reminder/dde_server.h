// The DDE server Loxa pokes its chips to: service "Zuri", topic "ZuriServer",
// items "ChipBinary /R" and "ChipBinary /R /D", format "ZuriNoteChipData100".
#pragma once

#include <windows.h>

#include <cstddef>

// Takes one checked-in poke; true once the chip is kept on disk.
using ChipReceiver = bool (*)(const unsigned char* bytes, std::size_t size, bool deleteWhenDone);

enum class DdeServerStart { Offered, OtherServer, Failed };

// Starts the server on this thread (its message loop serves it). Another
// application that already answers the service and topic is left alone:
// OtherServer, and nothing is offered.
DdeServerStart StartDdeServer(ChipReceiver receiver);

void StopDdeServer();
