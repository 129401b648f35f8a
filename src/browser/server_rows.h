#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "browser/row_view.h"
#include "browser/server_table.h"

// How records show in the server list and the player list.

inline constexpr std::string_view kSilentPingText = "***";

std::string playersText(int numPlayers, int maxPlayers);  // "%d/%d"
// "Deathmatch", "Teamplay" or "Cooperative"; none for any other game type.
std::optional<std::string> gameTypeText(int gameType);
// Empty without PWADs, the one name when fewer than two are stored, else "*%d files".
std::string wadsText(const ServerRecord& record);
std::string numberText(int value);  // "%d"

// Sets the cells of the record's row from the record. The Type cell keeps its
// text when the game type is not one of the three known ones.
void showServerRow(const ServerRecord& record, RowView& serverList, int row);

// The index of the selected row's record, or none when no row is selected or
// its item data is not a valid record. Caller holds lockBrowser().
std::optional<int> selectedServerIndex(const RowView& serverList);

// Empties the player list and, when a server is selected, fills it with that
// record's in-use player slots in slot order. Caller holds lockBrowser().
void showSelectedPlayers(const RowView& serverList, RowView& playerList);
