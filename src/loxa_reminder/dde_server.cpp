#include "loxa_reminder/dde_server.h"

#include <vector>

#include "chip/chip_dde_names.h"
#include "chip/chip_layout.h"
#include "chip/chip_size_limit.h"
#include "chip/read_chip.h"
#include "loxa_reminder/reminder_file.h"
#include "win32/dde_handles.h"

namespace {

struct Server {
    UniqueDdeInstance instance;
    UniqueDdeString service, topic, item, itemDelete;
    UINT format = 0;
    ChipReceiver receiver = nullptr;
    bool offered = false;
};

// Made on first use, so that nothing runs before WinMain.
Server& TheServer()
{
    static Server theServer;
    return theServer;
}

HDDEDATA Answer(bool accepted)
{
    return reinterpret_cast<HDDEDATA>(
        static_cast<ULONG_PTR>(accepted ? DDE_FACK : DDE_FNOTPROCESSED));
}

HDDEDATA HandlePoke(UINT format, HSZ item, HDDEDATA data)
{
    Server& server = TheServer();
    // The format crosses DDE as a 16-bit value; some DDE layers widen it with
    // its sign.
    if ((format & 0xFFFF) != server.format) {
        return Answer(false);
    }
    const bool plain = DdeCmpStringHandles(item, server.item.get()) == 0;
    const bool deleteWhenDone = DdeCmpStringHandles(item, server.itemDelete.get()) == 0;
    if (!plain && !deleteWhenDone) {
        return Answer(false);
    }
    const DWORD size = DdeGetData(data, nullptr, 0, 0);
    // Judged before the copy is made, so a huge poke costs nothing.
    if (size == 0 || size > kChipSizeLimit) {
        return Answer(false);
    }
    std::vector<unsigned char> bytes(size);
    if (DdeGetData(data, bytes.data(), size, 0) != size) {
        return Answer(false);
    }
    ChipView chip;
    if (CheckReceivedChip(bytes.data(), bytes.size(), chip) != ChipFault::None) {
        return Answer(false);
    }
    return Answer(server.receiver != nullptr
                  && server.receiver(bytes.data(), bytes.size(), deleteWhenDone));
}

HDDEDATA CALLBACK ServerCallback(UINT type, UINT format, HCONV, HSZ topic, HSZ second,
                                 HDDEDATA data, ULONG_PTR, ULONG_PTR)
{
    const Server& server = TheServer();
    switch (type) {
    case XTYP_CONNECT:
        // The second string handle is the service here, the item in a poke.
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(
            server.offered && DdeCmpStringHandles(topic, server.topic.get()) == 0
            && DdeCmpStringHandles(second, server.service.get()) == 0));
    case XTYP_POKE:
        return HandlePoke(format, second, data);
    default:
        return nullptr;
    }
}

// True when some server already answers "Zuri" / "ZuriServer".
bool OtherServerAnswers()
{
    Server& server = TheServer();
    HCONV conversation =
        DdeConnect(server.instance.get(), server.service.get(), server.topic.get(), nullptr);
    if (conversation == nullptr) {
        return false;
    }
    DdeDisconnect(conversation);
    return true;
}

} // namespace

DdeServerStart StartDdeServer(ChipReceiver receiver)
{
    Server& server = TheServer();
    server.receiver = receiver;
    server.format = RegisterClipboardFormatA(kChipClipboardFormatName);
    DWORD instance = 0;
    if (DdeInitializeA(&instance, &ServerCallback,
                       APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_REQUESTS | CBF_FAIL_EXECUTES
                           | CBF_SKIP_ALLNOTIFICATIONS,
                       0)
        != DMLERR_NO_ERROR) {
        return DdeServerStart::Failed;
    }
    server.instance.reset(instance);
    server.service = MakeDdeString(instance, kChipDdeService);
    server.topic = MakeDdeString(instance, kChipDdeTopic);
    server.item = MakeDdeString(instance, kChipDdeItem);
    server.itemDelete = MakeDdeString(instance, kChipDdeItemDeleteWhenDone);
    if (!server.service || !server.topic || !server.item || !server.itemDelete) {
        StopDdeServer();
        return DdeServerStart::Failed;
    }
    if (OtherServerAnswers()) {
        StopDdeServer();
        return DdeServerStart::OtherServer;
    }
    return DdeServerStart::Ready;
}

bool OfferDdeService()
{
    Server& server = TheServer();
    server.offered = true;
    if (!DdeNameService(server.instance.get(), server.service.get(), nullptr, DNS_REGISTER)) {
        StopDdeServer();
        return false;
    }
    return true;
}

void StopDdeServer()
{
    Server& server = TheServer();
    if (server.offered) {
        DdeNameService(server.instance.get(), server.service.get(), nullptr, DNS_UNREGISTER);
        server.offered = false;
    }
    server.itemDelete.reset();
    server.item.reset();
    server.topic.reset();
    server.service.reset();
    server.instance.reset();
}
