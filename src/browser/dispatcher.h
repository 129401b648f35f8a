#pragma once

#include <atomic>
#include <cstdint>

#include "browser/account_handler.h"
#include "browser/browser_views.h"
#include "browser/ping_sweep.h"
#include "net/net_address.h"
#include "net/size_buffer.h"

inline constexpr const char* kUnknownCmdFormat = "BV_RunTics: Unknown cmd: %d (%s)\n";

// Acts on each incoming message by its code: a master list rebuilds the server
// table and its rows and restarts the ping sweep; a server's reply updates its
// record and row; account replies go to the account handler; any other code of 1
// or more is reported as unknown. The account handler is offered every message
// first, for an account exchange that waits for its answer.
class Dispatcher {
  public:
    // `sweeps` may be null, for a browser that lists servers without pinging them.
    // Everything given must outlive the dispatcher.
    Dispatcher(BrowserViews views, PingSweeps* sweeps);

    // Installs the handler for account replies; null (the start) consumes them
    // silently. Set it before the receive thread starts or while it is stopped.
    void setAccountHandler(AccountReplyHandler* handler);

    // Reads the code of the message loaded in `message` and acts on it. Returns
    // false for a code of 0 or less (a datagram too short to hold a code among
    // them): the caller stops draining. Never reads past the message.
    // Any thread, one message at a time; never with lockBrowser() held.
    bool dispatchMessage(SizeBuffer& message, const NetAddress& from);

  private:
    void readMasterList(SizeBuffer& message);
    void readServerInfo(SizeBuffer& message, const NetAddress& from);

    BrowserViews m_views;
    PingSweeps* m_sweeps;
    std::atomic<AccountReplyHandler*> m_accounts{nullptr};
};
