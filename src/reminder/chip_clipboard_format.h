// The clipboard format that names chip data in every poke, registered once at
// start-up and never released.
#pragma once

#include <windows.h>

extern UINT ChipClipboardFormat;

// Start-up initialiser: registers "ZuriNoteChipData100".
void RegisterChipClipboardFormat();
