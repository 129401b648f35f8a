#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <optional>
#include <string_view>

#include "browser/messages.h"
#include "browser/record_text.h"
#include "net/net_address.h"

// Everything the launcher knows about the listed game servers, and the lock
// that the receive thread, the ping sweep and the UI thread share over it.

inline constexpr int kMaxServers = 512;
inline constexpr int kMaxPlayers = 16;
inline constexpr int kMaxPwads = 4;
inline constexpr size_t kTextSize = 128;  // record texts, NUL included
inline constexpr size_t kPwadSize = 32;   // one PWAD name, NUL included

// Values of `present` and `has_pwads`.
inline constexpr int32_t kPresent = 10;
inline constexpr int32_t kAbsent = -10;

// `ping` of a server that stayed silent through a ping sweep.
inline constexpr int32_t kSilentPing = 9999;

struct PlayerInfo {
    char name[kTextSize];
    int32_t ping;
    int32_t frags;
    int32_t present;  // kPresent for a slot filled by the last reply, else kAbsent
    int32_t level;
    int32_t time;
};

// One game server. Texts are NUL-terminated and cut to fit their arrays.
struct ServerRecord {
    PlayerInfo players[kMaxPlayers];
    char address[kTextSize];  // a.b.c.d:port, matched against the sender of each reply
    char name[kTextSize];
    int32_t ping;  // ms of the last answered query; 0 while asked; kSilentPing after a silent sweep
    int32_t dmflags;
    int32_t dmflags2;
    uint32_t send_time;  // Sys_Milliseconds() when the last query was sent
    int32_t num_players;
    int32_t max_players;
    char game_name[kTextSize];
    char pwads[kMaxPwads][kPwadSize];
    int32_t num_pwads;
    char iwad[kTextSize];
    int32_t has_pwads;  // kPresent when the last reply announced PWADs, else kAbsent
    int32_t game_type;  // 0 Deathmatch, 1 Teamplay, 2 Cooperative
    char url[kTextSize];
    char email[kTextSize];
    char map[kTextSize];
    int32_t scorecard;  // icon index of the row
    // Set when a reply arrives, cleared when a query is sent. Kept apart from
    // `ping` because a server on the local network answers in 0 ms.
    bool answered;
};

// The table: the first `server_count` records are valid. A record's index is
// its identity (the item data of its row) until the table is rebuilt.
// Both are read and written only under lockBrowser().
extern std::array<ServerRecord, kMaxServers> server_table;
extern int32_t server_count;

// Set above 0 once the browser part of start-up has begun; the master query does
// nothing before.
extern std::atomic<int32_t> browser_ready;

// The master server's address as the last master request resolved it; the
// account requests go there too. Read and written under lockBrowser().
extern NetAddress master_adr;

// The browser's lock over the table, `master_adr` and the rows of both lists.
// Never held while waiting for the network, a thread or the user.
[[nodiscard]] std::unique_lock<std::mutex> lockBrowser();

// Notified (with the lock held) whenever a reply updates a record or the table is
// rebuilt; the ping sweep waits on it.
std::condition_variable_any& browserChanged();

// Empties the table for a rebuild. Each rebuild gets a new generation, so a ping
// sweep over an older table can tell that its indexes no longer mean anything.
// Caller holds lockBrowser().
void resetServerTable();
uint64_t serverTableGeneration();

// The index of the first valid record whose address is `address`.
// Caller holds lockBrowser().
std::optional<int> findServer(std::string_view address);

// Marks a record as just asked: ping 0, unanswered, `send_time` now.
// Caller holds lockBrowser().
void markAsked(ServerRecord& record);

// Stores a reply into `record`, cutting texts, PWAD names and players to the
// record's limits; empty PWAD names are skipped. Leaves `ping`, `answered`,
// `send_time`, `address` and `scorecard` alone.
void storeServerInfo(ServerRecord& record, const ServerInfo& info);
