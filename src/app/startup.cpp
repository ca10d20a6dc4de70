// What runs before WinMain, on every start whatever the command line, in this
// order:
//   1. the clipboard format that names chip data is registered;
//   2. the header keyword table is in place. It is constant data, so it is
//      there before any code of the program runs.
#include "reminder/chip_clipboard_format.h"

namespace {

struct StartUp {
    StartUp() noexcept { RegisterChipClipboardFormat(); }
};

const StartUp startUp;

} // namespace
