#include "master_service.h"

#include <utility>

#include "browser/messages.h"

MasterService::MasterService(std::shared_ptr<const Datagram> listReply, std::chrono::microseconds delay,
                             bool silent)
    : m_listReply(std::move(listReply)), m_delay(delay), m_silent(silent) {}

std::optional<Reply> MasterService::handle(SizeBuffer& message, const NetAddress& /*from*/,
                                           bool& understood) {
    understood = false;
    switch (MSG_ReadLong(message)) {
        case kMasterListCode:
            return handleListRequest(message, understood);
        default:
            return std::nullopt;
    }
}

std::optional<Reply> MasterService::handleListRequest(SizeBuffer& message, bool& understood) {
    // Any protocol version gets the list; only a request without one (a server
    // info query sent to the master by mistake) is not a list request.
    if (MSG_ReadByte(message) < 0) {
        return std::nullopt;
    }
    understood = true;
    if (m_silent) {
        return std::nullopt;
    }
    return Reply{m_listReply, m_delay};
}
