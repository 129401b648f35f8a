// Runs pellrig-cli against pellrig-sim on loopback, as a user would.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include "child_process.h"
#include "sim_process.h"

namespace {

using namespace std::chrono_literals;
using nlohmann::json;

ProgramRun run(const std::string& program, const std::vector<std::string>& arguments,
               ChildProcess::Output output = ChildProcess::Output::StdoutOnly) {
    return runToEnd(program, arguments, output);
}

// A simulator playing `scenario`, with the addresses of its servers.
struct Sim : SimProcess {
    explicit Sim(const std::string& scenario) : SimProcess({"--scenario", scenario, "--print-servers"}) {
        EXPECT_FALSE(master.empty());
    }
};

std::string writeScenario(const json& scenario) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("pellrig_cli_test_" + std::to_string(::getpid()) + "_" +
                       testing::UnitTest::GetInstance()->current_test_info()->name() + ".json");
    std::ofstream(path) << scenario.dump();
    return path.string();
}

json listJson(const std::string& master) {
    const ProgramRun r = run(PELLRIG_CLI_PATH, {"list", "--master", master, "--json"});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    return json::parse(r.output, nullptr, false);
}

TEST(PellrigCli, ListSweepsTheDefaultScenario) {
    std::ifstream file(PELLRIG_DEFAULT_SCENARIO);
    const json scenario = json::parse(file);
    Sim sim(PELLRIG_DEFAULT_SCENARIO);
    const json list = listJson(sim.master);
    ASSERT_TRUE(list.is_array());
    ASSERT_EQ(list.size(), scenario["servers"].size());

    const std::set<std::string> keys{"index",       "address",   "name",      "ping",      "num_players",
                                     "max_players", "map",       "game_name", "game_type", "iwad",
                                     "pwads",       "num_pwads", "has_pwads", "scorecard", "url",
                                     "email",       "dmflags",   "dmflags2",  "players",   "row"};
    for (size_t i = 0; i < list.size(); ++i) {
        const json& server = list[i];
        const json& expected = scenario["servers"][i];
        std::set<std::string> present;
        for (const auto& [key, value] : server.items()) {
            present.insert(key);
        }
        EXPECT_EQ(present, keys);
        EXPECT_EQ(server["index"], i);
        EXPECT_EQ(server["address"], sim.servers[i]);
        ASSERT_EQ(server["row"].size(), 7u);
        if (expected.value("silent", false)) {
            EXPECT_EQ(server["ping"], 9999);
            EXPECT_EQ(server["row"][6], "***");
            continue;
        }
        EXPECT_EQ(server["name"], expected["name"]);
        EXPECT_EQ(server["row"][0], expected["name"]);
        EXPECT_EQ(server["iwad"], expected["iwad"]);
        // The reply comes no sooner than the server's delay.
        EXPECT_GE(server["ping"].get<int>(), static_cast<int>(expected.value("delay_ms", 0.0)));
        EXPECT_EQ(server["row"][6], std::to_string(server["ping"].get<int>()));
        const size_t players = std::min<size_t>(expected.value("players", json::array()).size(), 16);
        EXPECT_EQ(server["players"].size(), players);
    }
}

TEST(PellrigCli, ListShowsTheServerTableInPlainText) {
    Sim sim(writeScenario(
        {{"servers",
          {{{"name", "Plain Text Arena"},
            {"map", "MAP01"},
            {"max_players", 8},
            {"game_type", "teamplay"},
            {"game", "Doom II"},
            {"iwad", "doom2.wad"},
            {"pwads", {"a.wad", "", "b.wad"}},
            {"players", {{{"name", "Cyb"}, {"frags", 3}, {"ping", 0}, {"level", 2}, {"time", 9}}}}}}}}));
    const ProgramRun r = run(PELLRIG_CLI_PATH, {"list", "--master", sim.master});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("Server Name"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Plain Text Arena  1/8"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Teamplay"), std::string::npos);
    EXPECT_NE(r.output.find("*2 files"), std::string::npos);
    EXPECT_NE(r.output.find("Cyb"), std::string::npos);
}

// Where `needle` starts in `line`, counted in characters of UTF-8.
size_t characterColumn(const std::string& line, const std::string& needle) {
    const size_t at = line.find(needle);
    EXPECT_NE(at, std::string::npos) << needle << " in " << line;
    return static_cast<size_t>(
        std::count_if(line.begin(), line.begin() + static_cast<ptrdiff_t>(at),
                      [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

TEST(PellrigCli, EightBitTextsComeOutInUtf8) {
    // The simulator sends each of these characters as its Latin-1 byte, as a
    // real server does; the output shows them in UTF-8, JSON included.
    Sim sim(writeScenario({{"servers",
                            {{{"name", "Über Arena"},
                              {"map", "MÄP01"},
                              {"game", "Dööm"},
                              {"iwad", "dôom2.wad"},
                              {"pwads", {"ñ.wad"}},
                              {"url", "http://é.example"},
                              {"email", "ç@example.org"},
                              {"max_players", 8},
                              {"players", {{{"name", "Jürgen"}, {"ping", 40}, {"level", 3}}}}}}}}));
    ASSERT_EQ(sim.servers.size(), 1u);

    const json list = listJson(sim.master);
    ASSERT_EQ(list.size(), 1u);
    const json& server = list[0];
    EXPECT_EQ(server["name"], "Über Arena");
    EXPECT_EQ(server["map"], "MÄP01");
    EXPECT_EQ(server["game_name"], "Dööm");
    EXPECT_EQ(server["iwad"], "dôom2.wad");
    EXPECT_EQ(server["pwads"], json{"ñ.wad"});
    EXPECT_EQ(server["url"], "http://é.example");
    EXPECT_EQ(server["email"], "ç@example.org");
    ASSERT_EQ(server["players"].size(), 1u);
    EXPECT_EQ(server["players"][0]["name"], "Jürgen");
    EXPECT_EQ(server["row"], (json{"Über Arena", "1/8", "Dööm", "Deathmatch", "MÄP01", "ñ.wad",
                                   std::to_string(server["ping"].get<int>())}));

    // The plain table shows the same characters, its columns aligned by
    // characters rather than bytes.
    const ProgramRun plain = run(PELLRIG_CLI_PATH, {"list", "--master", sim.master});
    ASSERT_EQ(plain.exitCode, 0);
    std::vector<std::string> lines;
    std::istringstream stream(plain.output);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 6u) << plain.output;
    const std::string& header = lines[0];
    const std::string& row = lines[1];
    ASSERT_EQ(row.rfind("Über Arena", 0), 0u) << plain.output;
    EXPECT_EQ(characterColumn(row, "1/8"), characterColumn(header, "Players"));
    EXPECT_EQ(characterColumn(row, "Dööm"), characterColumn(header, "Game"));
    EXPECT_EQ(characterColumn(row, "Deathmatch"), characterColumn(header, "Type"));
    EXPECT_EQ(characterColumn(row, "ñ.wad"), characterColumn(header, "Wads"));
    EXPECT_EQ(lines[3].rfind("Über Arena (", 0), 0u) << plain.output;
    EXPECT_NE(lines[5].find(" Jürgen "), std::string::npos) << plain.output;
    EXPECT_EQ(characterColumn(lines[5] + "|", "|"), characterColumn(lines[4] + "|", "|")) << plain.output;
}

TEST(PellrigCli, QueryAnswersOrMarksTheServerSilent) {
    // The name comes as Latin-1 and goes out in UTF-8, as in a list.
    Sim sim(writeScenario({{"servers",
                            {{{"name", "Änswers"}, {"map", "E1M1"}, {"delay_ms", 5}},
                             {{"name", "Never"}, {"silent", true}}}}}));
    ASSERT_EQ(sim.servers.size(), 2u);

    ProgramRun r = run(PELLRIG_CLI_PATH, {"query", sim.servers[0], "--json"});
    ASSERT_EQ(r.exitCode, 0);
    json list = json::parse(r.output);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["name"], "Änswers");
    EXPECT_EQ(list[0]["row"][4], "E1M1");

    // By host name: the answer still finds the record.
    const std::string port = sim.servers[0].substr(sim.servers[0].find(':'));
    r = run(PELLRIG_CLI_PATH, {"query", "localhost" + port, "--json"});
    ASSERT_EQ(r.exitCode, 0);
    list = json::parse(r.output);
    EXPECT_EQ(list[0]["name"], "Änswers");
    EXPECT_EQ(list[0]["row"][0], "Änswers");

    r = run(PELLRIG_CLI_PATH, {"query", sim.servers[1], "--json", "--timeout-ms", "300"});
    ASSERT_EQ(r.exitCode, 0);
    list = json::parse(r.output);
    EXPECT_EQ(list[0]["ping"], 9999);
    EXPECT_EQ(list[0]["row"][6], "***");
    EXPECT_EQ(list[0]["row"][0], sim.servers[1].substr(0, sim.servers[1].find(':')));
}

TEST(PellrigCli, OddRepliesAreReportedOrStoredAsRead) {
    json servers = {{{"name", "Wrong Code"}, {"reply_code", 1353}},
                    {{"name", "Cut Short"}, {"map", "MAP02"}, {"truncate_reply", 17}}};
    for (int i = 0; i < 12; ++i) {
        servers.push_back({{"name", "Noise"}, {"reply_code", 4242}});
    }
    servers.push_back({{"name", "Honest"}, {"map", "MAP07"}});
    Sim sim(writeScenario({{"servers", servers}}));
    ASSERT_EQ(sim.servers.size(), 15u);
    const ProgramRun r =
        run(PELLRIG_CLI_PATH, {"list", "--master", sim.master}, ChildProcess::Output::StdoutAndStderr);
    ASSERT_EQ(r.exitCode, 0);
    // The unknown code is reported with its sender, and that server stays silent;
    // the ones after it within the next 20 seconds are not reported at all.
    EXPECT_NE(r.output.find("BV_RunTics: Unknown cmd: 1353 (" + sim.servers[0] + ")"), std::string::npos)
        << r.output;
    size_t reports = 0;
    for (size_t at = r.output.find("Unknown cmd"); at != std::string::npos;
         at = r.output.find("Unknown cmd", at + 1)) {
        ++reports;
    }
    EXPECT_EQ(reports, 1u) << r.output;
    EXPECT_NE(r.output.find("***"), std::string::npos);
    const size_t honest = r.output.find("Honest");
    ASSERT_NE(honest, std::string::npos) << r.output;
    EXPECT_EQ(r.output.substr(honest, r.output.find('\n', honest) - honest).find("***"), std::string::npos);
    // The reply that ends early keeps what it held: name and a short of players.
    EXPECT_NE(r.output.find("Cut Short"), std::string::npos) << r.output;
}

TEST(PellrigCli, ExitCodesForNoMasterAndBadUsage) {
    // A port nobody answers on: the silent master of a scenario.
    Sim sim(writeScenario({{"master", {{"silent", true}}}, {"servers", json::array()}}));
    ProgramRun r = run(PELLRIG_CLI_PATH, {"list", "--master", sim.master, "--timeout-ms", "300"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.output, "");

    EXPECT_EQ(run(PELLRIG_CLI_PATH, {}).exitCode, 2);
    EXPECT_EQ(run(PELLRIG_CLI_PATH, {"list", "--bogus"}).exitCode, 2);
    EXPECT_EQ(run(PELLRIG_CLI_PATH, {"query"}).exitCode, 2);
    EXPECT_EQ(run(PELLRIG_CLI_PATH, {"query", "no-port-here"}).exitCode, 2);
    EXPECT_EQ(run(PELLRIG_CLI_PATH, {"query", sim.master, "--timeout-ms", "-1"}).exitCode, 2);
    const ProgramRun empty =
        run(PELLRIG_CLI_PATH, {"query", ":10666"}, ChildProcess::Output::StdoutAndStderr);
    EXPECT_EQ(empty.exitCode, 2);
    EXPECT_EQ(empty.output, "Error Time!: You have to enter a server name or IP address.\n");
    EXPECT_EQ(run(PELLRIG_CLI_PATH, {"--help"}).exitCode, 0);
}

}  // namespace
