#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "accounts/account_service.h"
#include "accounts/memory_account_views.h"
#include "browser/browser_ops.h"
#include "browser/dispatcher.h"
#include "browser/memory_row_view.h"
#include "browser/receive_thread.h"
#include "error_output.h"
#include "exit_codes.h"
#include "net/network_session.h"

// The account service running as in the program, with its dialogs kept in
// memory: the network, the dispatcher with the service as its account handler,
// and, once started, the receive thread. Members are declared in start-up
// order, so they stop in the reverse order.
class AccountSession {
  public:
    AccountSession(const std::string& masterHost, uint16_t localPort, ExchangeTimings timings);

    AccountService& service() { return m_service; }
    MemoryAccountViews& views() { return m_views; }

    // Starts the receive thread, as the program does once the log-in is over;
    // replies to look-ups and recent-players requests arrive through it.
    void startReceiving();

  private:
    NetworkSession m_network;
    MemoryAccountViews m_views;
    StderrMessageView m_messages{&m_views};
    MemoryRowView m_serverList;
    MemoryRowView m_playerList;
    Dispatcher m_dispatcher;
    ServerBrowser m_browser;
    AccountService m_service;
    std::optional<ReceiveThread> m_receiver;
};

// Done for an accepted log-in; else the code of the refusal, after its text.
ExitCode loginExitCode(const LoginResult& result);
