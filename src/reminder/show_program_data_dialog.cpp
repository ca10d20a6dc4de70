#include "reminder/show_program_data_dialog.h"

// The dialog arrives with the reminder road; until then the road ends here.
std::int32_t ShowProgramDataDialog(HINSTANCE, HWND, const ProgramInfo*)
{
    return IDCANCEL;
}
