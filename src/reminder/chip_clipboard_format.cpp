#include "reminder/chip_clipboard_format.h"

#include "reminder/chip_clipboard_format_name.h"

UINT ChipClipboardFormat = 0;

void RegisterChipClipboardFormat()
{
    ChipClipboardFormat = RegisterClipboardFormatA(kChipClipboardFormatName);
}
