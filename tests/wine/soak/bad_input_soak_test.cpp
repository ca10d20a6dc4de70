// Bad input end to end under Wine: loxa.exe opens malformed and huge
// documents, shows what the parser reads from them, ends normally, and keeps
// its peak memory within a few times the document's size.
#include <gtest/gtest.h>

#include "soak_documents.h"
#include "soak_run.h"

namespace {

constexpr std::size_t kMiB = 1024 * 1024;

} // namespace

TEST(BadInputSoak, TinyDocumentSetsTheBase)
{
    SoakDocument(SoakHeader("題") + "本文");
}

TEST(BadInputSoak, OneByte)
{
    SoakDocument("x");
    SoakDocument("\r");
    SoakDocument(std::string(1, '\0'));
}

TEST(BadInputSoak, OnlyCarriageReturns)
{
    SoakDocument(std::string(kMiB, '\r'));
}

TEST(BadInputSoak, NoCarriageReturn)
{
    std::string document = "version: 1\nprogram-title: 改行がLFだけ\n\n";
    document += JapaneseLine(kMiB);
    SoakDocument(document);
}

TEST(BadInputSoak, RandomBytes)
{
    SoakDocument(RandomBytes(64 * 1024, 1, true));
    SoakDocument(RandomBytes(4 * 1024, 2, false));
    SoakDocument(RandomBytes(kMiB, 3, false));
    SoakDocument(RandomBytes(8 * kMiB, 4, false));
}

TEST(BadInputSoak, HundredThousandHeaderLines)
{
    SoakDocument(ManyHeaderLines(100000) + "\r\n本文\r\n");
}

TEST(BadInputSoak, HundredMegabyteBody)
{
    SoakDocument(SoakHeader("大きな本文") + JapaneseLines(100 * 1000 * 1000), SoakEnding::Register);
}

TEST(BadInputSoak, MegabyteLines)
{
    SoakDocument(SoakHeader("長い行", "x-note: " + JapaneseLine(kMiB) + "\r\n") + JapaneseLine(kMiB));
}

TEST(BadInputSoak, HundredKilobyteTitle)
{
    SoakDocument(SoakHeader(JapaneseLine(100 * 1024)) + "本文", SoakEnding::Register);
}
