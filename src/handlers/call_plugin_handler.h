// Hands the program to a plug-in DLL's SetTVProgram export.
#pragma once

#include "document/program_info.h"

void CallPluginHandler(const char* path, const ProgramInfo& info);
