#include "reminder_folder.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr char kExtension[] = ".reminder";

bool EndsWith(const std::string& text, const char* tail)
{
    const std::string end(tail);
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The whole listing first, so that a visit may delete what it sees.
template <typename Visit>
void ForEachFile(const std::string& folder, Visit visit)
{
    std::vector<std::string> files;
    WIN32_FIND_DATAA found{};
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            files.emplace_back(found.cFileName);
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
    for (const std::string& file : files) {
        visit(file);
    }
}

} // namespace

std::vector<std::string> ReminderNames(const std::string& folder)
{
    std::vector<std::string> names;
    ForEachFile(folder, [&names](const std::string& file) {
        if (EndsWith(file, kExtension)) {
            names.push_back(file.substr(0, file.size() - (sizeof kExtension - 1)));
        }
    });
    std::sort(names.begin(), names.end());
    return names;
}

unsigned DeleteRemindersAfter(const std::string& folder, const std::string& last)
{
    unsigned deleted = 0;
    ForEachFile(folder, [&](const std::string& file) {
        const bool extra = EndsWith(file, ".tmp")
                           || (EndsWith(file, kExtension)
                               && file.substr(0, file.size() - (sizeof kExtension - 1)) > last);
        if (extra && DeleteFileA((folder + file).c_str())) {
            ++deleted;
        }
    });
    return deleted;
}
