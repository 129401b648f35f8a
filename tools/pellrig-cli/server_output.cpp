#include "server_output.h"

#include <algorithm>
#include <array>

#include "latin1_text.h"

namespace {

constexpr std::array<const char*, 7> kServerTitles{"Server Name", "Players", "Game", "Type",
                                                   "Map",         "Wads",    "Ping"};

nlohmann::json playersJson(const ServerRecord& record) {
    nlohmann::json players = nlohmann::json::array();
    for (const PlayerInfo& player : record.players) {
        if (player.present <= 0) {
            continue;
        }
        players.push_back({{"name", utf8FromLatin1(player.name)},
                           {"frags", player.frags},
                           {"ping", player.ping},
                           {"level", player.level},
                           {"time", player.time}});
    }
    return players;
}

// A row's cell as the terminal and JSON show it.
std::string cell(const std::vector<std::string>& row, size_t column) {
    return column < row.size() ? utf8FromLatin1(row[column]) : std::string();
}

// `text` left-aligned in `width` characters; printf's field widths count bytes.
void printPadded(std::FILE* out, const std::string& text, size_t width) {
    std::fprintf(out, "%s%*s", text.c_str(), static_cast<int>(width - std::min(width, utf8Length(text))), "");
}

}  // namespace

nlohmann::json serverJson(const ListedServer& server) {
    const ServerRecord& r = server.record;
    nlohmann::json pwads = nlohmann::json::array();
    for (int i = 0; i < std::clamp(r.num_pwads, 0, kMaxPwads); ++i) {
        pwads.push_back(utf8FromLatin1(r.pwads[i]));
    }
    nlohmann::json row = nlohmann::json::array();
    for (size_t column = 0; column < kServerTitles.size(); ++column) {
        row.push_back(cell(server.row, column));
    }
    nlohmann::json json = {{"index", server.index},
                           {"address", utf8FromLatin1(r.address)},
                           {"name", utf8FromLatin1(r.name)},
                           {"ping", r.ping},
                           {"num_players", r.num_players},
                           {"max_players", r.max_players},
                           {"map", utf8FromLatin1(r.map)},
                           {"game_name", utf8FromLatin1(r.game_name)},
                           {"game_type", r.game_type},
                           {"iwad", utf8FromLatin1(r.iwad)},
                           {"pwads", pwads},
                           {"num_pwads", r.num_pwads},
                           {"has_pwads", r.has_pwads},
                           {"scorecard", r.scorecard},
                           {"url", utf8FromLatin1(r.url)},
                           {"email", utf8FromLatin1(r.email)},
                           {"dmflags", r.dmflags},
                           {"dmflags2", r.dmflags2},
                           {"players", playersJson(r)},
                           {"row", row}};
    if (server.missing) {
        json["ready"] = server.missing->empty();
        nlohmann::json missing = nlohmann::json::array();
        for (const std::string& name : *server.missing) {
            missing.push_back(utf8FromLatin1(name));
        }
        json["missing"] = missing;
    }
    return json;
}

nlohmann::json serversJson(const std::vector<ListedServer>& servers) {
    nlohmann::json list = nlohmann::json::array();
    for (const ListedServer& server : servers) {
        list.push_back(serverJson(server));
    }
    return list;
}

void printServerTable(std::FILE* out, const std::vector<ListedServer>& servers) {
    std::array<size_t, kServerTitles.size()> widths{};
    for (size_t column = 0; column < widths.size(); ++column) {
        widths[column] = std::string(kServerTitles[column]).size();
        for (const ListedServer& server : servers) {
            widths[column] = std::max(widths[column], utf8Length(cell(server.row, column)));
        }
    }
    const auto printRow = [&](const auto& text) {
        for (size_t column = 0; column + 1 < widths.size(); ++column) {
            printPadded(out, text(column), widths[column] + 2);
        }
        std::fprintf(out, "%s\n", text(widths.size() - 1).c_str());
    };
    printRow([](size_t column) { return std::string(kServerTitles[column]); });
    for (const ListedServer& server : servers) {
        printRow([&](size_t column) { return cell(server.row, column); });
    }
    for (const ListedServer& server : servers) {
        const nlohmann::json players = playersJson(server.record);
        if (players.empty()) {
            continue;
        }
        std::fprintf(out, "\n%s (%s)\n", cell(server.row, 0).c_str(), server.record.address);
        std::fprintf(out, "  %-6s %-32s %11s %5s %6s\n", "Level", "Name", "Frags/Kills", "Ping", "Time");
        for (const auto& p : players) {
            // As in the player list, the level shows only for a player with a ping.
            const int ping = p["ping"].get<int>();
            const std::string level = ping != 0 ? std::to_string(p["level"].get<int>()) : std::string();
            std::fprintf(out, "  %-6s ", level.c_str());
            printPadded(out, p["name"].get<std::string>(), 32);
            std::fprintf(out, " %11d %5d %6d\n", p["frags"].get<int>(), ping, p["time"].get<int>());
        }
    }
}
