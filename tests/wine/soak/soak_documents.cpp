#include "soak_documents.h"

#include <random>

std::string RandomBytes(std::size_t size, std::uint32_t seed, bool withNul)
{
    // mt19937's sequence is fixed by the standard (its distributions are not,
    // so none is used).
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        auto value = static_cast<unsigned char>(generator());
        if (!withNul) {
            while (value == 0) {
                value = static_cast<unsigned char>(generator());
            }
        }
        byte = static_cast<char>(value);
    }
    return bytes;
}

std::string SoakHeader(const std::string& title, const std::string& extraLines)
{
    return "Content-type: application/x-tv-program-info\r\n"
           "version: 1\r\n"
           "station: ＮＨＫ総合\r\n"
           "year: 2027\r\n"
           "month: 3\r\n"
           "date: 1\r\n"
           "start: 21:00\r\n"
           "end: 21:45\r\n"
           + extraLines + "program-title: " + title + "\r\n\r\n";
}

std::string ManyHeaderLines(std::size_t count)
{
    static const char* const kKeys[] = {
        "Content-type: ", "version: ", "station: ", "year: ",          "month: ",
        "date: ",         "start: ",   "end: ",     "program-title: ", "program-subtitle: ",
        "x-unknown: ",    "VERSION:",
    };
    const std::size_t keyCount = sizeof kKeys / sizeof kKeys[0];
    std::string text;
    text.reserve(count * 24);
    for (std::size_t i = 0; i + 5 < count; ++i) {
        text += kKeys[i % keyCount];
        text += std::to_string(i);
        text += "番\r\n";
    }
    text += "version: 1\r\nyear: 2027\r\nmonth: 3\r\ndate: 1\r\nprogram-title: 最後の題\r\n";
    return text;
}

std::string JapaneseLines(std::size_t size)
{
    // 64 bytes with its CR LF.
    const std::string line = "番組の説明文、六十バイトほどの一行を何度も繰り返す。0123456789\r\n";
    std::string text;
    text.reserve(size);
    while (text.size() + line.size() <= size) {
        text += line;
    }
    text.append(size - text.size(), 'x');
    return text;
}

std::string JapaneseLine(std::size_t size)
{
    std::string text = "a";
    text.reserve(size);
    const std::string characters = "日本語の長い行";
    while (text.size() + characters.size() <= size) {
        text += characters;
    }
    text.append(size - text.size(), 'z');
    return text;
}
