// The DDE poke client: delivers one chip to the reminder application
// (service "Zuri", topic "ZuriServer").
#pragma once

#include <windows.h>
#include <ddeml.h>

#include <cstdint>

// Pokes the `size` bytes of `record` as item "ChipBinary /R" (with " /D"
// when `deleteWhenDone`), waiting at most 1000 ms for the acknowledgement.
// True when the reminder application accepted it. Opens and releases its own
// DDE instance; the record stays the caller's.
bool SendChipRecord(const void* record, std::uint32_t size, bool deleteWhenDone);

// The client's DDE callback: does nothing and answers no data.
HDDEDATA CALLBACK ChipDdeCallback(UINT type, UINT format, HCONV conversation, HSZ topic, HSZ item,
                                  HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2);
