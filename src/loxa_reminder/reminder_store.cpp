#include "loxa_reminder/reminder_store.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "chip/chip_size_limit.h"
#include "win32/unique_resource.h"

namespace {

constexpr char kExtension[] = ".reminder";
constexpr char kTemporaryExtension[] = ".tmp";
constexpr char kDamagedExtension[] = ".damaged";

// Written beside a damaged file, in the user's language.
constexpr char kDamagedNote[] =
    "このファイルは壊れていたため、番組リマインダーは読み込みませんでした。\r\n"
    "元のファイルは同じ名前で拡張子 .damaged として残してあります。\r\n"
    "不要であれば削除してください。\r\n";

struct FindDeleter {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    // cppcheck-suppress constParameter ; a find handle is passed as it is
    static bool IsValid(HANDLE find) { return find != INVALID_HANDLE_VALUE; }
    void operator()(HANDLE find) const { FindClose(find); }
};
using UniqueFind = UniqueResource<HANDLE, FindDeleter>;

bool WriteWholeFile(const std::string& path, const void* bytes, DWORD size)
{
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes, size, &written, nullptr) && written == size
           && FlushFileBuffers(file.get());
}

enum class FileRead { Whole, Held, Failed };

// Held: another program (an antivirus, a backup at sign-in) has it open or
// locked for now.
FileRead ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    const auto failure = [] {
        const DWORD error = GetLastError();
        return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION
                       || error == ERROR_ACCESS_DENIED
                   ? FileRead::Held
                   : FileRead::Failed;
    };
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return failure();
    }
    LARGE_INTEGER size{};
    // A reminder is a chip and 44 bytes; a larger one was never received.
    if (!GetFileSizeEx(file.get(), &size)
        || size.QuadPart > static_cast<LONGLONG>(kChipSizeLimit + kReminderFileOverhead)) {
        bytes.clear();
        return FileRead::Whole;
    }
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (bytes.empty()) {
        return FileRead::Whole;
    }
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        return failure();
    }
    return read == bytes.size() ? FileRead::Whole : FileRead::Failed;
}

void SetAsideDamaged(const std::string& folder, const std::string& name)
{
    const std::string damaged = folder + name + kDamagedExtension;
    if (MoveFileExA((folder + name + kExtension).c_str(), damaged.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        WriteWholeFile(damaged + ".txt", kDamagedNote, sizeof kDamagedNote - 1);
    }
}

std::string ComposeNamePart(ULONGLONG value)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", value);
    return text;
}

ULONGLONG lastName = 0;

// Reads one reminder file into `reminders`; a damaged one is set aside.
FileRead ReadKeptFile(const std::string& folder, const std::string& name,
                      std::vector<StoredReminder>& reminders)
{
    // Names stay unique also beside a file that could not be read yet.
    const ULONGLONG number = std::strtoull(name.c_str(), nullptr, 16);
    if (number > lastName) {
        lastName = number;
    }
    std::vector<unsigned char> bytes;
    const FileRead read = ReadWholeFile(folder + name + kExtension, bytes);
    if (read != FileRead::Whole) {
        return read;
    }
    StoredReminder reminder;
    reminder.name = name;
    if (!DecodeReminderFile(bytes.data(), bytes.size(), reminder.kept)) {
        SetAsideDamaged(folder, reminder.name);
        return FileRead::Failed;
    }
    reminders.push_back(std::move(reminder));
    return FileRead::Whole;
}

bool EndsWith(const std::string& text, const char* tail)
{
    const std::string end(tail);
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

std::string OpenReminderFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("LOXA_REMINDER_FOLDER", path, sizeof path);
    std::string folder;
    if (length > 0 && length < sizeof path) {
        folder = path;
    } else {
        if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                    SHGFP_TYPE_CURRENT, path))) {
            return std::string();
        }
        folder = std::string(path) + "\\Loxa";
        CreateDirectoryA(folder.c_str(), nullptr);
        folder += "\\Reminders";
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return std::string();
    }
    return folder + "\\";
}

std::vector<StoredReminder> LoadReminders(const std::string& folder, std::vector<std::string>& held)
{
    std::vector<StoredReminder> reminders;
    WIN32_FIND_DATAA found{};
    UniqueFind find(FindFirstFileA((folder + "*").c_str(), &found));
    if (!find) {
        return reminders;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            continue;
        }
        const std::string file = found.cFileName;
        if (EndsWith(file, kTemporaryExtension)) {
            // Never acknowledged, or an update whose old file still stands.
            DeleteFileA((folder + file).c_str());
            continue;
        }
        if (!EndsWith(file, kExtension)) {
            continue;
        }
        const std::string name = file.substr(0, file.size() - (sizeof kExtension - 1));
        if (ReadKeptFile(folder, name, reminders) == FileRead::Held) {
            held.push_back(name);
        }
    } while (FindNextFileA(find.get(), &found));
    return reminders;
}

std::vector<StoredReminder> LoadHeldReminders(const std::string& folder,
                                              std::vector<std::string>& held)
{
    std::vector<StoredReminder> reminders;
    std::vector<std::string> stillHeld;
    for (const std::string& name : held) {
        if (ReadKeptFile(folder, name, reminders) == FileRead::Held) {
            stillHeld.push_back(name);
        }
    }
    held = std::move(stillHeld);
    return reminders;
}

std::string NewReminderName()
{
    // The time in 100 ns steps keeps names growing across runs too.
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG stamp = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    lastName = stamp > lastName ? stamp : lastName + 1;
    return ComposeNamePart(lastName);
}

bool WriteReminder(const std::string& folder, const StoredReminder& reminder)
{
    const std::vector<unsigned char> bytes = EncodeReminderFile(reminder.kept);
    const std::string temporary = folder + reminder.name + kTemporaryExtension;
    if (!WriteWholeFile(temporary, bytes.data(), static_cast<DWORD>(bytes.size()))) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    if (!MoveFileExA(temporary.c_str(), (folder + reminder.name + kExtension).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

bool DeleteReminder(const std::string& folder, const std::string& name)
{
    return DeleteFileA((folder + name + kExtension).c_str()) != 0;
}
