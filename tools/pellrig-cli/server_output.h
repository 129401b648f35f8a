#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "browser/server_table.h"

// How pellrig-cli shows the server table: an aligned text table or JSON, with
// the records' 8-bit texts in UTF-8.

// One listed server: its record and the seven texts its row shows.
struct ListedServer {
    int index = 0;
    ServerRecord record{};
    std::vector<std::string> row;
    // For an answered server when asked for: its WADs the player lacks.
    std::optional<std::vector<std::string>> missing;
};

nlohmann::json serverJson(const ListedServer& server);
nlohmann::json serversJson(const std::vector<ListedServer>& servers);

// The server columns aligned under their titles, then each server's players.
void printServerTable(std::FILE* out, const std::vector<ListedServer>& servers);
