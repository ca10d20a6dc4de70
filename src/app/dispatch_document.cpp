#include "app/dispatch_document.h"

#include <cstring>

#include "document/parse_program_info.h"
#include "handlers/call_plugin_handler.h"
#include "handlers/choose_handler.h"
#include "reminder/show_program_data_dialog.h"
#include "win32/message_box.h"
#include "win32/unique_resource.h"

namespace {

constexpr char kVersionWarning[] =
    "番組データのバージョンが変わってしまっています。\n"
    "正常に表示できないかもしれマセン。\n"
    "処理を継続しますか";

std::int32_t RunBuiltInHandler(HINSTANCE instance, const ProgramInfo& info)
{
    HWND desktop = GetDesktopWindow();
    if (info.version != 1
        && ShowMessageBox(desktop, kVersionWarning, MB_OKCANCEL | MB_ICONWARNING) != IDOK) {
        return IDCANCEL;
    }
    return ShowProgramDataDialog(instance, desktop, &info);
}

} // namespace

std::int32_t DispatchDocument(HINSTANCE instance, const char* text)
{
    const std::size_t length = text ? std::strlen(text) : 0;
    if (length == 0) {
        return IDCANCEL;
    }

    HeapBlock copy = AllocateHeapBlock(length + 1);
    if (!copy) {
        return IDCANCEL;
    }
    char* workingText = static_cast<char*>(copy.get());
    std::memcpy(workingText, text, length + 1);

    ProgramInfo info{};
    ParseProgramInfo(info, workingText);

    char pluginPath[MAX_PATH] = {};
    if (ChooseHandler(instance, pluginPath) == 0) {
        return RunBuiltInHandler(instance, info);
    }
    if (pluginPath[0] != '\0') {
        CallPluginHandler(pluginPath, info);
    }
    return IDCANCEL;
}
