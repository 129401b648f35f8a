// Runs pellrig-cli against pellrig-sim on loopback, in a temporary working
// folder, as a user would.

#include <algorithm>
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

// The lines of `text` that start with `prefix`, without it.
std::set<std::string> linesOf(const std::string& text, const std::string& prefix = {}) {
    std::set<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (line.rfind(prefix, 0) == 0) {
            lines.insert(line.substr(prefix.size()));
        }
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

// Where `needle` starts in `line`, counted in characters of UTF-8.
size_t characterColumn(const std::string& line, const std::string& needle) {
    const size_t at = line.find(needle);
    EXPECT_NE(at, std::string::npos) << needle << " in " << line;
    return static_cast<size_t>(
        std::count_if(line.begin(), line.begin() + static_cast<ptrdiff_t>(at),
                      [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

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
    EXPECT_EQ(keys,
              "address dmflags dmflags2 email game_name game_type has_pwads index iwad map max_players name "
              "num_players num_pwads ping players pwads row scorecard url ");
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(json({list[i]["index"], list[i]["address"]}), json({i, sim.servers[i]}));
    }
    // The server that never answers as expected shows as such.
    EXPECT_EQ(json({list[1]["name"], list[1]["row"][6]}), json({"", "***"}));
    const json& server = list[0];
    EXPECT_EQ(json({server["name"], server["map"], server["game_name"], server["iwad"], server["pwads"],
                    server["url"], server["email"], server["players"][0]["name"]}),
              json::parse(R"(["Über Arena", "MÄP01", "Dööm", "dôom2.wad", ["ñ.wad"], "http://é.example",
                              "ç@example.org", "Jürgen"])"));
    EXPECT_EQ(server["row"], (json{"Über Arena", "1/8", "Dööm", "Deathmatch", "MÄP01", "ñ.wad",
                                   std::to_string(server["ping"].get<int>())}));

    // The plain table's columns line up by characters rather than bytes; the
    // unknown code goes to standard error with its sender.
    const ProgramRun plain = cli({"list", "--master", sim.master});
    ASSERT_EQ(plain.exitCode, 0);
    EXPECT_NE(plain.output.find("BV_RunTics: Unknown cmd: 1353 (" + sim.servers[1] + ")\n"),
              std::string::npos)
        << plain.output;
    const auto lineStarting = [&plain](const std::string& start) {
        const std::set<std::string> found = linesOf(plain.output, start);
        EXPECT_EQ(found.size(), 1u) << start << " in\n" << plain.output;
        return found.empty() ? start : start + *found.begin();
    };
    const std::string header = lineStarting("Server Name");
    const std::string row = lineStarting("Über Arena  ");
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

TEST_F(PellrigCli, ExitCodesTellHowACommandEnded) {
    SimProcess silent(
        {"--scenario", folder.write("silent.json", R"({"master": {"silent": true}, "servers": []})")});
    SimProcess newer({"--protocol-version", "105"});
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
        const ProgramRun r = cli(test.arguments);
        EXPECT_EQ(r.exitCode, test.exitCode) << testing::PrintToString(test.arguments) << "\n" << r.output;
    }
}

TEST_F(PellrigCli, LoginLookupAndRecentShowTheMastersAnswersInUtf8) {
    SimProcess sim({});
    EXPECT_EQ(
        jsonOf({"login", "--user", "Gaffer", "--password", "loupgarou", "--master", sim.master, "--json"}),
        (json{{"rank", 2}, {"level", 5}, {"experience", 5200}, {"highestRank", 2}, {"accountLevel", 2}}));
    ProgramRun r = cli({"login", "--user", "Gaffer", "--password", "wrong", "--master", sim.master});
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
    EXPECT_EQ(cli({"recent", "--master", sim.master}).output, name + "\nGaffer\nCyb\nalice\nimp\n");
    EXPECT_EQ(jsonOf({"recent", "--master", sim.master, "--json"}),
              (json{name, "Gaffer", "Cyb", "alice", "imp"}));
    EXPECT_EQ(jsonOf({"lookup", name, "--master", sim.master, "--json"})["name"], name);
    r = cli({"lookup", "Zoë", "--master", sim.master});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.output, "No information found for Zoë\n");
}

TEST_F(PellrigCli, WadScanSavesTheFoldersForConfigToShow) {
    folder.write("wads/doom/deep/doom2.wad", "IWAD");
    folder.write("wads/free/freedoom1.wad", "IWAD");
    folder.write("wads/empty/readme.txt", "");
    const std::string root = (folder.path() / "wads").string();
    const std::set<std::string> found{root + "/doom/deep/", root + "/free/"};
    ProgramRun r = cli({"wads", "scan", root});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(linesOf(r.output), found);
    EXPECT_FALSE(fs::exists(work / "pellrig32.cfg")) << "saved without --save";
    r = cli({"wads", "scan", root, "--save"});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(linesOf(r.output), found);

    // Unattended start-up settings keep the directories.
    r = cli({"config", "unattended", "--user", "alice", "--password", "wonderland"});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    r = cli({"config", "show"});
    for (const char* line : {"bv_autologin=1\n", "bv_rememberpassword=1\n", "bv_username=alice\n",
                             "bv_password=***\n", "bv_firstrun=0\n", "bv_shownews=0\n"}) {
        EXPECT_NE(r.output.find(line), std::string::npos) << line << r.output;
    }
    EXPECT_EQ(linesOf(r.output, "wad_directory="), found) << r.output;

    EXPECT_EQ(cli({"wads", "scan", root, "--save"}, blocked()).exitCode, 1);
}

TEST_F(PellrigCli, JoinLogsInWithTheSettingsAndPreparesTheGame) {
    const std::string iwad = folder.write("wads/doom2.wad", "IWAD");
    folder.write("work/brumvek.exe", "stand-in");
    // A settings file as the program keeps it, its texts in Latin-1: remembered
    // user "Jürgen" with password "päss", extra parameters "+set Ärger 1", no
    // server password, news on, first run over, and one WAD directory.
    using namespace std::string_literals;
    folder.write("work/pellrig32.cfg", "\x68\x01"s + "J\xFCrgen\0p\xE4ss\0+set \xC4rger 1\0\0"s +
                                           "\x00\x01\x00\x00"s + "\x01\x00\x00\x00"s + "\x01\x00\x00"s +
                                           (folder.path() / "wads").string() + "/\0\0"s);
    ProgramRun r = cli({"config", "show"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("\nbv_username=Jürgen\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("\nbv_extraparams=+set Ärger 1\n"), std::string::npos) << r.output;

    SimProcess sim({"--scenario", folder.write("scenario.json", R"({"servers": [
        {"name": "Join Me", "iwad": "doom2.wad"},
        {"name": "Needs More", "iwad": "doom2.wad", "pwads": ["gone.wad"]},
        {"name": "Quiet", "silent": true}]})")});
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
    r = join(sim.servers[0]);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find(" -connect " + sim.servers[0] + " "), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(" -iwad " + iwad + " "), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(" +set Ärger 1 +name \"Jürgen\"\n"), std::string::npos) << r.output;

    EXPECT_EQ(join(sim.servers[1]).exitCode, 5) << "started without a WAD the server needs";
    EXPECT_EQ(join(sim.servers[0], {"--user", "alice", "--password", "not-the-password"}).exitCode, 4);
    r = join(sim.servers[2]);
    EXPECT_EQ(r.exitCode, 7);
    EXPECT_EQ(r.output, "pellrig-cli: no answer from the game server " + sim.servers[2] + "\n");
}

TEST_F(PellrigCli, NewsAnnouncesANewArticleOnceAndSavesItsNumber) {
    std::string host;
    {
        SimProcess sim({"--news-port", "0", "--news-article", "7"});
        host = sim.news;
        ASSERT_FALSE(host.empty());
        ProgramRun r = cli({"news", "--news", host, "--save"});
        ASSERT_EQ(r.exitCode, 0) << r.output;
        EXPECT_EQ(r.output, "announce 7\n");
        EXPECT_TRUE(fs::exists(work / "nstamp.txt"));
        EXPECT_EQ(cli({"news", "--news", host}).output, "nothing to announce\n");
        EXPECT_NE(cli({"config", "show"}).output.find("bv_lastarticleno=7\n"), std::string::npos);

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
