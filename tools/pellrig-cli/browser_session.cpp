#include "browser_session.h"

#include "net/transport.h"

BrowserSession::BrowserSession(const std::string& masterHost, uint16_t localPort)
    : m_network(NetConfig{localPort, ""}),
      m_sweeps(m_serverList),
      m_dispatcher({m_serverList, m_playerList, m_messages}, &m_sweeps, &m_favourites),
      m_browser({m_serverList, m_playerList, m_messages}, {masterHost}),
      m_receiver(m_dispatcher) {
    browser_ready = 10;
}

bool BrowserSession::waitForMasterList(uint64_t generationBefore, std::chrono::milliseconds timeout) {
    auto lock = lockBrowser();
    return browserChanged().wait_for(lock, timeout,
                                     [&] { return serverTableGeneration() != generationBefore; });
}

bool BrowserSession::waitForSweep(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const auto settled = [] {
        for (int i = 0; i < server_count; ++i) {
            const ServerRecord& record = server_table[static_cast<size_t>(i)];
            if (!record.answered && record.ping != kSilentPing) {
                return false;
            }
        }
        return true;
    };
    auto lock = lockBrowser();
    // The final marking does not notify, so look again at short intervals.
    while (!settled()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        browserChanged().wait_for(lock, std::chrono::milliseconds(20));
    }
    return true;
}

bool BrowserSession::waitForAnswer(std::chrono::milliseconds timeout) {
    auto lock = lockBrowser();
    return browserChanged().wait_for(lock, timeout,
                                     [] { return server_count > 0 && server_table[0].answered; });
}

std::vector<ListedServer> BrowserSession::servers() {
    const auto lock = lockBrowser();
    const std::vector<MemoryRowView::Row> rows = m_serverList.rows();
    std::vector<ListedServer> servers;
    for (int i = 0; i < server_count; ++i) {
        ListedServer server{i, server_table[static_cast<size_t>(i)], {}, std::nullopt};
        if (const std::optional<int> row = m_serverList.findRow(i)) {
            for (int column = 0; column < 7; ++column) {
                server.row.push_back(rows[static_cast<size_t>(*row)].cell(column));
            }
        }
        servers.push_back(std::move(server));
    }
    return servers;
}
