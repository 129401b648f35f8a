#pragma once

#include <cstdint>

#include "net/message_codes.h"
#include "net/net_address.h"
#include "net/size_buffer.h"

// Carries out for the dispatcher the account service's replies that can reach
// the receive thread at any time (isAccountReplyCode).
//
// Called on the receive thread with `message` positioned just after the code and
// the receive lock (NET_LockReceive()) held, so the handler reads its fields from
// `message` during the call and must not wait for the user or for another
// datagram: dialogs are handed on to the UI thread.
class AccountReplyHandler {
  public:
    virtual ~AccountReplyHandler() = default;
    // Offered every message with a code of 1 or more before the dispatcher acts
    // on it, so that an account exchange waiting on another thread gets its
    // answer whichever thread read it. Returns true when it took the message:
    // the dispatcher then does nothing more with it. Same thread and lock rules
    // as handleAccountReply.
    virtual bool takeAwaitedReply(int32_t /*code*/, SizeBuffer& /*message*/, const NetAddress& /*from*/) {
        return false;
    }
    virtual void handleAccountReply(int32_t code, SizeBuffer& message, const NetAddress& from) = 0;
};
