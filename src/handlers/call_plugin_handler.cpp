#include "handlers/call_plugin_handler.h"

void CallPluginHandler(const char*, const ProgramInfo&) {}
