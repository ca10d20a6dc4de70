#include <gtest/gtest.h>
#include <cstdio>
#include "soak_documents.h"
#include "soak_run.h"
TEST(Measure, Lines)
{
    for (std::size_t kb : {16, 64, 128, 256, 512}) {
        SoakMeasure m;
        RunSoakDocument(SoakHeader("t") + JapaneseLines(kb * 1024), SoakEnding::Cancel, m);
        std::printf("lines %zu KiB: dialog %lu ms peak %zu\n", kb, m.dialogMs, (size_t)m.peakBytes);
    }
}
TEST(Measure, OneLine)
{
    for (std::size_t kb : {16, 32, 64, 128, 256}) {
        SoakMeasure m;
        RunSoakDocument(SoakHeader("t") + JapaneseLine(kb * 1024), SoakEnding::Cancel, m);
        std::printf("one line %zu KiB: dialog %lu ms peak %zu\n", kb, m.dialogMs, (size_t)m.peakBytes);
    }
}
TEST(Measure, Random)
{
    for (std::size_t kb : {16, 64, 128, 256}) {
        SoakMeasure m;
        RunSoakDocument(SoakHeader("t") + RandomBytes(kb * 1024, 7, false), SoakEnding::Cancel, m);
        std::printf("random %zu KiB: dialog %lu ms peak %zu\n", kb, m.dialogMs, (size_t)m.peakBytes);
    }
}
TEST(Measure, Title)
{
    for (std::size_t kb : {16, 100, 1024}) {
        SoakMeasure m;
        RunSoakDocument("version: 1\r\nprogram-title: " + JapaneseLine(kb * 1024) + "\r\n", SoakEnding::Cancel, m);
        std::printf("title %zu KiB: dialog %lu ms peak %zu\n", kb, m.dialogMs, (size_t)m.peakBytes);
    }
}
