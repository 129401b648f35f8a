#include "browser/browser_ops.h"

#include <cstdlib>

#include "browser/row_view.h"
#include "browser/server_query.h"
#include "browser/server_rows.h"
#include "net/transport.h"

namespace {

// The port text read the way the dialog always has: leading digits, else 0.
int portNumber(std::string_view text) {
    const std::string copy(text);
    const long value = std::strtol(copy.c_str(), nullptr, 10);
    return static_cast<int>(value);
}

}  // namespace

ServerBrowser::ServerBrowser(BrowserViews views, BrowserConfig config)
    : m_views(views), m_config(std::move(config)) {}

void ServerBrowser::SendMasterRequest() {
    if (browser_ready.load() <= 0) {
        return;
    }
    NetAddress master;
    if (!NET_StringToAdr(m_config.masterHost, master)) {
        return;
    }
    if (m_config.masterHost.find(':') == std::string::npos) {
        NET_SetPort(master, kMasterPort);
    }
    {
        const auto lock = lockBrowser();
        master_adr = master;
    }
    sendMasterListRequest(master);
}

void ServerBrowser::QueryMaster() {
    if (browser_ready.load() <= 0) {
        return;
    }
    {
        const auto lock = lockBrowser();
        m_views.serverList.clear();
        m_views.playerList.clear();
    }
    SendMasterRequest();
}

void ServerBrowser::RefreshSelected() {
    std::optional<std::string> address;
    {
        const auto lock = lockBrowser();
        if (const std::optional<int> index = selectedServerIndex(m_views.serverList)) {
            ServerRecord& record = server_table[static_cast<size_t>(*index)];
            markAsked(record);
            address = record.address;
        }
    }
    if (!address) {
        m_views.messages.showMessage(kSelectServerFirst, {});
        return;
    }
    sendServerInfoQuery(*address);
}

void ServerBrowser::RefreshAll() {
    for (int i = 0;; ++i) {
        std::string address;
        {
            const auto lock = lockBrowser();
            if (i >= server_count) {
                return;
            }
            ServerRecord& record = server_table[static_cast<size_t>(i)];
            markAsked(record);
            address = record.address;
        }
        sendServerInfoQuery(address);
    }
}

bool ServerBrowser::CustomServerQuery(std::string_view host, std::string_view port) {
    if (host.empty()) {
        m_views.messages.showMessage(kNoServerAddress, kErrorCaption);
        return false;
    }
    if (port.empty()) {
        m_views.messages.showMessage(kNoPortNumber, kErrorCaption);
        return false;
    }
    const std::string typed = std::string(host) + ":" + std::to_string(portNumber(port));
    // Replies are matched by their sender's dotted text, so a host name is kept
    // resolved; the row still shows what was typed.
    NetAddress to;
    const bool resolved = NET_StringToAdr(typed, to);
    {
        const auto lock = lockBrowser();
        m_views.serverList.clear();
        m_views.playerList.clear();
        resetServerTable();
        ServerRecord& record = server_table[0];
        record = ServerRecord{};
        copyText(record.address, resolved ? NET_AdrToString(to) : typed);
        const int row = m_views.serverList.insertRow(0, 0, 0);
        m_views.serverList.setCell(row, column(ServerColumn::Name), std::string(host));
        server_count = 1;
        markAsked(record);
    }
    if (resolved) {
        sendServerInfoQuery(to);
    }
    return true;
}

std::optional<ServerRecord> ServerBrowser::GetSelectedServer() const {
    const auto lock = lockBrowser();
    const std::optional<int> index = selectedServerIndex(m_views.serverList);
    if (!index) {
        return std::nullopt;
    }
    return server_table[static_cast<size_t>(*index)];
}

void ServerBrowser::ShowSelectedPlayers() {
    const auto lock = lockBrowser();
    showSelectedPlayers(m_views.serverList, m_views.playerList);
}
