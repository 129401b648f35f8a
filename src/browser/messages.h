#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "net/message_codes.h"
#include "net/size_buffer.h"

// The four datagrams of the browsing exchange: the launcher asks the master
// server for its list of game servers, then asks each game server for its state.

inline constexpr int32_t kProtocolVersion = 104;
inline constexpr int kMasterListEnd = 101;  // marker byte that ends a master list
inline constexpr uint16_t kMasterPort = 15100;

struct MasterListEntry {
    std::string address;  // "a.b.c.d:port"
    int scorecard = 0;
    int marker = 0;  // any value but kMasterListEnd
};

struct PlayerEntry {
    std::string name;
    int frags = 0;
    int ping = 0;
    int level = 0;
    int time = 0;
};

// A game server's state as it sends it; the launcher cuts it to its record's limits.
struct ServerInfo {
    std::string name;
    int num_players = 0;
    int max_players = 0;
    std::string map;
    std::vector<std::string> pwads;
    int game_type = 0;
    std::string game_name;
    std::string iwad;
    std::string url;
    std::string email;
    int32_t dmflags = 0;
    int32_t dmflags2 = 0;
    std::vector<PlayerEntry> players;
};

// Each writer appends one whole message, code first, to `buffer`.
void writeMasterListRequest(SizeBuffer& buffer);
void writeServerInfoQuery(SizeBuffer& buffer);
void writeMasterListReply(SizeBuffer& buffer, std::span<const MasterListEntry> entries);
void writeServerInfoReply(SizeBuffer& buffer, const ServerInfo& info);

// The readers take the fields that follow the code, which the caller has read.
// Fields missing from a short message read as -1 or empty text and are kept as
// read; neither reader ever reads past the message.

// Reads entries up to the end byte, the end of the message, or `maxEntries`,
// whichever comes first; entries beyond `maxEntries` are left unread.
std::vector<MasterListEntry> readMasterListReply(SizeBuffer& message, size_t maxEntries);

// Reads every field in wire order, the unused byte and the final short included.
// `pwads` holds the names as announced, empty ones too, so its size is the
// announced count; all announced players are read.
ServerInfo readServerInfoReply(SizeBuffer& message);
