#include "loxa_reminder/reminder_store.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "chip/chip_size_limit.h"
#include "loxa_reminder/reminder_subfolder.h"
#include "win32/unique_resource.h"

namespace {

constexpr char kExtension[] = ".reminder";
constexpr char kTemporaryExtension[] = ".tmp";
constexpr char kDamagedExtension[] = ".damaged";
constexpr char kDeletedExtension[] = ".deleted";

std::vector<std::string> deletedFiles;

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
FileRead FailedRead()
{
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION
                   || error == ERROR_ACCESS_DENIED
               ? FileRead::Held
               : FileRead::Failed;
}

std::string PathOf(const std::string& folder, const std::string& name, const char* extension)
{
    return folder + ReminderSubfolder(name) + "\\" + name + extension;
}

FileRead ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return FailedRead();
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
        return FailedRead();
    }
    return read == bytes.size() ? FileRead::Whole : FileRead::Failed;
}

void SetAsideDamaged(const std::string& folder, const std::string& name)
{
    const std::string damaged = PathOf(folder, name, kDamagedExtension);
    if (MoveFileExA(PathOf(folder, name, kExtension).c_str(), damaged.c_str(),
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

// Names stay unique also beside a file that could not be read yet.
void NoteName(const std::string& name)
{
    const ULONGLONG number = std::strtoull(name.c_str(), nullptr, 16);
    if (number > lastName) {
        lastName = number;
    }
}

// Moves a file that an earlier version kept straight in the data folder into
// its subfolder; Held while another program holds it there.
FileRead AdoptFlatFile(const std::string& folder, const std::string& name)
{
    CreateDirectoryA((folder + ReminderSubfolder(name)).c_str(), nullptr);
    if (MoveFileExA((folder + name + kExtension).c_str(), PathOf(folder, name, kExtension).c_str(),
                    MOVEFILE_WRITE_THROUGH)) {
        return FileRead::Whole;
    }
    return FailedRead();
}

// Reads one reminder file into `reminders`; a damaged one is set aside.
FileRead ReadKeptFile(const std::string& folder, const std::string& name,
                      std::vector<StoredReminder>& reminders)
{
    NoteName(name);
    std::vector<unsigned char> bytes;
    const FileRead read = ReadWholeFile(PathOf(folder, name, kExtension), bytes);
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

// The name of a "<name>.reminder" file the program may have written, or "".
std::string ReminderNameOf(const std::string& file)
{
    if (!EndsWith(file, kExtension)) {
        return std::string();
    }
    std::string name = file.substr(0, file.size() - (sizeof kExtension - 1));
    return IsReminderName(name) ? name : std::string();
}

// Calls `visit` with each entry of `folder` (a path ending in a backslash).
template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit)
{
    WIN32_FIND_DATAA found{};
    UniqueFind find(FindFirstFileA((folder + "*").c_str(), &found));
    if (!find) {
        return;
    }
    do {
        visit(found);
    } while (FindNextFileA(find.get(), &found));
}

bool IsFile(const WIN32_FIND_DATAA& found)
{
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
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
    // Temporary files were never acknowledged, or are updates whose old file
    // still stands.
    ForEachEntry(folder, [&](const WIN32_FIND_DATAA& found) {
        const std::string file = found.cFileName;
        const std::string name = ReminderNameOf(file);
        if (!IsFile(found)) {
            return;
        }
        if (EndsWith(file, kTemporaryExtension)) {
            DeleteFileA((folder + file).c_str());
        } else if (!name.empty() && AdoptFlatFile(folder, name) == FileRead::Held) {
            NoteName(name);
            held.push_back(name);
        }
    });
    std::vector<StoredReminder> reminders;
    ForEachEntry(folder, [&](const WIN32_FIND_DATAA& top) {
        const std::string subfolder = top.cFileName;
        if (IsFile(top) || subfolder.size() != 2 || subfolder[0] == '.') {
            return;
        }
        const std::string path = folder + subfolder + "\\";
        ForEachEntry(path, [&](const WIN32_FIND_DATAA& found) {
            const std::string file = found.cFileName;
            const std::string name = ReminderNameOf(file);
            if (!IsFile(found)) {
                return;
            }
            if (EndsWith(file, kTemporaryExtension) || EndsWith(file, kDeletedExtension)) {
                DeleteFileA((path + file).c_str());
            } else if (!name.empty()
                       && lstrcmpiA(ReminderSubfolder(name).c_str(), subfolder.c_str()) == 0
                       && ReadKeptFile(folder, name, reminders) == FileRead::Held) {
                held.push_back(name);
            }
        });
    });
    return reminders;
}

std::vector<StoredReminder> LoadHeldReminders(const std::string& folder,
                                              std::vector<std::string>& held)
{
    std::vector<StoredReminder> reminders;
    std::vector<std::string> stillHeld;
    for (const std::string& name : held) {
        // One still straight in the data folder moves first; once it has,
        // the move finds nothing there.
        if (AdoptFlatFile(folder, name) == FileRead::Held
            || ReadKeptFile(folder, name, reminders) == FileRead::Held) {
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
    CreateDirectoryA((folder + ReminderSubfolder(reminder.name)).c_str(), nullptr);
    const std::string temporary = PathOf(folder, reminder.name, kTemporaryExtension);
    if (!WriteWholeFile(temporary, bytes.data(), static_cast<DWORD>(bytes.size()))) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    if (!MoveFileExA(temporary.c_str(), PathOf(folder, reminder.name, kExtension).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

bool DeleteReminder(const std::string& folder, const std::string& name)
{
    const std::string deleted = PathOf(folder, name, kDeletedExtension);
    if (!MoveFileExA(PathOf(folder, name, kExtension).c_str(), deleted.c_str(),
                     MOVEFILE_REPLACE_EXISTING)) {
        return false;
    }
    deletedFiles.push_back(deleted);
    return true;
}

bool HasDeletedFiles()
{
    return !deletedFiles.empty();
}

bool PurgeDeletedFiles(std::size_t most)
{
    for (std::size_t i = 0; i < most && !deletedFiles.empty(); ++i) {
        DeleteFileA(deletedFiles.back().c_str());
        deletedFiles.pop_back();
    }
    return !deletedFiles.empty();
}
