#include "registration/registration_reporting.h"

#include "win32/message_box.h"

void ReportRegistrationMessage(RegistrationReporting reporting, const char* text, UINT style)
{
    if (reporting == RegistrationReporting::MessageBoxes) {
        ShowMessageBox(nullptr, text, style);
    }
}
