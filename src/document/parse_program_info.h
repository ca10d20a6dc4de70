// Parses a program-information document in place into a ProgramInfo.
#pragma once

#include "document/program_info.h"

// `info` must be zero-filled; `text` is a writable NUL-terminated buffer that
// outlives `info`. Line breaks are overwritten with NULs and the text fields
// point into `text`. Every text parses: the result is always true.
bool ParseProgramInfo(ProgramInfo& info, char* text);
