#include "handlers/choose_handler.h"

// Until plug-in handlers are supported every document goes to the built-in
// handler.
std::int32_t ChooseHandler(HINSTANCE, char*)
{
    return 0;
}
