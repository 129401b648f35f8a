#include "browser/server_query.h"

#include "browser/messages.h"
#include "net/transport.h"

namespace {

template <typename Write>
void sendOutMessage(const NetAddress& to, Write write) {
    const auto lock = NET_LockOutMessage();
    if (net_outmessage.maxsize < kMessageSize) {
        SZ_Init(net_outmessage, kMessageSize);
    }
    SZ_Clear(net_outmessage);
    write(net_outmessage);
    NET_SendPacket(net_outmessage, to);
}

}  // namespace

void sendServerInfoQuery(const NetAddress& to) {
    sendOutMessage(to, writeServerInfoQuery);
}

bool sendServerInfoQuery(std::string_view address) {
    NetAddress to;
    if (!NET_StringToAdr(address, to)) {
        return false;
    }
    sendServerInfoQuery(to);
    return true;
}

void sendMasterListRequest(const NetAddress& to) {
    sendOutMessage(to, writeMasterListRequest);
}
