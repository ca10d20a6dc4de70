// The DDE poke client in the test's own process, against the reference
// receiver.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "expected_chip.h"
#include "import_patch.h"
#include "message_box_recorder.h"
#include "reminder/chip_clipboard_format.h"
#include "reminder/chip_record.h"
#include "reminder/send_chip_record.h"
#include "reminder_receiver_process.h"
#include "scratch_folder.h"
#include "wait_scale.h"

namespace {

const DWORD kWaitMs = ScaledWaitMs(10000);

HDDEDATA WINAPI NoDataObject(DWORD, BYTE*, DWORD, DWORD, HSZ, UINT, UINT)
{
    return nullptr;
}

// The data handles poked, and those the program frees itself.
struct DataHandles {
    decltype(&DdeClientTransaction) transact = nullptr;
    decltype(&DdeFreeDataHandle) free = nullptr;
    std::vector<HDDEDATA> poked;
    std::vector<HDDEDATA> freed;
};

DataHandles* dataHandles = nullptr;

HDDEDATA WINAPI WatchedTransaction(BYTE* data, DWORD size, HCONV conversation, HSZ item,
                                   UINT format, UINT type, DWORD timeout, DWORD* result)
{
    if (type == XTYP_POKE && size == static_cast<DWORD>(-1)) {
        dataHandles->poked.push_back(reinterpret_cast<HDDEDATA>(data));
    }
    return dataHandles->transact(data, size, conversation, item, format, type, timeout, result);
}

BOOL WINAPI WatchedFree(HDDEDATA data)
{
    dataHandles->freed.push_back(data);
    return dataHandles->free(data);
}

class SendChipRecordTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // loxa.exe registers the format before WinMain; the tests do it here.
        RegisterChipClipboardFormat();
        ASSERT_NE(ChipClipboardFormat, 0u);
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        ASSERT_TRUE(CreateScratchFolder(std::string("SendChipRecord.") + test->name(), folder));
    }

    std::string Chip(const char* title, const char* memo)
    {
        std::vector<unsigned char> record(GetChipRecordSize(title, memo), 0);
        FillChipRecord(record.data(), static_cast<std::uint32_t>(record.size()), title, memo, 12,
                       31, 23, 55);
        return std::string(record.begin(), record.end());
    }

    ScratchFolder folder;
};

} // namespace

TEST_F(SendChipRecordTest, PokesTheRecordUnderEitherItem)
{
    ReceiverProcess receiver;
    ASSERT_TRUE(StartReceiver(folder.path, "", receiver)) << DriverFailure();
    const std::string chip = Chip("番組", "メモ");
    ASSERT_EQ(chip, ExpectedChip("番組", "メモ", 12, 31, 23, 55));

    DataHandles handles;
    dataHandles = &handles;
    {
        ImportPatch transact("user32.dll", "DdeClientTransaction",
                             reinterpret_cast<void*>(&WatchedTransaction));
        ImportPatch free("user32.dll", "DdeFreeDataHandle", reinterpret_cast<void*>(&WatchedFree));
        ASSERT_TRUE(transact.active() && free.active());
        handles.transact = reinterpret_cast<decltype(&DdeClientTransaction)>(transact.original());
        handles.free = reinterpret_cast<decltype(&DdeFreeDataHandle)>(free.original());
        EXPECT_TRUE(SendChipRecord(chip.data(), static_cast<std::uint32_t>(chip.size()), true));
        EXPECT_TRUE(SendChipRecord(chip.data(), static_cast<std::uint32_t>(chip.size()), false));
    }
    dataHandles = nullptr;
    // A poked handle is the DDE library's: the program never frees it.
    ASSERT_EQ(handles.poked.size(), 2u);
    for (HDDEDATA poked : handles.poked) {
        EXPECT_EQ(std::count(handles.freed.begin(), handles.freed.end(), poked), 0);
    }
    std::string bytes;
    std::string line;
    ASSERT_TRUE(WaitForChip(receiver, 1, kWaitMs, bytes, line));
    EXPECT_EQ(bytes, chip);
    EXPECT_EQ(line.rfind("chip item=\"ChipBinary /R /D\" delete-when-done=yes ", 0), 0u) << line;
    ASSERT_TRUE(WaitForChip(receiver, 2, kWaitMs, bytes, line));
    EXPECT_EQ(bytes, chip);
    EXPECT_EQ(line.rfind("chip item=\"ChipBinary /R\" delete-when-done=no ", 0), 0u) << line;
}

TEST_F(SendChipRecordTest, FailsSilentlyWithoutAReceiver)
{
    const std::string chip = Chip("", "");
    EXPECT_FALSE(SendChipRecord(chip.data(), static_cast<std::uint32_t>(chip.size()), true));
}

TEST_F(SendChipRecordTest, FailsWhenThePokeIsRefused)
{
    ReceiverProcess receiver;
    ASSERT_TRUE(StartReceiver(folder.path, "--refuse", receiver)) << DriverFailure();
    const std::string chip = Chip("abc", "");
    const bool sent = SendChipRecord(chip.data(), static_cast<std::uint32_t>(chip.size()), true);
    std::string bytes;
    std::string line;
    ASSERT_TRUE(WaitForChip(receiver, 1, kWaitMs, bytes, line));
    if (sent) {
        GTEST_SKIP() << "this DDE layer reports a refused poke as accepted";
    }
    EXPECT_FALSE(sent);
}

// The time-out is one second: an answer well inside it counts, one a fifth
// of a second past it does not (the receiver holds each poke that long).
TEST_F(SendChipRecordTest, AcknowledgementCountsWithinOneSecond)
{
    for (const auto& [delay, accepted] : {std::pair{"600", true}, std::pair{"1200", false}}) {
        SCOPED_TRACE(delay);
        ReceiverProcess receiver;
        ASSERT_TRUE(StartReceiver(folder.path, std::string("--ack-delay ") + delay, receiver))
            << DriverFailure();
        const std::string chip = Chip("abc", "");
        EXPECT_EQ(SendChipRecord(chip.data(), static_cast<std::uint32_t>(chip.size()), true),
                  accepted);
    }
}

TEST_F(SendChipRecordTest, BeepsWhenTheDataObjectCannotBeHad)
{
    ReceiverProcess receiver;
    ASSERT_TRUE(StartReceiver(folder.path, "", receiver)) << DriverFailure();
    const std::string chip = Chip("abc", "");
    MessageBoxRecorder boxes;
    ImportPatch noData("user32.dll", "DdeCreateDataHandle", reinterpret_cast<void*>(&NoDataObject));
    ASSERT_TRUE(boxes.active() && noData.active());

    EXPECT_FALSE(SendChipRecord(chip.data(), static_cast<std::uint32_t>(chip.size()), true));

    EXPECT_EQ(boxes.beeps(), (std::vector<UINT>{MB_OK}));
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_TRUE(HasNoChip(receiver, 1));
}
