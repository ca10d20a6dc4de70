// LoadDocumentFile in the test's own process on a file the test holds open.
// Every open attempt is seen through an import patch, and the hold ends at
// the attempt the test chooses, never after a guessed time, so the machine's
// scheduling cannot decide the outcome.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/document_file.h"
#include "import_patch.h"
#include "test_files.h"

namespace {

struct OpenAttempts {
    decltype(&CreateFileA) real = nullptr;
    std::string path;
    std::size_t releaseAfter = 0; // failed attempts before the hold ends; 0: never
    UniqueHandle* held = nullptr;
    std::vector<ULONGLONG> times; // when each attempt on `path` was made
};

OpenAttempts* attempts = nullptr;

HANDLE WINAPI WatchedCreateFile(const char* name, DWORD access, DWORD share,
                                SECURITY_ATTRIBUTES* security, DWORD disposition, DWORD flags,
                                HANDLE templateFile)
{
    HANDLE file = attempts->real(name, access, share, security, disposition, flags, templateFile);
    if (attempts->path == name) {
        attempts->times.push_back(GetTickCount64());
        if (file == INVALID_HANDLE_VALUE && attempts->times.size() == attempts->releaseAfter) {
            const DWORD error = GetLastError();
            attempts->held->reset();
            SetLastError(error);
        }
    }
    return file;
}

struct HeldRun {
    DocumentFile result{DocumentFileStatus::Unreadable, HeapBlock()};
    ULONGLONG start = 0;
    ULONGLONG end = 0;
    std::vector<ULONGLONG> times;
};

// How the test holds the file: exclusively, or for writing and sharing it, as
// a browser that is still downloading does.
struct Hold {
    DWORD access;
    DWORD share;
};
constexpr Hold kExclusive{GENERIC_READ, 0};
constexpr Hold kWritingShared{GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};

// Loads `bytes` from a scratch file that the test holds as `hold` says until
// `releaseAfter` attempts have failed (0: throughout).
HeldRun LoadHeldDocument(const std::string& bytes, std::size_t releaseAfter, Hold hold = kExclusive)
{
    HeldRun run;
    const std::string path = ScratchPath("hld");
    EXPECT_TRUE(WriteBytes(path, bytes));
    UniqueHandle held(CreateFileA(path.c_str(), hold.access, hold.share, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(held);
    OpenAttempts watch;
    watch.path = path;
    watch.releaseAfter = releaseAfter;
    watch.held = &held;
    attempts = &watch;
    {
        ImportPatch patch("kernel32.dll", "CreateFileA",
                          reinterpret_cast<void*>(&WatchedCreateFile));
        EXPECT_TRUE(patch.active());
        watch.real = reinterpret_cast<decltype(&CreateFileA)>(patch.original());
        run.start = GetTickCount64();
        run.result = LoadDocumentFile(path.c_str());
        run.end = GetTickCount64();
    }
    attempts = nullptr;
    run.times = watch.times;
    held.reset();
    DeleteFileA(path.c_str());
    return run;
}

} // namespace

// Also while the writer shares the file: its bytes may still be coming.
TEST(DocumentFile, FileHeldForThreeAttemptsIsReadOnTheFourth)
{
    for (const Hold hold : {kExclusive, kWritingShared}) {
        SCOPED_TRACE(hold.share);
        HeldRun run = LoadHeldDocument("abc\r\n", 3, hold);
        EXPECT_EQ(run.result.status, DocumentFileStatus::Read);
        ASSERT_TRUE(run.result.text);
        EXPECT_STREQ(static_cast<const char*>(run.result.text.get()), "abc\r\n");
        EXPECT_EQ(run.times.size(), 4u);
    }
}

// Ten attempts, each after a pause of 50 ms, then the give-up: half a second
// at least, and not much more on a machine that is not overloaded.
TEST(DocumentFile, FileHeldThroughoutIsGivenUpAfterTenPausedAttempts)
{
    HeldRun run = LoadHeldDocument("abc\r\n", 0);
    EXPECT_EQ(run.result.status, DocumentFileStatus::Unreadable);
    ASSERT_EQ(run.times.size(), 10u);
    // The tick count moves in whole milliseconds: 49 allows for its rounding.
    EXPECT_GE(run.times[0] - run.start, 49u);
    for (std::size_t i = 1; i < run.times.size(); ++i) {
        EXPECT_GE(run.times[i] - run.times[i - 1], 49u) << i;
    }
    EXPECT_GE(run.end - run.start, 495u);
    EXPECT_LT(run.end - run.start, 5000u);
}

DWORD WINAPI SizeOfFourGibibytesAndFive(HANDLE, DWORD* high)
{
    *high = 1;
    return 5;
}

// Only the low part would look like a small file.
TEST(DocumentFile, FileOfFourGibibytesOrMoreIsUnreadable)
{
    const std::string path = ScratchPath("big");
    ASSERT_TRUE(WriteBytes(path, "abc\r\n"));
    DocumentFile result{DocumentFileStatus::Read, HeapBlock()};
    {
        ImportPatch size("kernel32.dll", "GetFileSize",
                         reinterpret_cast<void*>(&SizeOfFourGibibytesAndFive));
        ASSERT_TRUE(size.active());
        result = LoadDocumentFile(path.c_str());
    }
    DeleteFileA(path.c_str());
    EXPECT_EQ(result.status, DocumentFileStatus::Unreadable);
    EXPECT_FALSE(result.text);
}
