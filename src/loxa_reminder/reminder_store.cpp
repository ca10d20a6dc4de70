#include "loxa_reminder/reminder_store.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>

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

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    LARGE_INTEGER size{};
    // A reminder is a chip and 44 bytes; anything past 64 MiB is no reminder.
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > (64 << 20)) {
        bytes.clear();
        return true;
    }
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    return bytes.empty()
           || (ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)
               && read == bytes.size());
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

std::vector<StoredReminder> LoadReminders(const std::string& folder)
{
    std::vector<StoredReminder> reminders;
    WIN32_FIND_DATAA found{};
    UniqueFind find(FindFirstFileA((folder + "*").c_str(), &found));
    if (!find) {
        return reminders;
    }
    std::vector<unsigned char> bytes;
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
        StoredReminder reminder;
        reminder.name = file.substr(0, file.size() - (sizeof kExtension - 1));
        if (!ReadWholeFile(folder + file, bytes)) {
            continue; // held by someone else: tried again at the next start
        }
        if (!DecodeReminderFile(bytes.data(), bytes.size(), reminder.kept)) {
            SetAsideDamaged(folder, reminder.name);
            continue;
        }
        const ULONGLONG number = std::strtoull(reminder.name.c_str(), nullptr, 16);
        if (number > lastName) {
            lastName = number;
        }
        reminders.push_back(std::move(reminder));
    } while (FindNextFileA(find.get(), &found));
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
