#include "app/document_file.h"

namespace {

constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenPauseMs = 50;

constexpr DWORD kOpenFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN;

// `open` makes one attempt; `error` is the last attempt's error.
template <typename Open>
UniqueHandle OpenExclusively(Open open, DWORD& error)
{
    error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        Sleep(kOpenPauseMs);
        UniqueHandle file(open());
        if (file) {
            return file;
        }
        error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION) {
            break;
        }
    }
    return UniqueHandle();
}

bool IsNameError(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
           || error == ERROR_INVALID_NAME;
}

// True when code page 932 spells `widePath` exactly, with neither a default
// character nor a best-fit stand-in: the ANSI tail was then the same name.
bool SpelledInAnsi(const wchar_t* widePath)
{
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, widePath, -1, nullptr, 0,
                                         nullptr, &usedDefault);
    if (size <= 0) {
        return false;
    }
    HeapBlock text = AllocateHeapBlock(static_cast<SIZE_T>(size));
    if (!text) {
        return true; // nothing to gain from the wide name then
    }
    usedDefault = FALSE;
    return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, widePath, -1,
                               static_cast<char*>(text.get()), size, nullptr, &usedDefault)
               == size
           && !usedDefault;
}

} // namespace

DocumentFile LoadDocumentFile(const char* path, const wchar_t* widePath)
{
    DWORD error = ERROR_SUCCESS;
    UniqueHandle file = OpenExclusively(
        [path] {
            return CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, kOpenFlags, nullptr);
        },
        error);
    if (!file && IsNameError(error) && widePath != nullptr && *widePath != L'\0'
        && !SpelledInAnsi(widePath)) {
        file = OpenExclusively(
            [widePath] {
                return CreateFileW(widePath, GENERIC_READ, 0, nullptr, OPEN_EXISTING, kOpenFlags,
                                   nullptr);
            },
            error);
    }
    if (!file) {
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
