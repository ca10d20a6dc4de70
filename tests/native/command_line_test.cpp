#include <gtest/gtest.h>

#include "app/command_line.h"

TEST(SwitchScan, FindsTheFirstUpperCaseSwitchAnywhere)
{
    EXPECT_EQ(ScanCommandSwitch("/R"), CommandSwitch::Register);
    EXPECT_EQ(ScanCommandSwitch("/U"), CommandSwitch::Unregister);
    EXPECT_EQ(ScanCommandSwitch("some text /U"), CommandSwitch::Unregister);
    EXPECT_EQ(ScanCommandSwitch("/U /R"), CommandSwitch::Unregister);
    EXPECT_EQ(ScanCommandSwitch("x/Rabc/U"), CommandSwitch::Register);
    EXPECT_EQ(ScanCommandSwitch("C:/docs/Recorded.loxa"), CommandSwitch::Register);
}
