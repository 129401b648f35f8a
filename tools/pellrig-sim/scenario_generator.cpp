#include "scenario_generator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::array kHosts = {"Brumvek",   "Hellgate",      "Phobos Relay", "Deimos Lab", "UAC",
                               "Knee-Deep", "Slaughter Pit", "Nightmare",    "Crusher",    "Tech Base"};
constexpr std::array kModes = {"Duel", "FFA", "CTF", "Coop", "Survival", "LMS", "TDM", "Invasion"};
constexpr std::array kRegions = {"EU", "US East", "US West", "BR", "AU", "RU", "JP", "DE"};
constexpr std::array kPlayerNames = {
    "Cyb", "Marine",    "Revenant", "ArchVile",  "Mancubus",    "Spectre",    "Baron",       "Cacodemon",
    "Imp", "Zombieman", "Pinky",    "Lost Soul", "Chaingunner", "Mastermind", "Arachnotron", "Keen"};
constexpr std::array kPwads = {"dwango5.wad", "dwango6.wad",  "zdmcl.wad",    "skulltag.wad", "av.wad",
                               "scythe2.wad", "jptr_v40.wad", "aoddoom1.wad", "greenwar.wad", "sunder.wad"};

struct Game {
    const char* name;
    const char* iwad;
    bool episodic;
};
constexpr std::array kGames = {
    Game{"Doom II", "doom2.wad", false}, Game{"Freedoom: Phase 2", "freedoom2.wad", false},
    Game{"Freedoom: Phase 1", "freedoom1.wad", true}, Game{"The Ultimate Doom", "doom.wad", true}};

class Random {
  public:
    explicit Random(uint32_t seed) : m_engine(seed) {}

    // 0 .. bound-1; the small modulo bias does not matter here.
    uint32_t below(uint32_t bound) { return bound == 0 ? 0 : m_engine() % bound; }
    int between(int low, int high) {
        return low + static_cast<int>(below(static_cast<uint32_t>(high - low + 1)));
    }
    // A double in [0, 1) from 32 bits.
    double unit() { return m_engine() / 4294967296.0; }
    template <typename Array>
    auto pick(const Array& values) {
        return values[below(static_cast<uint32_t>(values.size()))];
    }

  private:
    std::mt19937 m_engine;
};

std::string twoDigits(int value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

ScenarioServer makeServer(Random& random, int index, const GeneratorOptions& options) {
    ScenarioServer server;
    ServerInfo& info = server.info;
    const Game game = random.pick(kGames);
    info.name = std::string(random.pick(kHosts)) + " " + random.pick(kModes) + " [" + random.pick(kRegions) +
                "] #" + std::to_string(index + 1);
    info.map = game.episodic
                   ? "E" + std::to_string(random.between(1, 4)) + "M" + std::to_string(random.between(1, 9))
                   : "MAP" + twoDigits(random.between(1, 32));
    info.game_name = game.name;
    info.iwad = game.iwad;
    info.game_type = random.between(0, 2);
    info.max_players = random.pick(std::array{4, 8, 8, 16, 16, 32});
    const int pwads = random.pick(std::array{0, 0, 0, 1, 1, 2, 3});
    for (int i = 0; i < pwads; ++i) {
        info.pwads.emplace_back(random.pick(kPwads));
    }
    info.url = "http://brumvek.example/" + std::to_string(index + 1);
    info.email = "admin" + std::to_string(index + 1) + "@brumvek.example";
    info.dmflags = static_cast<int32_t>(random.below(1u << 20));
    info.dmflags2 = static_cast<int32_t>(random.below(1u << 12));
    const int players = random.between(0, std::min(info.max_players, 16));
    for (int i = 0; i < players; ++i) {
        PlayerEntry player;
        player.name = std::string(random.pick(kPlayerNames)) + std::to_string(random.between(1, 99));
        player.frags = random.between(-3, 60);
        player.ping = random.between(0, 250);
        player.level = random.between(0, 5);
        player.time = random.between(0, 180);
        info.players.push_back(player);
    }
    info.num_players = players;
    server.scorecard = random.below(4) == 0 ? 1 : 0;
    server.delayMs = options.delayMinMs + random.unit() * (options.delayMaxMs - options.delayMinMs);
    return server;
}

}  // namespace

Scenario generateScenario(const GeneratorOptions& options) {
    Scenario scenario;
    Random random(options.seed);
    for (int i = 0; i < options.count; ++i) {
        scenario.servers.push_back(makeServer(random, i, options));
    }
    // Exactly round(count * fraction) silent servers, spread by a partial shuffle.
    std::vector<int> order(scenario.servers.size());
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<int>(i);
    }
    const auto silent =
        static_cast<size_t>(std::lround(options.count * std::clamp(options.silentFraction, 0.0, 1.0)));
    for (size_t i = 0; i < silent; ++i) {
        std::swap(order[i], order[i + random.below(static_cast<uint32_t>(order.size() - i))]);
        scenario.servers[static_cast<size_t>(order[i])].silent = true;
    }
    return scenario;
}
