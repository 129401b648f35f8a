// Runs pellrig-cli against pellrig-sim on loopback, in a temporary working
// folder, as a user would.

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "sim_process.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// The lines of `text`, in no order.
std::set<std::string> linesOf(const std::string& text) {
    std::set<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.insert(line);
    }
    return lines;
}

class PellrigCli : public testing::Test {
  protected:
    PellrigCli() { fs::create_directories(work); }

    // Runs pellrig-cli to its end in `in`, the work folder unless given, its
    // standard error mixed in unless told otherwise.
    ProgramRun cli(const std::vector<std::string>& arguments, const fs::path& in = {},
                   ChildProcess::Output output = ChildProcess::Output::StdoutAndStderr) {
        return runToEnd(PELLRIG_CLI_PATH, arguments, output, (in.empty() ? work : in).string());
    }

    // The JSON on standard output of a run that succeeds.
    json jsonOf(const std::vector<std::string>& arguments) {
        const ProgramRun r = cli(arguments, {}, ChildProcess::Output::StdoutOnly);
        EXPECT_EQ(r.exitCode, 0) << r.output;
        return json::parse(r.output, nullptr, false);
    }

    // A working folder where no settings file can be written: a folder stands in its place.
    fs::path blocked() {
        fs::create_directories(folder.path() / "blocked" / "pellrig32.cfg");
        return folder.path() / "blocked";
    }

    TempDir folder;
    const fs::path work = folder.path() / "work";
};

TEST_F(PellrigCli, ListAndQueryShowEightBitTextsInUtf8AndReportUnknownCodes) {
    // The simulator sends each of these characters as its Latin-1 byte, as a
    // real server does; the output shows them in UTF-8, JSON included.
    const std::string scenario = R"({"servers": [
        {"name": "Über Arena", "map": "MÄP01", "game": "Dööm", "iwad": "dôom2.wad", "pwads": ["ñ.wad"],
         "url": "http://é.example", "email": "ç@example.org", "max_players": 8,
         "players": [{"name": "Jürgen", "ping": 40, "level": 3}]},
        {"name": "Wrong Code", "reply_code": 1353}]})";
    SimProcess sim({"--scenario", folder.write("scenario.json", scenario)});
    ASSERT_EQ(sim.servers.size(), 2u);

    const json list = jsonOf({"list", "--master", sim.master, "--json"});
    ASSERT_EQ(list.size(), 2u);
    std::string keys;  // in the order of their names
    for (const auto& item : list[0].items()) {
        keys += item.key() + " ";
    }
    EXPECT_EQ(
        keys,
        "address dmflags dmflags2 email game_name game_type has_pwads index iwad map max_players missing "
        "name num_players num_pwads ping players pwads ready row scorecard url ");
    // Each server in its place; the one that never answers as expected shows as such.
    EXPECT_EQ(json({list[0]["index"], list[0]["address"], list[1]["index"], list[1]["address"],
                    list[1]["name"], list[1]["row"][6]}),
              json({0, sim.servers[0], 1, sim.servers[1], "", "***"}));
    const json& server = list[0];
    EXPECT_EQ(json({server["name"], server["map"], server["game_name"], server["iwad"], server["pwads"],
                    server["url"], server["email"], server["players"][0]["name"], server["row"][0],
                    server["missing"]}),
              json::parse(R"(["Über Arena", "MÄP01", "Dööm", "dôom2.wad", ["ñ.wad"], "http://é.example",
                              "ç@example.org", "Jürgen", "Über Arena", ["dôom2.wad", "ñ.wad"]])"));
    EXPECT_FALSE(list[1].contains("ready"));

    // The plain table's columns line up by characters rather than bytes; the
    // first server's address shows here as A, its measured ping as P.
    std::string table = cli({"list", "--master", sim.master}, {}, ChildProcess::Output::StdoutOnly).output;
    const size_t address = table.find(sim.servers[0]);
    const size_t wads = table.find("ñ.wad  ");
    ASSERT_TRUE(address != std::string::npos && wads < address) << table;
    const size_t ping = wads + std::string("ñ.wad  ").size();
    table.replace(address, sim.servers[0].size(), "A");
    table.replace(ping, table.find('\n', ping) - ping, "P");
    EXPECT_EQ(table,
              "Server Name  Players  Game  Type        Map    Wads   Ping\n"
              "Über Arena   1/8      Dööm  Deathmatch  MÄP01  ñ.wad  P\n"
              "                                                      ***\n"
              "\n"
              "Über Arena (A)\n"
              "  Level  Name                             Frags/Kills  Ping   Time\n"
              "  3      Jürgen                                     0    40      0\n");

    // One server queried by hand: its answer, or no answer marked as such,
    // with the unknown code on standard error beside its sender.
    EXPECT_EQ(jsonOf({"query", sim.servers[0], "--json"}).at(0)["name"], "Über Arena");
    const ProgramRun odd = cli({"query", sim.servers[1], "--timeout-ms", "300"});
    EXPECT_EQ(odd.exitCode, 0) << odd.output;
    EXPECT_NE(odd.output.find("***\n"), std::string::npos) << odd.output;
    EXPECT_NE(odd.output.find(sim.servers[1]), std::string::npos) << odd.output;
}

TEST_F(PellrigCli, FastListFillsEveryRecordAsThePacedSweepDoesAndReadyListsTheJoinable) {
    SimProcess sim({"--generate", "30", "--seed", "18", "--silent-fraction", "0.2", "--delay-max-ms", "40"});
    for (const char* wad : {"doom2.wad", "freedoom2.wad", "dwango5.wad", "av.wad"}) {
        folder.write(std::string("wads/") + wad, "WAD");
    }
    ASSERT_EQ(cli({"wads", "scan", (folder.path() / "wads").string(), "--save"}).exitCode, 0);
    json paced = jsonOf({"list", "--master", sim.master, "--json"});
    json fast = jsonOf({"list", "--master", sim.master, "--json", "--fast"});
    ASSERT_EQ(paced.size(), sim.servers.size());
    json ready = json::array();
    for (const json& server : paced) {
        if (server.value("ready", false)) {
            ready.push_back(server["address"]);
        }
    }
    json listedReady = json::array();
    for (const json& server : jsonOf({"list", "--master", sim.master, "--json", "--ready"})) {
        listedReady.push_back(server["address"]);
    }
    EXPECT_FALSE(ready.empty());
    EXPECT_EQ(listedReady, ready);

    // Favourites in the player's order, one the master does not list queried too.
    SimProcess unlisted({"--generate", "1"});
    folder.write("work/pellrig.json", json({{"favourites", {unlisted.servers[0], sim.servers[4]}}}).dump());
    json favourites = json::array();
    for (const json& server : jsonOf({"list", "--master", sim.master, "--json", "--favourites", "--fast"})) {
        favourites.push_back({server["address"], server["ping"] != 9999});
    }
    EXPECT_EQ(favourites, json::array({json::array({unlisted.servers[0], true}),
                                       json::array({sim.servers[4], paced[4]["ping"] != 9999})}));
    // Only the measured pings may differ, and the silent servers are the same;
    // each ping becomes whether the server was silent.
    int silentCount = 0;
    for (json* list : {&paced, &fast}) {
        for (json& server : *list) {
            const bool silent = server["ping"] == 9999;
            EXPECT_EQ(server["row"][6] == "***", silent) << server.dump();
            silentCount += silent ? 1 : 0;
            server["ping"] = silent;
            server["row"][6] = silent;
        }
    }
    EXPECT_GT(silentCount, 0);
    EXPECT_EQ(fast, paced);
}

TEST_F(PellrigCli, ExitCodesTellHowACommandEnded) {
    SimProcess silent(
        {"--scenario", folder.write("silent.json", R"({"master": {"silent": true}, "servers": []})")});
    SimProcess newer({"--protocol-version", "105"});
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
    } cases[] = {
        {{"--help"}, 0},
        {{"query", "no-port-here"}, 2},
        {{"query", ":10666"}, 2},
        {{"query", silent.master, "--timeout-ms", "-1"}, 2},
        // Names refused before anything is sent: too long, or a character with no Latin-1 byte.
        {{"login", "--user", std::string(17, 'u'), "--password", "y", "--master", newer.master}, 2},
        {{"login", "--user", "Łukasz", "--password", "y", "--master", newer.master}, 2},
        {{"list", "--master", silent.master, "--timeout-ms", "300"}, 3},
        {{"lookup", "alice", "--master", silent.master, "--timeout-ms", "200"}, 3},
        {{"recent", "--master", silent.master, "--timeout-ms", "200"}, 3},
        {{"login", "--timeout-ms", "200", "--user", "alice", "--password", "x", "--master", silent.master},
         4},
        {{"login", "--user", "alice", "--password", "wonderland", "--master", newer.master}, 10},
    };
    for (const auto& test : cases) {
        const ProgramRun r = cli(test.arguments);
        EXPECT_EQ(r.exitCode, test.exitCode) << testing::PrintToString(test.arguments) << "\n" << r.output;
    }
}

TEST_F(PellrigCli, LoginLookupAndRecentShowTheMastersAnswersInUtf8) {
    SimProcess sim({});
    EXPECT_EQ(
        jsonOf({"login", "--user", "Gaffer", "--password", "loupgarou", "--master", sim.master, "--json"}),
        (json{{"rank", 2}, {"level", 5}, {"experience", 5200}, {"highestRank", 2}, {"accountLevel", 2}}));
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
    EXPECT_EQ(cli({"recent", "--master", sim.master}).output, name + "\nGaffer\nCyb\nalice\nimp\n");
    EXPECT_EQ(jsonOf({"recent", "--master", sim.master, "--json"}),
              (json{name, "Gaffer", "Cyb", "alice", "imp"}));
    EXPECT_EQ(jsonOf({"lookup", name, "--master", sim.master, "--json"})["name"], name);
    const ProgramRun r = cli({"lookup", "Zoë", "--master", sim.master});
    EXPECT_EQ(json({r.exitCode.value_or(-1), r.output}), json({4, "No information found for Zoë\n"}));
}

TEST_F(PellrigCli, WadScanSavesTheFoldersForConfigToShow) {
    folder.write("wads/doom/deep/doom2.wad", "IWAD");
    folder.write("wads/free/freedoom1.wad", "IWAD");
    const std::string root = (folder.path() / "wads").string();
    const std::set<std::string> found{root + "/doom/deep/", root + "/free/"};
    const ProgramRun r = cli({"wads", "scan", root});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(linesOf(r.output), found);
    EXPECT_FALSE(fs::exists(work / "pellrig32.cfg")) << "saved without --save";

    // The saved directories stay when the settings are made unattended.
    ASSERT_EQ(cli({"wads", "scan", root, "--save"}).exitCode, 0);
    ASSERT_EQ(cli({"config", "unattended", "--user", "alice", "--password", "wonderland"}).exitCode, 0);
    EXPECT_EQ(
        linesOf(cli({"config", "show"}).output),
        (std::set<std::string>{"bv_rememberpassword=1", "bv_username=alice", "bv_password=***",
                               "bv_extraparams=", "bv_serverpassword=", "bv_lastarticleno=0", "bv_shownews=0",
                               "bv_autologin=1", "bv_firstrun=0", "wad_directory=" + root + "/doom/deep/",
                               "wad_directory=" + root + "/free/"}));

    EXPECT_EQ(cli({"wads", "scan", root, "--save"}, blocked()).exitCode, 1);
}

TEST_F(PellrigCli, JoinLogsInWithTheSettingsAndPreparesTheGame) {
    folder.write("wads/doom2.wad", "IWAD");
    folder.write("work/brumvek.exe", "stand-in");
    // A settings file as the program keeps it, its texts in Latin-1: remembered
    // user "Jürgen" with password "päss", extra parameters "+set Ärger 1", no
    // server password, news on, first run over, and one WAD directory.
    using namespace std::string_literals;
    folder.write("work/pellrig32.cfg", "\x68\x01"s + "J\xFCrgen\0p\xE4ss\0+set \xC4rger 1\0\0"s +
                                           "\x00\x01\x00\x00"s + "\x01\x00\x00\x00"s + "\x01\x00\x00"s +
                                           (folder.path() / "wads").string() + "/\0\0"s);
    const std::string shown = cli({"config", "show"}).output;
    EXPECT_NE(shown.find("\nbv_username=Jürgen\nbv_password=***\nbv_extraparams=+set Ärger 1\n"),
              std::string::npos)
        << shown;

    // An empty PWAD on the simulator's WAD site.
    folder.write("site/gone.wad", "PWAD\0\0\0\0\x0c\0\0\0"s);
    SimProcess sim({"--scenario", folder.write("scenario.json", R"({"servers": [
        {"name": "Join Me", "iwad": "doom2.wad"},
        {"name": "Needs More", "iwad": "doom2.wad", "pwads": ["gone.wad"]},
        {"name": "Quiet", "silent": true}]})"),
                    "--wad-site", (folder.path() / "site").string()});
    ASSERT_EQ(sim.servers.size(), 3u);
    const auto join = [&](const std::string& server, std::vector<std::string> more = {}) {
        more.insert(more.begin(), {"join", server, "--master", sim.master, "--dry-run"});
        return cli(more);
    };
    // The remembered credentials are the bytes the account was made with from
    // UTF-8 arguments, and the game's command line shows in UTF-8.
    ASSERT_EQ(
        cli({"login", "--create", "--user", "Jürgen", "--password", "päss", "--master", sim.master}).exitCode,
        0);
    ProgramRun r = join(sim.servers[0]);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find(" +set Ärger 1 +name \"Jürgen\"\n"), std::string::npos) << r.output;

    EXPECT_EQ(join(sim.servers[1]).exitCode, 5) << "started without a WAD the server needs";
    EXPECT_EQ(join(sim.servers[1], {"--fetch"}).exitCode, 8) << "fetched without a site";
    r = join(sim.servers[1], {"--fetch", "--site", "http://" + sim.news + "/wads/{name}"});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("wads/gone.wad\n"), std::string::npos) << r.output;
    EXPECT_TRUE(fs::exists(folder.path() / "wads" / "gone.wad"));
    // A refusal is told once, in the master's words.
    r = join(sim.servers[0], {"--user", "alice", "--password", "not-the-password"});
    EXPECT_EQ(json({r.exitCode.value_or(-1), r.output}), json({4, "Invalid Password\n"}));
    r = join(sim.servers[2]);
    EXPECT_EQ(json({r.exitCode.value_or(-1), r.output}),
              json({7, "pellrig-cli: no answer from the game server " + sim.servers[2] + "\n"}));
}

TEST_F(PellrigCli, NewsAnnouncesANewArticleOnceAndSavesItsNumber) {
    std::string host;
    {
        SimProcess sim({"--news-port", "0", "--news-article", "7"});
        host = sim.news;
        ASSERT_FALSE(host.empty());
        ProgramRun r = cli({"news", "--news", host, "--save"});
        ASSERT_EQ(json({r.exitCode.value_or(-1), r.output}), json({0, "announce 7\n"}));
        // The saved number is the one the next check compares with.
        EXPECT_EQ(cli({"news", "--news", host}).output, "nothing to announce\n");

        // The check itself succeeds where the settings cannot be saved; only
        // keeping the article number fails.
        r = cli({"news", "--news", host, "--save"}, blocked());
        EXPECT_EQ(r.exitCode, 1) << r.output;
        EXPECT_NE(r.output.find("announce 7\n"), std::string::npos) << r.output;
    }
    // The server is gone: the connection is refused and reported.
    const ProgramRun r = cli({"news", "--news", host});
    EXPECT_EQ(r.exitCode, 6) << r.output;
    EXPECT_FALSE(r.output.empty());
}

}  // namespace
