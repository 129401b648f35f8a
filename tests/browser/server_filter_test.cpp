#include "browser/server_filter.h"

#include <gtest/gtest.h>

#include <vector>

#include "browser/messages.h"

namespace {

ServerRecord answered(const ServerInfo& info) {
    ServerRecord record{};
    storeServerInfo(record, info);
    record.answered = true;
    return record;
}

TEST(ServerFilter, PassesWhatEveryCheckAllows) {
    ServerInfo info{
        "Caf\xC9 Arena", 3, 8, "MAP07", {"", "Gothic.WAD"}, 2, "Doom II", "doom2.wad", "", "", 0, 0, {}};
    info.players = {{"Gaffer", 1, 10, 0, 0}, {"Zo\xEB", 2, 20, 0, 0}};
    const ServerRecord coop = answered(info);
    info.num_players = 8;
    info.game_type = 0;
    const ServerRecord full = answered(info);
    info.num_players = 0;
    info.players.clear();
    const ServerRecord empty = answered(info);
    ServerRecord silent{};
    silent.ping = kSilentPing;
    ServerRecord unanswered{};
    ServerRecord askedAgain = coop;  // keeps its last reply while it is asked again
    askedAgain.answered = false;

    const auto filter = [](std::string text, bool hideEmpty, bool hideFull, bool hideSilent, int gameType) {
        return ServerFilter{std::move(text), hideEmpty, hideFull, hideSilent, gameType};
    };
    const struct {
        ServerFilter filter;
        std::vector<bool> passes;  // coop, full, empty, silent, unanswered, askedAgain
    } cases[] = {
        {filter("", false, false, false, -1), {true, true, true, true, true, true}},
        {filter("", false, false, true, -1), {true, true, true, false, true, true}},
        {filter("", true, false, false, -1), {true, true, false, false, false, true}},
        {filter("", false, true, false, -1), {true, false, true, false, false, true}},
        {filter("", false, false, false, 2), {true, false, false, false, false, true}},
        // The name, any case of its Latin-1 letters; a PWAD, the IWAD, the game, the map, a player.
        {filter("caf\xE9", false, false, false, -1), {true, true, true, false, false, true}},
        {filter("gothic", false, false, false, -1), {true, true, true, false, false, true}},
        {filter("DOOM2", false, false, false, -1), {true, true, true, false, false, true}},
        {filter("ii", false, false, false, -1), {true, true, true, false, false, true}},
        {filter("map0", false, false, false, -1), {true, true, true, false, false, true}},
        {filter("ZO\xCB", false, false, false, -1), {true, true, false, false, false, true}},
        {filter("nowhere", false, false, false, -1), {false, false, false, false, false, false}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.filter.text + " " + std::to_string(test.filter.gameType));
        EXPECT_EQ(test.filter.active(), test.passes != std::vector<bool>(6, true));
        std::vector<bool> passes;
        for (const ServerRecord* record : std::initializer_list<const ServerRecord*>{
                 &coop, &full, &empty, &silent, &unanswered, &askedAgain}) {
            passes.push_back(serverPasses(test.filter, *record));
        }
        EXPECT_EQ(passes, test.passes);
    }
}

}  // namespace
