#include "reminder/chip_clipboard_format.h"

#include "chip/chip_layout.h"

UINT ChipClipboardFormat = 0;

void RegisterChipClipboardFormat()
{
    ChipClipboardFormat = RegisterClipboardFormatA(kChipClipboardFormatName);
}
