#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browser/messages.h"

// What the simulator plays: one master server and its game servers.
//
// A scenario file is one JSON object. Every key is optional except "servers";
// an unknown key is an error, so a typo does not go unnoticed.
//
//   {
//     "master": {
//       "port": 15100,          // 0 = any free port; --master-port overrides it
//       "silent": false,        // never answer a master list request
//       "delay_ms": 0           // wait this long before answering
//     },
//     "servers": [
//       {
//         "name": "Brumvek Duel #1",
//         "map": "MAP01",
//         "max_players": 8,
//         "num_players": 2,     // default: the length of "players"
//         "game_type": "deathmatch",  // or "teamplay", "cooperative", or a number 0..255
//         "game": "Doom II",
//         "iwad": "doom2.wad",
//         "pwads": ["dwango5.wad"],
//         "url": "http://example.org", "email": "admin@example.org",
//         "dmflags": 0, "dmflags2": 0,
//         "players": [{"name": "Cyb", "frags": 12, "ping": 48, "level": 3, "time": 15}],
//         "scorecard": 0,       // the master list's flag byte
//         "marker": 0,          // the master list's entry marker (101 ends the list early)
//         "port": 0,            // fixed port; default from --base-port, else any free port
//         "delay_ms": 25.5,     // reply delay, fractions allowed
//         "silent": false,      // never answer a query
//         "closed": false,      // listed, but nothing listens on its port
//         "reply_code": 5560020,   // answer with another message code
//         "truncate_reply": 40     // send only the first N bytes of the reply
//       }
//     ]
//   }
//
// Values may exceed what the launcher keeps (more than 16 players, more than 4
// PWADs, texts past 127 characters) so its limits can be exercised; the hard
// bounds are those of the wire: counts and bytes 0..255, shorts -32768..32767,
// texts up to 4096 characters, and a reply that fits one UDP datagram.

struct ScenarioServer {
    ServerInfo info;
    int scorecard = 0;
    int marker = 0;
    uint16_t port = 0;
    double delayMs = 0;
    bool silent = false;
    bool closed = false;
    std::optional<int32_t> replyCode;
    std::optional<int32_t> truncateReply;
};

struct ScenarioMaster {
    std::optional<uint16_t> port;
    bool silent = false;
    double delayMs = 0;
};

struct Scenario {
    ScenarioMaster master;
    std::vector<ScenarioServer> servers;
};

inline constexpr size_t kMaxScenarioText = 4096;
inline constexpr double kMaxDelayMs = 60000;

// Parses a scenario from JSON text. Returns false and a message naming the
// offending key (e.g. "servers[2].players[0].frags: ...") on any error.
bool parseScenario(std::string_view json, Scenario& out, std::string& error);

// Reads and parses a scenario file.
bool loadScenarioFile(const std::string& path, Scenario& out, std::string& error);
