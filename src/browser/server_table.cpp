#include "browser/server_table.h"

#include "net/transport.h"

std::array<ServerRecord, kMaxServers> server_table{};
int32_t server_count = 0;
std::atomic<int32_t> browser_ready{0};
NetAddress master_adr;

namespace {

std::mutex browserMutex;
std::condition_variable_any tableChanged;
uint64_t tableGeneration = 0;

}  // namespace

std::unique_lock<std::mutex> lockBrowser() {
    return std::unique_lock(browserMutex);
}

std::condition_variable_any& browserChanged() {
    return tableChanged;
}

void resetServerTable() {
    server_count = 0;
    ++tableGeneration;
    tableChanged.notify_all();
}

uint64_t serverTableGeneration() {
    return tableGeneration;
}

std::optional<int> findServer(std::string_view address) {
    for (int i = 0; i < server_count; ++i) {
        if (address == server_table[static_cast<size_t>(i)].address) {
            return i;
        }
    }
    return std::nullopt;
}

void markAsked(ServerRecord& record) {
    record.ping = 0;
    record.answered = false;
    record.send_time = Sys_Milliseconds();
}

void storeServerInfo(ServerRecord& record, const ServerInfo& info) {
    for (PlayerInfo& player : record.players) {
        player.present = kAbsent;
    }
    copyText(record.name, info.name);
    record.num_players = info.num_players;
    record.max_players = info.max_players;
    copyText(record.map, info.map);

    record.num_pwads = 0;
    for (auto& pwad : record.pwads) {
        pwad[0] = '\0';
    }
    record.has_pwads = info.pwads.empty() ? kAbsent : kPresent;
    for (const std::string& pwad : info.pwads) {
        if (!pwad.empty() && record.num_pwads < kMaxPwads) {
            copyText(record.pwads[record.num_pwads], pwad);
            ++record.num_pwads;
        }
    }

    record.game_type = info.game_type;
    copyText(record.game_name, info.game_name);
    copyText(record.iwad, info.iwad);
    copyText(record.url, info.url);
    copyText(record.email, info.email);
    record.dmflags = info.dmflags;
    record.dmflags2 = info.dmflags2;

    const size_t players = std::min(info.players.size(), static_cast<size_t>(kMaxPlayers));
    for (size_t i = 0; i < players; ++i) {
        const PlayerEntry& entry = info.players[i];
        PlayerInfo& player = record.players[i];
        player.present = kPresent;
        copyText(player.name, entry.name);
        player.frags = entry.frags;
        player.ping = entry.ping;
        player.level = entry.level;
        player.time = entry.time;
    }
}
