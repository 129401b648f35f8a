// Runs pellrig-cli's settings, WAD and news commands in a temporary working
// directory, as a user would.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "child_process.h"
#include "sim_process.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const fs::path kFreedoom = "/usr/share/games/doom";

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        result.push_back(line);
    }
    return result;
}

class CliInFolder : public testing::Test {
  protected:
    void SetUp() override {
        m_folder =
            fs::temp_directory_path() / ("pellrig_cli_launch_" + std::to_string(::getpid()) + "_" +
                                         testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_folder);
        fs::create_directories(m_folder / "work");
    }
    void TearDown() override { fs::remove_all(m_folder); }

    // Runs pellrig-cli in the working folder, standard error mixed in.
    ProgramRun cli(const std::vector<std::string>& arguments) {
        return runToEnd(PELLRIG_CLI_PATH, arguments, ChildProcess::Output::StdoutAndStderr,
                        (m_folder / "work").string());
    }

    fs::path m_folder;
};

TEST_F(CliInFolder, WadScanFindsFreedoomFoldersAndSavesThem) {
    if (!fs::exists(kFreedoom / "freedoom2.wad")) {
        GTEST_SKIP() << "the freedoom package is not installed";
    }
    const fs::path root = m_folder / "wads";
    fs::create_directories(root / "doom" / "deep");
    fs::create_directories(root / "empty");
    fs::create_directories(root / "free");
    fs::copy_file(kFreedoom / "freedoom2.wad", root / "doom" / "deep" / "freedoom2.wad");
    fs::create_symlink(kFreedoom / "freedoom1.wad", root / "free" / "FREEDOOM1.WAD");
    fs::copy_file(kFreedoom / "freedoom1.wad", root / "doom" / "freedoom1.wad");
    fs::create_directory_symlink(root / "doom", root / "empty" / "loop");

    ProgramRun r = cli({"wads", "scan", root.string()});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_FALSE(fs::exists(m_folder / "work" / "pellrig32.cfg"));
    const std::vector<std::string> found = lines(r.output);
    const std::string doom = (root / "doom").string() + "/";
    const std::string deep = (root / "doom" / "deep").string() + "/";
    const std::string free = (root / "free").string() + "/";
    ASSERT_EQ(std::set<std::string>(found.begin(), found.end()), (std::set<std::string>{doom, deep, free}))
        << r.output;
    // A folder's subfolders are searched first, and each find goes to the front.
    EXPECT_LT(std::find(found.begin(), found.end(), doom), std::find(found.begin(), found.end(), deep));

    r = cli({"wads", "scan", root.string(), "--save"});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(lines(r.output), found);

    // The file keeps the list in stored order, which a load turns around.
    r = cli({"config", "show"});
    ASSERT_EQ(r.exitCode, 0);
    std::vector<std::string> shown;
    for (const std::string& line : lines(r.output)) {
        if (line.rfind("wad_directory=", 0) == 0) {
            shown.push_back(line.substr(14));
        }
    }
    EXPECT_EQ(shown, std::vector<std::string>(found.rbegin(), found.rend())) << r.output;
    EXPECT_NE(r.output.find("bv_firstrun=1\n"), std::string::npos);

    // Unattended start-up settings keep the directories.
    r = cli({"config", "unattended", "--user", "alice", "--password", "wonderland"});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    r = cli({"config", "show"});
    for (const char* line : {"bv_autologin=1\n", "bv_rememberpassword=1\n", "bv_username=alice\n",
                             "bv_password=***\n", "bv_firstrun=0\n", "bv_shownews=0\n"}) {
        EXPECT_NE(r.output.find(line), std::string::npos) << line << r.output;
    }
    EXPECT_NE(r.output.find("wad_directory=" + doom + "\n"), std::string::npos) << r.output;
}

TEST_F(CliInFolder, ConfigShowWithoutAFileShowsTheDefaults) {
    const ProgramRun r = cli({"config", "show"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.output,
              "bv_rememberpassword=0\nbv_username=\nbv_password=\nbv_extraparams=\nbv_serverpassword=\n"
              "bv_lastarticleno=0\nbv_shownews=1\nbv_autologin=0\nbv_firstrun=1\n");
}

// The simulator's news server, announcing `article`.
struct NewsSim : SimProcess {
    explicit NewsSim(int article)
        : SimProcess({"--news-port", "0", "--news-article", std::to_string(article)}) {
        const std::string ready = output.empty() ? std::string() : output.back();
        const size_t news = ready.find(" news=");
        EXPECT_NE(news, std::string::npos) << ready;
        host = news == std::string::npos ? std::string() : ready.substr(news + 6);
    }
    std::string host;  // HOST:PORT
};

TEST_F(CliInFolder, NewsAnnouncesOnceAndSavesTheArticleNumber) {
    std::string host;
    {
        const NewsSim sim(7);
        host = sim.host;
        ProgramRun r = cli({"news", "--news", host, "--save"});
        ASSERT_EQ(r.exitCode, 0) << r.output;
        EXPECT_EQ(r.output, "announce 7\n");
        EXPECT_TRUE(fs::exists(m_folder / "work" / "nstamp.txt"));

        r = cli({"news", "--news", host});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.output, "nothing to announce\n");
    }
    ProgramRun r = cli({"config", "show"});
    EXPECT_NE(r.output.find("bv_lastarticleno=7\n"), std::string::npos) << r.output;

    // The server is gone: the connection is refused and reported.
    r = cli({"news", "--news", host});
    EXPECT_EQ(r.exitCode, 6) << r.output;
    EXPECT_FALSE(r.output.empty());
}

TEST_F(CliInFolder, JoinLogsInFindsTheWadsAndStartsTheGame) {
    if (!fs::exists(kFreedoom / "freedoom2.wad")) {
        GTEST_SKIP() << "the freedoom package is not installed";
    }
    const fs::path wads = m_folder / "wads";
    fs::create_directories(wads);
    fs::copy_file(kFreedoom / "freedoom2.wad", wads / "freedoom2.wad");
    ASSERT_EQ(cli({"wads", "scan", wads.string(), "--save"}).exitCode, 0);
    const fs::path scenario = m_folder / "scenario.json";
    std::ofstream(scenario) << R"({"servers": [{"name": "Join Me", "iwad": "freedoom2.wad", "map": "MAP01"},
                                                {"name": "Needs More", "iwad": "freedoom2.wad", "pwads": ["gone.wad"]}]})";
    SimProcess sim({"--scenario", scenario.string(), "--print-servers"});
    const std::vector<std::string>& servers = sim.servers;
    ASSERT_EQ(servers.size(), 2u);
    const auto join = [&](const std::string& server, const std::string& password, bool dryRun) {
        std::vector<std::string> arguments{"join",   server,  "--master",   sim.master,
                                           "--user", "alice", "--password", password};
        if (dryRun) {
            arguments.push_back("--dry-run");
        }
        return cli(arguments);
    };

    ProgramRun r = join(servers[0], "wonderland", true);
    EXPECT_EQ(r.exitCode, 5);
    EXPECT_NE(r.output.find("Coulden't find brumvekgl.exe or brumvek.exe"), std::string::npos) << r.output;

    // A stand-in game that records its arguments, one a line.
    const fs::path game = m_folder / "work" / "brumvek.exe";
    std::ofstream(game)
        << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > args.tmp\nmv args.tmp args.txt\n";
    fs::permissions(game, fs::perms::owner_all);

    const std::string iwad = (wads / "freedoom2.wad").string();
    r = join(servers[0], "wonderland", true);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find(servers[0]), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(iwad), std::string::npos) << r.output;

    r = join(servers[1], "wonderland", true);
    EXPECT_EQ(r.exitCode, 5);
    EXPECT_NE(r.output.find("You do not have the file: gone.wad"), std::string::npos) << r.output;

    EXPECT_EQ(join(servers[0], "not-the-password", true).exitCode, 4);

    r = join(servers[0], "wonderland", false);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    const fs::path recorded = m_folder / "work" / "args.txt";
    for (int i = 0; i < 100 && !fs::exists(recorded); ++i) {
        std::this_thread::sleep_for(50ms);
    }
    std::ifstream file(recorded);
    std::vector<std::string> arguments;
    for (std::string line; std::getline(file, line);) {
        arguments.push_back(line);
    }
    EXPECT_NE(std::find(arguments.begin(), arguments.end(), servers[0]), arguments.end());
    EXPECT_NE(std::find(arguments.begin(), arguments.end(), iwad), arguments.end());
    EXPECT_NE(std::find(arguments.begin(), arguments.end(), "alice"), arguments.end());
}

TEST_F(CliInFolder, SavingCommandsReportAnUnwritableSettingsFile) {
    // A folder where the file should be: no file can be written in its place.
    fs::create_directory(m_folder / "work" / "pellrig32.cfg");
    fs::create_directories(m_folder / "wads");
    std::ofstream(m_folder / "wads" / "doom2.wad") << "IWAD";

    ProgramRun r = cli({"wads", "scan", (m_folder / "wads").string(), "--save"});
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("BV_SaveConfig: Unable to create file!"), std::string::npos) << r.output;

    // The news check itself succeeded; only keeping its article number failed.
    const NewsSim news(7);
    r = cli({"news", "--news", news.host, "--save"});
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("announce 7\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("BV_SaveConfig: Unable to create file!"), std::string::npos) << r.output;
}

TEST_F(CliInFolder, EightBitSettingsComeOutInUtf8) {
    const fs::path wads = m_folder / "wads";
    fs::create_directories(wads);
    std::ofstream(wads / "doom2.wad") << "IWAD";
    std::ofstream(m_folder / "work" / "brumvek.exe") << "stand-in";
    // A settings file as the program keeps it, its texts in Latin-1: remembered
    // user "Jürgen" with password "päss", extra parameters "+set Ärger 1", no
    // server password, news on, first run over, and one WAD directory.
    using namespace std::string_literals;
    const std::string record = "\x68\x01"s + "J\xFCrgen\0p\xE4ss\0+set \xC4rger 1\0\0"s +
                               "\x00\x01\x00\x00"s + "\x01\x00\x00\x00"s + "\x01\x00\x00"s + wads.string() +
                               "/\0\0"s;
    std::ofstream(m_folder / "work" / "pellrig32.cfg", std::ios::binary) << record;

    ProgramRun r = cli({"config", "show"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("\nbv_username=Jürgen\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("\nbv_extraparams=+set Ärger 1\n"), std::string::npos) << r.output;

    // The remembered credentials are the bytes that the account was made with
    // from UTF-8 arguments, and the game's command line shows in UTF-8.
    const fs::path scenario = m_folder / "scenario.json";
    std::ofstream(scenario) << R"({"servers": [{"name": "Join Me", "iwad": "doom2.wad"}]})";
    SimProcess sim({"--scenario", scenario.string(), "--print-servers"});
    const std::vector<std::string>& servers = sim.servers;
    ASSERT_EQ(servers.size(), 1u);
    r = cli({"login", "--create", "--user", "Jürgen", "--password", "päss", "--master", sim.master});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    r = cli({"join", servers[0], "--master", sim.master, "--dry-run"});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find(" +set Ärger 1 +name \"Jürgen\"\n"), std::string::npos) << r.output;
}

TEST_F(CliInFolder, JoinTellsASilentGameServerFromTheMaster) {
    const fs::path scenario = m_folder / "scenario.json";
    std::ofstream(scenario) << R"({"servers": [{"name": "Quiet", "silent": true}]})";
    SimProcess sim({"--scenario", scenario.string(), "--print-servers"});
    const std::vector<std::string>& servers = sim.servers;
    ASSERT_EQ(servers.size(), 1u);
    const ProgramRun r =
        cli({"join", servers[0], "--master", sim.master, "--user", "alice", "--password", "wonderland"});
    EXPECT_EQ(r.exitCode, 7);
    EXPECT_EQ(r.output, "pellrig-cli: no answer from the game server " + servers[0] + "\n");
}

}  // namespace
