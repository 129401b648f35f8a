#include "browser/dispatcher.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "browser/messages.h"
#include "browser/server_rows.h"
#include "browser/server_table.h"
#include "net/transport.h"

namespace {

// The arrival stamp and the send time are whole milliseconds of clocks read
// apart; a reply stamped this much before its query may still answer it.
constexpr int32_t kArrivalSlackMs = 1;

}  // namespace

Dispatcher::Dispatcher(BrowserViews views, PingSweeps* sweeps, const Favourites* favourites)
    : m_views(views), m_sweeps(sweeps), m_favourites(favourites) {}

void Dispatcher::setAccountHandler(AccountReplyHandler* handler) {
    m_accounts.store(handler);
}

bool Dispatcher::dispatchMessage(SizeBuffer& message, const NetAddress& from, uint32_t arrivalTime) {
    const int32_t code = MSG_ReadLong(message);
    if (code <= 0) {
        return false;
    }
    AccountReplyHandler* accounts = m_accounts.load();
    if (accounts != nullptr && accounts->takeAwaitedReply(code, message, from)) {
        return true;
    }
    if (code == kMasterListCode) {
        readMasterList(message, from);
    } else if (code == kServerInfoReplyCode) {
        readServerInfo(message, from, arrivalTime);
    } else if (isAccountReplyCode(code)) {
        if (accounts != nullptr) {
            accounts->handleAccountReply(code, message, from);
        }
    } else {
        reportUnknown(code, from);
    }
    return true;
}

void Dispatcher::reportUnknown(int32_t code, const NetAddress& from) {
    if (!m_unknownReports->tryOpen(Sys_Milliseconds())) {
        return;
    }
    char text[128];
    std::snprintf(text, sizeof text, kUnknownCmdFormat, code, NET_AdrToString(from).c_str());
    m_views.messages.showReport(text, [gate = std::weak_ptr<ReportGate>(m_unknownReports)] {
        if (const std::shared_ptr<ReportGate> open = gate.lock()) {
            open->close();
        }
    });
}

void Dispatcher::readMasterList(SizeBuffer& message, const NetAddress& from) {
    {
        // Anyone can send to the launcher's port: a list counts only from where
        // the list request went, or a stranger could choose the servers we query.
        const auto lock = lockBrowser();
        if (master_adr == NetAddress{} || from != master_adr) {
            return;
        }
    }
    const std::vector<MasterListEntry> entries = readMasterListReply(message, kMaxServers);
    if (m_sweeps != nullptr) {
        m_sweeps->stop();
    }
    uint64_t generation = 0;
    {
        const auto lock = lockBrowser();
        // The rows are item data into the table, so they go with the table they
        // index: an earlier list's row would otherwise show or join another server.
        m_views.serverList.clear();
        m_views.playerList.clear();
        resetServerTable();
        generation = serverTableGeneration();
        fillServerTable(entries);
    }
    if (m_sweeps != nullptr) {
        m_sweeps->restart(generation);
    }
}

void Dispatcher::fillServerTable(const std::vector<MasterListEntry>& entries) {
    const std::vector<std::string> favourites =
        m_favourites != nullptr ? m_favourites->addresses() : std::vector<std::string>{};
    const auto isFavourite = [&favourites](const char* address) {
        return std::find(favourites.begin(), favourites.end(), address) != favourites.end();
    };
    const auto addRecord = [](const std::string& address, int scorecard) {
        ServerRecord& record = server_table[static_cast<size_t>(server_count)];
        record = ServerRecord{};
        copyText(record.address, address);
        record.scorecard = scorecard;
        return server_count++;
    };
    // Each row goes in on top, so the list shows in reverse order of insertion.
    for (const MasterListEntry& entry : entries) {
        const int index = addRecord(entry.address, entry.scorecard);
        if (!isFavourite(server_table[static_cast<size_t>(index)].address)) {
            m_views.serverList.insertRow(0, index, entry.scorecard);
        }
    }
    for (auto favourite = favourites.rbegin(); favourite != favourites.rend(); ++favourite) {
        std::optional<int> index = findServer(favourite->c_str());
        if (!index && server_count < kMaxServers) {
            index = addRecord(*favourite, 0);
        }
        if (index) {
            m_views.serverList.insertRow(0, *index, server_table[static_cast<size_t>(*index)].scorecard);
        }
    }
}

void Dispatcher::readServerInfo(SizeBuffer& message, const NetAddress& from, uint32_t arrivalTime) {
    const ServerInfo info = readServerInfoReply(message);
    const std::string sender = NET_AdrToString(from);

    const auto lock = lockBrowser();
    const std::optional<int> found = findServer(sender.c_str());
    if (!found) {
        return;
    }
    const int index = *found;
    ServerRecord& record = server_table[static_cast<size_t>(index)];
    const auto elapsed = static_cast<int32_t>(arrivalTime - record.send_time);
    if (elapsed < -kArrivalSlackMs) {
        return;
    }
    // A later reply to the same query (a duplicate, or the answer to a retry
    // after a slow first one) would only lengthen the ping.
    if (!record.answered) {
        record.ping = std::max(elapsed, 0);
        record.answered = true;
    }
    storeServerInfo(record, info);
    if (const std::optional<int> row = m_views.serverList.findRow(index)) {
        showServerRow(record, m_views.serverList, *row);
    }
    browserChanged().notify_all();
    if (selectedServerIndex(m_views.serverList) == index) {
        showSelectedPlayers(m_views.serverList, m_views.playerList);
    }
}
