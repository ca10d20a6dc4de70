// main() of the Windows tests: refuses to run on a Wine set-up whose ANSI code
// page is not 932, where every Japanese text would be garbled.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

class CodePageEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_EQ(GetACP(), 932u) << "Wine must run with LANG=ja_JP.UTF-8"; }
};

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new CodePageEnvironment);
    return RUN_ALL_TESTS();
}
