// The bytes of one kept reminder: a small head with the program's state, the
// chip exactly as it was received, and a CRC-32 over everything before it,
// so that a torn or damaged file is recognised and never read as a reminder.
//
//   0   "LXREMND1"                 8 bytes
//   8   state: 0 waiting, 1 done   32-bit little-endian, like every number
//   12  flags: bit 0 delete when done (item "ChipBinary /R /D")
//   16  received: year, month, day, hour, minute (the local clock)
//   36  chip size
//   40  the chip
//   40 + chip size: CRC-32 (IEEE) of bytes 0 to 40 + chip size - 1
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "chip/read_chip.h"
#include "loxa_reminder/local_moment.h"

// The head and the CRC-32 around the chip.
inline constexpr std::size_t kReminderFileOverhead = 44;

enum class ReminderState : std::uint32_t { Waiting = 0, Done = 1 };

struct KeptReminder {
    ReminderState state = ReminderState::Waiting;
    bool deleteWhenDone = false;
    LocalMoment received; // to the minute
    std::vector<unsigned char> chip;
};

std::vector<unsigned char> EncodeReminderFile(const KeptReminder& reminder);

// False for anything but a whole, undamaged file holding a chip that passes
// every check of a received one, the size limit included.
bool DecodeReminderFile(const unsigned char* bytes, std::size_t size, KeptReminder& reminder);

// A received chip's checks: ReadChip, then the notification time.
ChipFault CheckReceivedChip(const unsigned char* bytes, std::size_t size, ChipView& chip);

std::uint32_t Crc32(const unsigned char* bytes, std::size_t size);
