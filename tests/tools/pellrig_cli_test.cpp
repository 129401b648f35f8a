// Runs pellrig-cli's browser and account commands against pellrig-sim on
// loopback, as a user would.

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "sim_process.h"

namespace {

using nlohmann::json;

// Runs pellrig-cli to its end; with `withErrors`, its standard error comes with its output.
ProgramRun cli(const std::vector<std::string>& arguments, bool withErrors = false) {
    return runToEnd(PELLRIG_CLI_PATH, arguments,
                    withErrors ? ChildProcess::Output::StdoutAndStderr : ChildProcess::Output::StdoutOnly);
}

json jsonOf(const std::vector<std::string>& arguments) {
    const ProgramRun r = cli(arguments);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    return json::parse(r.output, nullptr, false);
}

TEST(PellrigCli, ListSweepsTheDefaultScenario) {
    const json scenario = json::parse(std::ifstream(PELLRIG_DEFAULT_SCENARIO));
    SimProcess sim({"--scenario", PELLRIG_DEFAULT_SCENARIO});
    const json list = jsonOf({"list", "--master", sim.master, "--json"});
    ASSERT_EQ(list.size(), scenario["servers"].size());
    std::string keys;  // in the order of their names
    for (const auto& item : list[0].items()) {
        keys += item.key() + " ";
    }
    EXPECT_EQ(keys,
              "address dmflags dmflags2 email game_name game_type has_pwads index iwad map max_players name "
              "num_players num_pwads ping players pwads row scorecard url ");
    for (size_t i = 0; i < list.size(); ++i) {
        const json& server = list[i];
        const bool silent = scenario["servers"][i].value("silent", false);
        EXPECT_EQ(server["index"], i);
        EXPECT_EQ(server["address"], sim.servers[i]);
        EXPECT_EQ(server["name"], silent ? json("") : scenario["servers"][i]["name"]);
        EXPECT_EQ(server["row"][6], silent ? "***" : std::to_string(server["ping"].get<int>()));
    }
}

// Where `needle` starts in `line`, counted in characters of UTF-8.
size_t characterColumn(const std::string& line, const std::string& needle) {
    const size_t at = line.find(needle);
    EXPECT_NE(at, std::string::npos) << needle << " in " << line;
    return static_cast<size_t>(
        std::count_if(line.begin(), line.begin() + static_cast<ptrdiff_t>(at),
                      [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

TEST(PellrigCli, ListAndQueryShowEightBitTextsInUtf8AndReportUnknownCodes) {
    // The simulator sends each of these characters as its Latin-1 byte, as a
    // real server does; the output shows them in UTF-8, JSON included.
    const json scenario = {{"servers",
                            {{{"name", "Über Arena"},
                              {"map", "MÄP01"},
                              {"game", "Dööm"},
                              {"iwad", "dôom2.wad"},
                              {"pwads", {"ñ.wad"}},
                              {"url", "http://é.example"},
                              {"email", "ç@example.org"},
                              {"max_players", 8},
                              {"players", {{{"name", "Jürgen"}, {"ping", 40}, {"level", 3}}}}},
                             {{"name", "Wrong Code"}, {"reply_code", 1353}}}}};
    TempDir folder;
    SimProcess sim({"--scenario", folder.write("scenario.json", scenario.dump())});
    ASSERT_EQ(sim.servers.size(), 2u);

    const json list = jsonOf({"list", "--master", sim.master, "--json"});
    ASSERT_EQ(list.size(), 2u);
    const json& server = list[0];
    EXPECT_EQ(json({server["name"], server["map"], server["game_name"], server["iwad"], server["pwads"],
                    server["url"], server["email"], server["players"][0]["name"]}),
              json({"Über Arena",
                    "MÄP01",
                    "Dööm",
                    "dôom2.wad",
                    {"ñ.wad"},
                    "http://é.example",
                    "ç@example.org",
                    "Jürgen"}));
    EXPECT_EQ(server["row"], (json{"Über Arena", "1/8", "Dööm", "Deathmatch", "MÄP01", "ñ.wad",
                                   std::to_string(server["ping"].get<int>())}));

    // The plain table's columns line up by characters rather than bytes; the
    // unknown code goes to standard error with its sender.
    const ProgramRun plain = cli({"list", "--master", sim.master}, true);
    ASSERT_EQ(plain.exitCode, 0);
    EXPECT_NE(plain.output.find("BV_RunTics: Unknown cmd: 1353 (" + sim.servers[1] + ")\n"),
              std::string::npos)
        << plain.output;
    std::vector<std::string> lines;
    std::istringstream stream(plain.output);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    const auto lineStarting = [&lines](const std::string& start) {
        const auto found = std::find_if(lines.begin(), lines.end(), [&start](const std::string& line) {
            return line.rfind(start, 0) == 0;
        });
        EXPECT_NE(found, lines.end()) << start;
        return found == lines.end() ? start : *found;
    };
    const std::string header = lineStarting("Server Name");
    const std::string row = lineStarting("Über Arena ");
    EXPECT_EQ(characterColumn(row, "1/8"), characterColumn(header, "Players"));
    EXPECT_EQ(characterColumn(row, "Deathmatch"), characterColumn(header, "Type"));
    EXPECT_EQ(characterColumn(row, "ñ.wad"), characterColumn(header, "Wads"));
    EXPECT_NE(lineStarting("Über Arena (" + sim.servers[0] + ")"), "");
    EXPECT_EQ(characterColumn(lineStarting("  3 ") + "|", "|"),
              characterColumn(lineStarting("  Level") + "|", "|"))
        << plain.output;

    // One server queried by hand: its answer, or no answer marked as such.
    EXPECT_EQ(jsonOf({"query", sim.servers[0], "--json"}).at(0)["name"], "Über Arena");
    EXPECT_EQ(jsonOf({"query", sim.servers[1], "--json", "--timeout-ms", "300"}).at(0)["row"][6], "***");
}

TEST(PellrigCli, ExitCodesTellHowACommandEnded) {
    TempDir folder;
    SimProcess silent(
        {"--scenario", folder.write("silent.json", R"({"master": {"silent": true}, "servers": []})")});
    SimProcess newer({"--protocol-version", "105"});
    const std::vector<std::string> alice{"--user", "alice", "--password", "wonderland", "--master"};
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
    } cases[] = {
        {{"--help"}, 0},
        {{}, 2},
        {{"list", "--bogus"}, 2},
        {{"query", "no-port-here"}, 2},
        {{"query", ":10666"}, 2},
        {{"query", silent.master, "--timeout-ms", "-1"}, 2},
        // Names refused before anything is sent: too long, a character with no
        // Latin-1 byte, bytes that are not UTF-8.
        {{"login", "--user", std::string(17, 'u'), "--password", "y", "--master", newer.master}, 2},
        {{"login", "--user", "Łukasz", "--password", "y", "--master", newer.master}, 2},
        {{"login", "--user", "J\xFCrgen", "--password", "y", "--master", newer.master}, 2},
        {{"list", "--master", silent.master, "--timeout-ms", "300"}, 3},
        {{"lookup", "alice", "--master", silent.master, "--timeout-ms", "200"}, 3},
        {{"recent", "--master", silent.master, "--timeout-ms", "200"}, 3},
        {{"login", "--timeout-ms", "200", "--user", "alice", "--password", "x", "--master", silent.master},
         4},
        {{"login", "--user", "alice", "--password", "wonderland", "--master", newer.master}, 10},
    };
    for (const auto& test : cases) {
        const ProgramRun r = cli(test.arguments, true);
        EXPECT_EQ(r.exitCode, test.exitCode) << testing::PrintToString(test.arguments) << "\n" << r.output;
    }
}

TEST(PellrigCli, LoginLookupAndRecentShowTheMastersAnswersInUtf8) {
    SimProcess sim({});
    EXPECT_EQ(
        jsonOf({"login", "--user", "Gaffer", "--password", "loupgarou", "--master", sim.master, "--json"}),
        (json{{"rank", 2}, {"level", 5}, {"experience", 5200}, {"highestRank", 2}, {"accountLevel", 2}}));
    ProgramRun r = cli({"login", "--user", "Gaffer", "--password", "wrong", "--master", sim.master}, true);
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.output, "Invalid Password\n");
    EXPECT_EQ(
        jsonOf({"lookup", "cyb", "--master", sim.master, "--json"}),
        json::parse(R"({"name": "Cyb", "bio": "Rockets first, questions later.", "rank": 1, "highestRank": 1,
                              "level": 7, "experience": 7300, "accountLevel": 1, "rankPicture": 7, "avatar": 0,
                              "levelFloor": 7000, "levelCeiling": 8000})"));

    // 16 characters but 19 bytes of UTF-8: the log-in's limit counts the
    // Latin-1 bytes that go to the master, and the output shows them in UTF-8.
    const std::string name = "Jürgenjürgenjürg";
    ASSERT_EQ(
        cli({"login", "--create", "--user", name, "--password", "pässwörd", "--master", sim.master}).exitCode,
        0);
    ASSERT_EQ(cli({"login", "--user", name, "--password", "pässwörd", "--master", sim.master}).exitCode, 0);
    EXPECT_EQ(cli({"recent", "--master", sim.master}).output, name + "\nGaffer\nCyb\nalice\nimp\n");
    EXPECT_EQ(jsonOf({"recent", "--master", sim.master, "--json"}),
              (json{name, "Gaffer", "Cyb", "alice", "imp"}));
    EXPECT_EQ(jsonOf({"lookup", name, "--master", sim.master, "--json"})["name"], name);
    r = cli({"lookup", "Zoë", "--master", sim.master}, true);
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.output, "No information found for Zoë\n");
}

}  // namespace
