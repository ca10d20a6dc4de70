#include "reminder/send_chip_record.h"

#include <cstring>

#include "chip/chip_dde_names.h"
#include "reminder/chip_clipboard_format.h"
#include "win32/dde_handles.h"
#include "win32/message_box.h"

namespace {

constexpr DWORD kPokeTimeoutMs = 1000;

constexpr char kInitialiseRejected[] = "DDEの初期化はRejectされました";

} // namespace

HDDEDATA CALLBACK ChipDdeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

bool SendChipRecord(const void* record, std::uint32_t size, bool deleteWhenDone)
{
    DWORD instanceId = 0;
    if (DdeInitializeA(&instanceId, &ChipDdeCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
        ShowMessageBox(nullptr, kInitialiseRejected, MB_OK);
        return false;
    }
    // Declared in reverse order of release: data, conversation, item, topic,
    // service, instance.
    UniqueDdeInstance instance(instanceId);
    UniqueDdeString service;
    UniqueDdeString topic;
    UniqueDdeString item;
    UniqueDdeConversation conversation;
    UniqueDdeData data;

    topic = MakeDdeString(instanceId, kChipDdeTopic);
    service = MakeDdeString(instanceId, kChipDdeService);
    if (!topic || !service) {
        // A null name would connect to whichever server answers first.
        return false;
    }

    conversation.reset(DdeConnect(instanceId, service.get(), topic.get(), nullptr));
    if (!conversation) {
        return false;
    }

    item = MakeDdeString(instanceId, deleteWhenDone ? kChipDdeItemDeleteWhenDone : kChipDdeItem);

    // An empty object of exactly the record's size, filled in place below.
    data.reset(
        DdeCreateDataHandle(instanceId, nullptr, 0, size, item.get(), ChipClipboardFormat, 0));
    BYTE* bytes = data ? DdeAccessData(data.get(), nullptr) : nullptr;
    if (bytes == nullptr) {
        MessageBeep(MB_OK);
        return false;
    }
    std::memcpy(bytes, record, size);
    DdeUnaccessData(data.get());

    // The transaction's own result is not looked at: the instance's last error
    // tells whether the server acknowledged in time.
    // The data handle belongs to the DDE library from here on, whatever the
    // outcome: freeing it again would free a handle no longer ours.
    DdeClientTransaction(reinterpret_cast<LPBYTE>(data.release()), static_cast<DWORD>(-1),
                         conversation.get(), item.get(), ChipClipboardFormat, XTYP_POKE,
                         kPokeTimeoutMs, nullptr);
    return DdeGetLastError(instanceId) == DMLERR_NO_ERROR;
}
