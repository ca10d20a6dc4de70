#include "app/document_file.h"

namespace {

constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenPauseMs = 50;

UniqueHandle OpenExclusively(const char* path, bool& unreadable)
{
    unreadable = false;
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        Sleep(kOpenPauseMs);
        UniqueHandle file(CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (file) {
            return file;
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION) {
            break;
        }
    }
    unreadable = true;
    return UniqueHandle();
}

} // namespace

DocumentFile LoadDocumentFile(const char* path)
{
    bool unreadable = false;
    UniqueHandle file = OpenExclusively(path, unreadable);
    if (unreadable) {
        return {DocumentFileStatus::Unreadable, HeapBlock()};
    }

    // A failed size query, or a file of 4 GiB or more, is an unreadable
    // document: nothing is allocated from a size that cannot be trusted.
    DWORD sizeHigh = 0;
    const DWORD size = GetFileSize(file.get(), &sizeHigh);
    // (0xFFFFFFFF is refused either way: size + 1 would wrap on 32 bits.)
    if (size == INVALID_FILE_SIZE || sizeHigh != 0) {
        return {DocumentFileStatus::Unreadable, HeapBlock()};
    }
    if (size == 0) {
        return {DocumentFileStatus::Empty, HeapBlock()};
    }

    HeapBlock text = AllocateHeapBlock(SIZE_T{size} + 1);
    if (text) {
        DWORD bytesRead = 0;
        if (ReadFile(file.get(), text.get(), size, &bytesRead, nullptr) && bytesRead <= size) {
            static_cast<char*>(text.get())[bytesRead] = '\0';
        } else {
            // A failed read hands on no text rather than a buffer of unknown content.
            text.reset();
        }
    }
    return {DocumentFileStatus::Read, std::move(text)};
}
