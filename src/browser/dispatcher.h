#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "browser/account_handler.h"
#include "browser/browser_views.h"
#include "browser/favourites.h"
#include "browser/messages.h"
#include "browser/ping_sweep.h"
#include "browser/report_gate.h"
#include "net/net_address.h"
#include "net/size_buffer.h"

inline constexpr const char* kUnknownCmdFormat = "BV_RunTics: Unknown cmd: %d (%s)\n";

// Unknown codes are reported one box at a time and at most this often.
inline constexpr uint32_t kUnknownCmdIntervalMs = 20000;

// Acts on each incoming message by its code: a master list from the master
// server (the address the last list request went to) replaces the server table
// and its rows (the favourites on top in the player's order, those the master
// did not list added to the table after its servers) and restarts the ping sweep; a server's reply updates
// its record and row (the first reply after a query sets the ping, and one that arrived before the query went
// out answers an older query and is dropped); account replies go to the account handler; any other code of 1
// or more is reported as unknown, as often as kUnknownCmdIntervalMs allows. The account handler is offered
// every message first, for an account exchange that waits for its answer. Lists from anyone else are dropped
// silently.
class Dispatcher {
  public:
    // `sweeps` may be null, for a browser that lists servers without pinging
    // them; `favourites` may be null, for a browser that keeps none. Everything
    // given must outlive the dispatcher.
    Dispatcher(BrowserViews views, PingSweeps* sweeps, const Favourites* favourites = nullptr);

    // Installs the handler for account replies; null (the start) consumes them
    // silently. Set it before the receive thread starts or while it is stopped.
    void setAccountHandler(AccountReplyHandler* handler);

    // Reads the code of the message loaded in `message` and acts on it. Returns
    // false for a code of 0 or less (a datagram too short to hold a code among
    // them): the caller stops draining. Never reads past the message.
    // `arrivalTime` is Sys_Milliseconds() when the datagram arrived; a server's
    // ping runs from its record's `send_time` to there.
    // Any thread, one message at a time; never with lockBrowser() held.
    bool dispatchMessage(SizeBuffer& message, const NetAddress& from, uint32_t arrivalTime);

  private:
    void readMasterList(SizeBuffer& message, const NetAddress& from);
    // Fills the emptied table and the server list from a master list. Caller
    // holds lockBrowser().
    void fillServerTable(const std::vector<MasterListEntry>& entries);
    void readServerInfo(SizeBuffer& message, const NetAddress& from, uint32_t arrivalTime);
    void reportUnknown(int32_t code, const NetAddress& from);

    BrowserViews m_views;
    PingSweeps* m_sweeps;
    const Favourites* m_favourites;
    std::atomic<AccountReplyHandler*> m_accounts{nullptr};
    // Shared with the boxes still on screen, which may close after the dispatcher is gone.
    std::shared_ptr<ReportGate> m_unknownReports = std::make_shared<ReportGate>(kUnknownCmdIntervalMs);
};
