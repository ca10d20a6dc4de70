// ical.dll: a sample Loxa plug-in. It writes the program as an iCalendar
// event with an alarm into the user's documents folder and opens the file
// with the program registered for ".ics". Nothing is shown when something
// fails or no program is registered.
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdio>
#include <string>

#include "calendar_event.h"
#include "loxa_plugin.h"

namespace {

constexpr int kAlarmMinutes = 5;
constexpr UINT kDocumentCodePage = 932;

std::wstring WideFromCp932(const char* text)
{
    if (text == nullptr || *text == '\0') {
        return {};
    }
    const int length = MultiByteToWideChar(kDocumentCodePage, 0, text, -1, nullptr, 0);
    if (length <= 1) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(kDocumentCodePage, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

std::string Utf8FromWide(const std::wstring& wide)
{
    if (wide.empty()) {
        return {};
    }
    const int wideLength = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::string Utf8FromCp932(const char* text)
{
    return Utf8FromWide(WideFromCp932(text));
}

BroadcastEvent EventFromRecord(const LoxaPluginProgramRecord* record)
{
    BroadcastEvent event;
    event.year = record->year;
    event.month = record->month;
    event.day = record->day;
    event.startHour = record->startHour;
    event.startMinute = record->startMinute;
    event.endHour = record->endHour;
    event.endMinute = record->endMinute;
    event.station = Utf8FromCp932(LoxaPluginRecordString(record, record->stationOffset));
    event.title = Utf8FromCp932(LoxaPluginRecordString(record, record->titleOffset));
    event.subtitle = Utf8FromCp932(LoxaPluginRecordString(record, record->subtitleOffset));
    event.body = Utf8FromCp932(LoxaPluginRecordString(record, record->bodyOffset));
    event.alarmMinutes = kAlarmMinutes;
    return event;
}

// "20261207-2130 Title.ics": sorts by broadcast, and the title is what the
// user looks for. Characters a file name cannot hold become '_'.
std::wstring FileName(const CalendarDateTime& start, std::wstring title, std::size_t room)
{
    wchar_t prefix[32];
    std::swprintf(prefix, 32, L"%04d%02d%02d-%02d%02d", start.year, start.month, start.day,
                  start.hour, start.minute);
    for (wchar_t& c : title) {
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) {
            c = L'_';
        }
    }
    const std::size_t fixed = std::wstring_view(prefix).size() + 1 + 4;
    const std::size_t titleRoom = room > fixed ? room - fixed : 0;
    if (title.size() > titleRoom) {
        title.resize(titleRoom);
        if (!title.empty() && title.back() >= 0xD800 && title.back() <= 0xDBFF) {
            title.pop_back(); // never half a surrogate pair
        }
    }
    while (!title.empty() && (title.back() == L' ' || title.back() == L'.')) {
        title.pop_back();
    }
    return title.empty() ? std::wstring(prefix) + L".ics"
                         : std::wstring(prefix) + L' ' + title + L".ics";
}

bool DocumentsFolder(std::wstring& folder)
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr,
                                SHGFP_TYPE_CURRENT, path))) {
        return false;
    }
    folder = path;
    return !folder.empty();
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size()) {
        DeleteFileW(path.c_str());
        return false;
    }
    return true;
}

bool HasRegisteredOpener()
{
    wchar_t command[1024] = {};
    DWORD length = 1024;
    return SUCCEEDED(AssocQueryStringW(ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_NOTRUNCATE,
                                       ASSOCSTR_COMMAND, L".ics", nullptr, command, &length))
           && command[0] != L'\0';
}

void OpenWithRegisteredProgram(const std::wstring& path)
{
    if (!HasRegisteredOpener()) {
        return;
    }
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    // Loxa unloads this DLL and ends right after the call: finish the
    // hand-over here, and show no box of the shell's own.
    execute.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    execute.lpFile = path.c_str();
    execute.nShow = SW_SHOWNORMAL;
    ShellExecuteExW(&execute);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
}

} // namespace

LOXA_PLUGIN_EXPORT void LOXA_PLUGIN_CALL SetTVProgram(const LoxaPluginProgramRecord* record)
{
    if (!LoxaPluginRecordIsValid(record)) {
        return;
    }
    const BroadcastEvent event = EventFromRecord(record);
    CalendarDateTime start;
    CalendarDateTime end;
    if (!BroadcastTimes(event, start, end)) {
        return;
    }
    SYSTEMTIME now{};
    GetSystemTime(&now);
    const CalendarDateTime stamp{now.wYear, now.wMonth,  now.wDay,
                                 now.wHour, now.wMinute, now.wSecond};
    std::string calendar;
    if (!WriteCalendar(event, stamp, calendar)) {
        return;
    }

    std::wstring folder;
    if (!DocumentsFolder(folder)) {
        return;
    }
    const std::size_t room =
        MAX_PATH - 1 > folder.size() + 1 ? MAX_PATH - 1 - folder.size() - 1 : 0;
    if (room < 20) {
        return;
    }
    const std::wstring path =
        folder + L'\\'
        + FileName(start, WideFromCp932(LoxaPluginRecordString(record, record->titleOffset)), room);
    if (WriteWholeFile(path, calendar)) {
        OpenWithRegisteredProgram(path);
    }
}
