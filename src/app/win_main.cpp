// The entry point: decides from the command-line tail alone whether this run
// registers the file type (/R), removes it (/U) or opens one document.
#include <windows.h>

#include "app/command_line.h"
#include "app/dispatch_document.h"
#include "app/document_file.h"
#include "registration/register_file_type.h"
#include "registration/unregister_file_type.h"
#include "win32/message_box.h"

namespace {

constexpr char kUsageMessage[] = "/U レジストリからの削除\n/R レジストリへの登録";

int ShowUsage()
{
    ShowMessageBox(nullptr, kUsageMessage, MB_OK | MB_ICONINFORMATION);
    return -1;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // The tail is cut from the full command line by the Windows start-up rule
    // itself rather than taken from the C runtime's lpCmdLine, so that which
    // bytes reach the switch scan is this program's own, tested rule and not
    // a detail of the runtime library it happens to be linked with.
    const char* tail = SkipProgramName(GetCommandLineA());
    if (*tail == '\0') {
        return ShowUsage();
    }

    // Only the quiet form tells the outcome: callers of the plain switches
    // have always seen 0.
    const bool quiet = HasQuietSwitch(tail);
    const RegistrationReporting reporting =
        quiet ? RegistrationReporting::Quiet : RegistrationReporting::MessageBoxes;
    switch (ScanCommandSwitch(tail)) {
    case CommandSwitch::Register: {
        const RegistrationOutcome outcome = RegisterFileType(reporting);
        return quiet ? static_cast<int>(outcome) : 0;
    }
    case CommandSwitch::Unregister: {
        const RegistrationOutcome outcome = UnregisterFileType(reporting);
        return quiet ? static_cast<int>(outcome) : 0;
    }
    case CommandSwitch::None:
        break;
    }

    // The wide tail is looked at only when the ANSI one names no file.
    DocumentFile document = LoadDocumentFile(tail, SkipWideProgramName(GetCommandLineW()));
    switch (document.status) {
    case DocumentFileStatus::Unreadable:
        return ShowUsage();
    case DocumentFileStatus::Empty:
        return 0;
    case DocumentFileStatus::Read:
        break;
    }
    DispatchDocument(instance, static_cast<const char*>(document.text.get()));
    return 0;
}
