// Byte classes of code page 932 (Shift_JIS), the code page of every text
// Loxa reads: documents, command lines and registry names.
#pragma once

// A lead byte starts a double-byte character and takes the next byte with it.
inline bool IsCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
