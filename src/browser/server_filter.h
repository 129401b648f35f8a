#pragma once

#include <string>

#include "browser/server_table.h"

// What the filter bar asks of a server before its row shows.
struct ServerFilter {
    std::string text;  // Latin-1; found, ignoring case, in a name, map, game, WAD or player name
    bool hideEmpty = false;
    bool hideFull = false;
    bool hideSilent = false;  // servers the last sweep marked silent
    int gameType = kAnyGameType;

    static constexpr int kAnyGameType = -1;  // else a ServerRecord game_type: 0, 1 or 2

    // Whether anything is asked at all; an inactive filter shows every row.
    bool active() const;
};

// Whether `record` passes `filter`. A server that has never answered has
// nothing to match: it passes only a filter that asks nothing of its state
// (no text, no empty, full or game type check). Caller holds lockBrowser().
bool serverPasses(const ServerFilter& filter, const ServerRecord& record);
