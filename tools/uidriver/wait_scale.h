// How long the tests and the UI driver wait for something to happen,
// stretched by the whole factor in LOXA_TEST_WAIT_SCALE (1 when unset): the
// 32-bit lane's emulated machine starts a Wine process, and answers a message
// across processes, many times slower than the 64-bit lane does.
// Only waits scale, never a bound that the program itself must meet.
#pragma once

#include <windows.h>

#include <cstdlib>

inline DWORD ScaledWaitMs(DWORD ms)
{
    char text[16] = {};
    const DWORD length = GetEnvironmentVariableA("LOXA_TEST_WAIT_SCALE", text, sizeof text);
    const unsigned long scale =
        length > 0 && length < sizeof text ? std::strtoul(text, nullptr, 10) : 1;
    return scale > 1 && scale <= 100 ? ms * static_cast<DWORD>(scale) : ms;
}
