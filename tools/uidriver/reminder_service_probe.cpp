#include "reminder_service_probe.h"

#include "chip/chip_dde_names.h"
#include "reminder/send_chip_record.h"
#include "win32/dde_handles.h"

bool ReminderServiceAnswers()
{
    DWORD id = 0;
    if (DdeInitializeA(&id, &ChipDdeCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
        return false;
    }
    const UniqueDdeInstance instance(id);
    const UniqueDdeString service = MakeDdeString(id, kChipDdeService);
    const UniqueDdeString topic = MakeDdeString(id, kChipDdeTopic);
    const UniqueDdeConversation conversation(DdeConnect(id, service.get(), topic.get(), nullptr));
    return static_cast<bool>(conversation);
}
