// The name of the clipboard format of chip data; it also heads every chip.
#pragma once

inline constexpr char kChipClipboardFormatName[] = "ZuriNoteChipData100";
static_assert(sizeof kChipClipboardFormatName == 20);
