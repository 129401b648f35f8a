#pragma once

#include <string>
#include <vector>

#include "browser/browser_views.h"
#include "browser/memory_row_view.h"
#include "browser/messages.h"
#include "browser/server_table.h"
#include "loopback_peer.h"

// Shared by the browser tests: the two lists and the message sink, and the table.

inline SizeBuffer masterListOf(const std::vector<MasterListEntry>& entries) {
    return messageOf([&](SizeBuffer& b) { writeMasterListReply(b, entries); });
}

inline SizeBuffer serverInfoOf(const ServerInfo& info) {
    return messageOf([&](SizeBuffer& b) { writeServerInfoReply(b, info); });
}

// The text of a cell in the first row that carries `itemData`; "(no row)" without one.
inline std::string cellOf(const MemoryRowView& view, int itemData, ServerColumn c) {
    for (const auto& row : view.rows()) {
        if (row.itemData == itemData) {
            return row.cell(column(c));
        }
    }
    return "(no row)";
}

struct TestViews {
    MemoryRowView servers;
    MemoryRowView players;
    MemoryQueuedMessageView messages;
    BrowserViews views{servers, players, messages};
};

// The table is process-wide; each test starts from an empty one.
inline void clearServerTable() {
    const auto lock = lockBrowser();
    resetServerTable();
    server_table.fill(ServerRecord{});
    master_adr = NetAddress{};
}
