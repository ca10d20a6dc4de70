#include "benchmark_documents.h"

namespace {

constexpr char kHeader[] =
    "Content-type: application/x-tv-program-info; charset=shift_jis\r\n"
    "version: 1\r\n"
    "station: ＮＨＫ総合\r\n"
    "year: 2027\r\n"
    "month: 3\r\n"
    "date: 1\r\n"
    "start: 00:03\r\n"
    "end: 00:58\r\n"
    "program-title: 映像の世紀\r\n"
    "program-subtitle: 第１集\r\n";

constexpr char kBodyLine[] = "２０世紀の始まりを記録した映像で振り返る。出演：語り手\r\n";

void AppendUntil(std::string& text, const char* piece, std::size_t bytes)
{
    while (text.size() < bytes) {
        text += piece;
    }
}

} // namespace

std::string SmallDocument()
{
    std::string text = kHeader;
    text += "\r\n";
    AppendUntil(text, kBodyLine, 1024);
    return text;
}

std::string HeaderHeavyDocument(std::size_t bytes)
{
    std::string text;
    AppendUntil(text, kHeader, bytes);
    text += "\r\n";
    text += kBodyLine;
    return text;
}

std::string LargeBodyDocument(std::size_t bytes)
{
    std::string text = kHeader;
    text += "\r\n";
    AppendUntil(text, kBodyLine, bytes);
    return text;
}
