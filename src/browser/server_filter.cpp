#include "browser/server_filter.h"

#include <algorithm>
#include <string_view>

#include "browser/latin1_case.h"

namespace {

bool containsFolded(std::string_view text, std::string_view part) {
    const auto found = std::search(text.begin(), text.end(), part.begin(), part.end(),
                                   [](char a, char b) { return foldLatin1Case(a) == foldLatin1Case(b); });
    return found != text.end();
}

bool textFound(const ServerRecord& record, std::string_view part) {
    for (const char* field : {record.name, record.map, record.game_name, record.iwad}) {
        if (containsFolded(field, part)) {
            return true;
        }
    }
    for (int i = 0; i < std::clamp(record.num_pwads, 0, kMaxPwads); ++i) {
        if (containsFolded(record.pwads[static_cast<size_t>(i)], part)) {
            return true;
        }
    }
    return std::any_of(std::begin(record.players), std::end(record.players),
                       [part](const PlayerInfo& player) {
                           return player.present == kPresent && containsFolded(player.name, part);
                       });
}

}  // namespace

bool ServerFilter::active() const {
    return !text.empty() || hideEmpty || hideFull || hideSilent || gameType != kAnyGameType;
}

bool serverPasses(const ServerFilter& filter, const ServerRecord& record) {
    if (filter.hideSilent && !record.answered && record.ping == kSilentPing) {
        return false;
    }
    const bool asksState = !filter.text.empty() || filter.hideEmpty || filter.hideFull ||
                           filter.gameType != ServerFilter::kAnyGameType;
    if (!asksState) {
        return true;
    }
    // A record keeps what an earlier reply stored while it is asked again.
    const bool known = record.answered || record.name[0] != '\0';
    if (!known) {
        return false;
    }
    if ((filter.hideEmpty && record.num_players <= 0) ||
        (filter.hideFull && record.max_players > 0 && record.num_players >= record.max_players) ||
        (filter.gameType != ServerFilter::kAnyGameType && record.game_type != filter.gameType)) {
        return false;
    }
    return filter.text.empty() || textFound(record, filter.text);
}
