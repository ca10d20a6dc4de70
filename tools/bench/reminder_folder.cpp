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

// The files of a folder and of its subfolders ("sub\\name"), listed whole
// first, so that a visit may delete what it sees.
std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> files;
    WIN32_FIND_DATAA found{};
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return files;
    }
    do {
        const std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            files.push_back(name);
        } else if (name != "." && name != "..") {
            for (const std::string& inner : FilesIn(folder + name + "\\")) {
                std::string path = name + "\\";
                path += inner;
                files.push_back(path);
            }
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return files;
}

template <typename Visit>
void ForEachFile(const std::string& folder, Visit visit)
{
    for (const std::string& file : FilesIn(folder)) {
        visit(file);
    }
}

std::string NameOf(const std::string& file)
{
    const std::size_t slash = file.rfind('\\');
    const std::string base = slash == std::string::npos ? file : file.substr(slash + 1);
    return base.substr(0, base.size() - (sizeof kExtension - 1));
}

} // namespace

std::vector<std::string> ReminderNames(const std::string& folder)
{
    std::vector<std::string> names;
    ForEachFile(folder, [&names](const std::string& file) {
        if (EndsWith(file, kExtension)) {
            names.push_back(NameOf(file));
        }
    });
    std::sort(names.begin(), names.end());
    return names;
}

unsigned DeleteRemindersAfter(const std::string& folder, const std::string& last)
{
    unsigned deleted = 0;
    ForEachFile(folder, [&](const std::string& file) {
        const bool extra =
            EndsWith(file, ".tmp") || (EndsWith(file, kExtension) && NameOf(file) > last);
        if (extra && DeleteFileA((folder + file).c_str())) {
            ++deleted;
        }
    });
    return deleted;
}
