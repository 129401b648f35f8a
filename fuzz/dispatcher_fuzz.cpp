// Feeds a run of messages to the browser's dispatcher, as the receive thread
// hands them on, from senders that do and do not match the listed servers, and
// checks after each one that the table and the lists are still within their
// limits whatever arrived.
//
// Input: messages one after the other, each [sender][selection][length: 2 bytes]
// [message]. The sender byte picks a fixed address or a listed server's own
// address; a selection byte above 0 selects a server list row first.
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browser/dispatcher.h"
#include "browser/memory_row_view.h"
#include "browser/server_table.h"
#include "fuzz_support.h"
#include "net/transport.h"

namespace {

NetAddress addressOf(std::array<uint8_t, 4> ip, uint16_t port) {
    NetAddress address;
    address.ip = ip;
    NET_SetPort(address, port);
    return address;
}

// The seeds list servers at the first three; the next two differ from them in
// the address or the port only; the last is the master server.
const std::array<NetAddress, 6> kSenders = {
    addressOf({10, 0, 0, 1}, 10666), addressOf({10, 0, 0, 2}, 10666), addressOf({192, 168, 1, 5}, 5029),
    addressOf({10, 0, 0, 1}, 10667), addressOf({10, 0, 0, 3}, 10666), addressOf({10, 0, 0, 100}, 15100),
};
const NetAddress& kMaster = kSenders.back();

// A listed server's address text as the sender it names, when it is dotted with
// a port: how that server's reply arrives. Host names are not resolved here.
std::optional<NetAddress> senderNamed(std::string_view text) {
    const size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view digits = text.substr(colon + 1);
    if (digits.empty() || digits.size() > 5 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const int port = std::stoi(std::string(digits));
    NetAddress address;
    if (port > 65535 || !NET_ParseDotted(text.substr(0, colon), address.ip)) {
        return std::nullopt;
    }
    NET_SetPort(address, static_cast<uint16_t>(port));
    return address;
}

NetAddress pickSender(uint8_t choice) {
    if (choice < kSenders.size()) {
        return kSenders[choice];
    }
    const auto lock = lockBrowser();
    if (server_count > 0) {
        const ServerRecord& record = server_table[static_cast<size_t>(choice % server_count)];
        if (const std::optional<NetAddress> sender = senderNamed(record.address)) {
            return *sender;
        }
    }
    return kSenders[choice % kSenders.size()];
}

void checkRecord(const ServerRecord& record) {
    FUZZ_CHECK(terminated(record.address));
    FUZZ_CHECK(terminated(record.name));
    FUZZ_CHECK(terminated(record.game_name));
    FUZZ_CHECK(terminated(record.iwad));
    FUZZ_CHECK(terminated(record.url));
    FUZZ_CHECK(terminated(record.email));
    FUZZ_CHECK(terminated(record.map));
    FUZZ_CHECK(record.num_pwads >= 0 && record.num_pwads <= kMaxPwads);
    for (int i = 0; i < kMaxPwads; ++i) {
        FUZZ_CHECK(terminated(record.pwads[i]));
        // The stored names come first; the slots after them are empty.
        FUZZ_CHECK((record.pwads[i][0] != '\0') == (i < record.num_pwads));
    }
    FUZZ_CHECK(record.has_pwads != kAbsent || record.num_pwads == 0);
    bool filled = true;
    for (const PlayerInfo& player : record.players) {
        FUZZ_CHECK(terminated(player.name));
        FUZZ_CHECK(player.present == 0 || player.present == kPresent || player.present == kAbsent);
        // A reply fills its players from slot 0 on.
        FUZZ_CHECK(filled || player.present != kPresent);
        filled = player.present == kPresent;
    }
}

int presentPlayers(const ServerRecord& record) {
    return static_cast<int>(
        std::count_if(std::begin(record.players), std::end(record.players),
                      [](const PlayerInfo& player) { return player.present == kPresent; }));
}

// Records that earlier inputs listed; cleared before the next input so that each
// input starts from an empty table.
int recordsUsed = 0;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        const auto lock = lockBrowser();
        resetServerTable();
        std::fill_n(server_table.begin(), recordsUsed, ServerRecord{});
        recordsUsed = 0;
        master_adr = kMaster;
    }
    MemoryRowView servers;
    MemoryRowView players;
    MemoryQueuedMessageView messages;
    Dispatcher dispatcher({servers, players, messages}, nullptr);

    FuzzInput input({data, size});
    while (!input.empty()) {
        const NetAddress from = pickSender(input.byte());
        const uint8_t selection = input.byte();
        const std::span<const uint8_t> bytes = input.piece(kMessageSize);
        SizeBuffer message = loadedMessage(bytes);

        const std::vector<MemoryRowView::Row> rowsBefore = servers.rows();
        if (selection > 0 && !rowsBefore.empty()) {
            servers.select(static_cast<int>((selection - 1) % rowsBefore.size()));
        }
        int32_t countBefore = 0;
        uint64_t generationBefore = 0;
        std::vector<bool> answeredBefore;
        {
            const auto lock = lockBrowser();
            countBefore = server_count;
            generationBefore = serverTableGeneration();
            for (int32_t i = 0; i < server_count; ++i) {
                answeredBefore.push_back(server_table[static_cast<size_t>(i)].answered);
            }
        }
        const size_t messagesBefore = messages.messages().size();

        dispatcher.dispatchMessage(message, from, Sys_Milliseconds());

        const auto lock = lockBrowser();
        FUZZ_CHECK(server_count >= 0 && server_count <= kMaxServers);
        recordsUsed = std::max(recordsUsed, server_count);
        for (int32_t i = 0; i < server_count; ++i) {
            checkRecord(server_table[static_cast<size_t>(i)]);
        }

        const std::vector<MemoryRowView::Row> rows = servers.rows();
        for (const MemoryRowView::Row& row : rows) {
            FUZZ_CHECK(row.itemData >= 0 && row.itemData < server_count);
        }
        if (serverTableGeneration() != generationBefore) {
            // A new table comes with its own rows, the last record at the top.
            FUZZ_CHECK(from == kMaster);
            FUZZ_CHECK(rows.size() == static_cast<size_t>(server_count));
            for (int32_t i = 0; i < server_count; ++i) {
                FUZZ_CHECK(rows[static_cast<size_t>(i)].itemData == server_count - 1 - i);
            }
            FUZZ_CHECK(players.rows().empty());
        } else {
            FUZZ_CHECK(rows.size() == rowsBefore.size());
            FUZZ_CHECK(server_count == countBefore);
            // A reply is taken only by the first record listed at its sender's address.
            const std::string sender = NET_AdrToString(from);
            std::optional<int32_t> matched;
            for (int32_t i = 0; i < server_count && !matched; ++i) {
                if (sender == server_table[static_cast<size_t>(i)].address) {
                    matched = i;
                }
            }
            const bool reply = messageCode(bytes) == kServerInfoReplyCode;
            for (int32_t i = 0; i < server_count; ++i) {
                const bool answered = server_table[static_cast<size_t>(i)].answered;
                FUZZ_CHECK(answered == (answeredBefore[static_cast<size_t>(i)] || (reply && matched == i)));
            }
            // A reply from the selected server shows its players at once, slot by slot.
            if (reply && matched && servers.selectedItemData() == matched) {
                const ServerRecord& record = server_table[static_cast<size_t>(*matched)];
                const std::vector<MemoryRowView::Row> playerRows = players.rows();
                FUZZ_CHECK(playerRows.size() == static_cast<size_t>(presentPlayers(record)));
                for (size_t slot = 0; slot < playerRows.size(); ++slot) {
                    FUZZ_CHECK(playerRows[slot].cell(column(PlayerColumn::Name)) ==
                               record.players[slot].name);
                }
            }
        }
        FUZZ_CHECK(players.rows().size() <= static_cast<size_t>(kMaxPlayers));

        const std::vector<MemoryQueuedMessageView::Message> shown = messages.messages();
        for (size_t i = messagesBefore; i < shown.size(); ++i) {
            FUZZ_CHECK(shown[i].text.size() < 128);
        }
    }
    return 0;
}
