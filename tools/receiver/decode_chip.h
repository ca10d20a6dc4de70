// Checks a chip received from Loxa against the chip layout and decodes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct DecodedChip {
    std::uint32_t size = 0;
    std::string title;
    std::string memo;
    std::string source;
    std::int32_t notifyMonth = 0, notifyDay = 0, notifyHour = 0, notifyMinute = 0;
    std::int32_t createdYear = 0, createdMonth = 0, createdDay = 0;
};

// False with a reason in `fault` when the bytes are no well-formed chip.
bool DecodeChip(const unsigned char* bytes, std::size_t size, DecodedChip& chip,
                std::string& fault);

// One readable line (bytes in code page 932; CR and LF shown as \r and \n).
std::string DescribeChip(const DecodedChip& chip, const std::string& item);
