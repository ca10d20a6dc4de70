#include <gtest/gtest.h>

#include "ui_driver.h"

TEST(UsageMessage, SwitchesEndWithZero)
{
    for (const char* tail : {"/R", "/U", "abc /U"}) {
        LoxaProcess loxa;
        ASSERT_TRUE(StartLoxa(tail, loxa));
        DWORD exitCode = 1;
        ASSERT_TRUE(WaitForExit(loxa, 10000, exitCode)) << tail;
        EXPECT_EQ(exitCode, 0u) << tail;
    }
}
