#pragma once

#include <chrono>
#include <memory>
#include <optional>

#include "datagram.h"
#include "master_accounts.h"
#include "net/net_address.h"
#include "net/size_buffer.h"

// One answer to send: a coded datagram, after a delay measured from the
// moment the request was read.
struct Reply {
    std::shared_ptr<const Datagram> datagram;
    std::chrono::microseconds delay{0};
};

// The master server's side of the protocol, free of sockets: every message that
// reaches the master's port is dispatched by its code here, and only here.
class MasterService {
  public:
    // `listReply` is the coded MasterListReply sent to every list request;
    // `accounts` (may be null) takes the account requests. A silent master reads
    // requests but answers none.
    MasterService(std::shared_ptr<const Datagram> listReply, std::chrono::microseconds delay, bool silent,
                  MasterAccounts* accounts);

    // Reads one decoded message, whose read cursor is at its start. Returns the
    // answer, or nullopt for a message the master does not take (no code, an
    // unknown code, a list request without its version byte) or chooses not to
    // answer; `understood` tells those two apart.
    std::optional<Reply> handle(SizeBuffer& message, const NetAddress& from, bool& understood);

  private:
    std::optional<Reply> handleListRequest(SizeBuffer& message, bool& understood);
    std::optional<Reply> handleAccountRequest(int32_t code, SizeBuffer& message, const NetAddress& from,
                                              bool& understood);

    std::shared_ptr<const Datagram> m_listReply;
    std::chrono::microseconds m_delay;
    bool m_silent;
    MasterAccounts* m_accounts;
};
