#include "win32/message_box.h"

#include "win32/application_title.h"

int ShowMessageBox(HWND owner, const char* text, UINT style)
{
    return MessageBoxA(owner, text, kApplicationTitle, style);
}
