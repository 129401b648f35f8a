// Runs pellrig-cli's settings, WAD, join and news commands in a temporary
// working folder, as a user would.

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim_process.h"

namespace {

namespace fs = std::filesystem;

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

class CliInFolder : public testing::Test {
  protected:
    CliInFolder() { fs::create_directories(work); }

    // Runs pellrig-cli in `in`, the work folder unless given, its standard error mixed in.
    ProgramRun cli(const std::vector<std::string>& arguments, const fs::path& in = {}) {
        return runToEnd(PELLRIG_CLI_PATH, arguments, ChildProcess::Output::StdoutAndStderr,
                        (in.empty() ? work : in).string());
    }

    // A working folder where no settings file can be written: a folder stands in its place.
    fs::path blocked() {
        fs::create_directories(folder.path() / "blocked" / "pellrig32.cfg");
        return folder.path() / "blocked";
    }

    TempDir folder;
    const fs::path work = folder.path() / "work";
};

TEST_F(CliInFolder, WadScanSavesTheFoldersForConfigToShow) {
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

TEST_F(CliInFolder, JoinLogsInWithTheSettingsAndPreparesTheGame) {
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

TEST_F(CliInFolder, NewsAnnouncesANewArticleOnceAndSavesItsNumber) {
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
