#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "browser/browser_ops.h"
#include "browser/dispatcher.h"
#include "browser/favourites.h"
#include "browser/memory_row_view.h"
#include "browser/ping_sweep.h"
#include "browser/receive_thread.h"
#include "error_output.h"
#include "net/network_session.h"
#include "server_output.h"

// The browser core running as in the program, with lists kept in memory: the
// network, the dispatcher, the receive thread and the ping sweeps. Members are
// declared in start-up order, so they stop in the reverse order.
class BrowserSession {
  public:
    BrowserSession(const std::string& masterHost, uint16_t localPort);

    ServerBrowser& browser() { return m_browser; }
    MemoryRowView& serverList() { return m_serverList; }
    // Chooses the fast refresh or the paced sweep for the sweeps that follow.
    void setFastRefresh(bool fast) { m_sweeps.setFast(fast); }
    // The favourite servers the next master list puts first and queries.
    Favourites& favourites() { return m_favourites; }

    // Waits until a master list replaces the table; false after `timeout`.
    bool waitForMasterList(uint64_t generationBefore, std::chrono::milliseconds timeout);
    // Waits until every listed server has answered or been marked silent.
    bool waitForSweep(std::chrono::milliseconds timeout);
    // Waits until record 0 has answered; false after `timeout`.
    bool waitForAnswer(std::chrono::milliseconds timeout);

    // The valid records in table order, each with the texts of its row.
    std::vector<ListedServer> servers();

  private:
    NetworkSession m_network;
    StderrMessageView m_messages;
    MemoryRowView m_serverList;
    MemoryRowView m_playerList;
    PingSweeps m_sweeps;
    Favourites m_favourites;
    Dispatcher m_dispatcher;
    ServerBrowser m_browser;
    ReceiveThread m_receiver;
};
