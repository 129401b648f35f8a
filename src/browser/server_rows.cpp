#include "browser/server_rows.h"

#include <cstdio>

std::string playersText(int numPlayers, int maxPlayers) {
    char text[32];
    std::snprintf(text, sizeof text, "%d/%d", numPlayers, maxPlayers);
    return text;
}

std::optional<std::string> gameTypeText(int gameType) {
    switch (gameType) {
        case 0:
            return "Deathmatch";
        case 1:
            return "Teamplay";
        case 2:
            return "Cooperative";
        default:
            return std::nullopt;
    }
}

std::string wadsText(const ServerRecord& record) {
    if (record.has_pwads <= 0) {
        return {};
    }
    if (record.num_pwads < 2) {
        return record.pwads[0];
    }
    char text[32];
    std::snprintf(text, sizeof text, "*%d files", record.num_pwads);
    return text;
}

std::string numberText(int value) {
    return std::to_string(value);
}

void showServerRow(const ServerRecord& record, RowView& serverList, int row) {
    serverList.setCell(row, column(ServerColumn::Ping), numberText(record.ping));
    serverList.setCell(row, column(ServerColumn::Name), record.name);
    serverList.setCell(row, column(ServerColumn::Players),
                       playersText(record.num_players, record.max_players));
    serverList.setCell(row, column(ServerColumn::Map), record.map);
    serverList.setCell(row, column(ServerColumn::Wads), wadsText(record));
    if (auto type = gameTypeText(record.game_type)) {
        serverList.setCell(row, column(ServerColumn::Type), std::move(*type));
    }
    serverList.setCell(row, column(ServerColumn::Game), record.game_name);
}

std::optional<int> selectedServerIndex(const RowView& serverList) {
    const std::optional<int> index = serverList.selectedItemData();
    if (!index || *index < 0 || *index >= server_count) {
        return std::nullopt;
    }
    return index;
}

void showSelectedPlayers(const RowView& serverList, RowView& playerList) {
    playerList.clear();
    const std::optional<int> index = selectedServerIndex(serverList);
    if (!index) {
        return;
    }
    const ServerRecord& record = server_table[static_cast<size_t>(*index)];
    for (int slot = 0; slot < kMaxPlayers; ++slot) {
        const PlayerInfo& player = record.players[slot];
        if (player.present <= 0) {
            continue;
        }
        const int row = playerList.insertRow(slot, slot, 0);
        playerList.setCell(row, column(PlayerColumn::Name), player.name);
        playerList.setCell(row, column(PlayerColumn::Frags), numberText(player.frags));
        playerList.setCell(row, column(PlayerColumn::Ping), numberText(player.ping));
        if (player.ping != 0) {
            playerList.setCell(row, column(PlayerColumn::Level), numberText(player.level));
        }
        playerList.setCell(row, column(PlayerColumn::Time), numberText(player.time));
    }
}
