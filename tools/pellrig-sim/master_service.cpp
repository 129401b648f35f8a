#include "master_service.h"

#include <utility>

#include "browser/messages.h"

MasterService::MasterService(std::shared_ptr<const Datagram> listReply, std::chrono::microseconds delay,
                             bool silent, MasterAccounts* accounts)
    : m_listReply(std::move(listReply)), m_delay(delay), m_silent(silent), m_accounts(accounts) {}

std::optional<Reply> MasterService::handle(SizeBuffer& message, const NetAddress& from, bool& understood) {
    understood = false;
    const int32_t code = MSG_ReadLong(message);
    if (code == kMasterListCode) {
        return handleListRequest(message, understood);
    }
    if (m_accounts != nullptr && MasterAccounts::takes(code)) {
        return handleAccountRequest(code, message, from, understood);
    }
    return std::nullopt;
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

std::optional<Reply> MasterService::handleAccountRequest(int32_t code, SizeBuffer& message,
                                                         const NetAddress& from, bool& understood) {
    understood = true;
    if (m_silent) {
        return std::nullopt;
    }
    std::optional<Datagram> answer = m_accounts->handle(code, message, from);
    if (!answer) {
        return std::nullopt;
    }
    return Reply{std::make_shared<const Datagram>(std::move(*answer)), m_accounts->delay()};
}
