// pellrig-cli login, lookup and recent against pellrig-sim on loopback.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "sim_process.h"

namespace {

using namespace std::chrono_literals;
using nlohmann::json;

// Runs pellrig-cli to its end (bounded) and collects its standard output, with
// `withErrors` its standard error too.
ProgramRun cli(const std::vector<std::string>& arguments, bool withErrors = false) {
    return runToEnd(PELLRIG_CLI_PATH, arguments,
                    withErrors ? ChildProcess::Output::StdoutAndStderr : ChildProcess::Output::StdoutOnly);
}

std::set<std::string> keysOf(const json& object) {
    std::set<std::string> keys;
    for (const auto& [key, value] : object.items()) {
        keys.insert(key);
    }
    return keys;
}

TEST(PellrigCliAccounts, LoginPrintsTheAccountOrTheRefusal) {
    SimProcess sim({});
    ProgramRun r =
        cli({"login", "--user", "Gaffer", "--password", "loupgarou", "--master", sim.master, "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    json account = json::parse(r.output);
    EXPECT_EQ(keysOf(account),
              (std::set<std::string>{"rank", "level", "experience", "highestRank", "accountLevel"}));
    EXPECT_EQ(
        account,
        (json{{"rank", 2}, {"level", 5}, {"experience", 5200}, {"highestRank", 2}, {"accountLevel", 2}}));

    r = cli({"login", "--user", "trinity", "--password", "x", "--create", "--master", sim.master});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("experience    0"), std::string::npos) << r.output;

    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        std::string error;
    } failures[] = {
        {{"--user", "trinity", "--password", "y"}, 4, "Invalid Password\n"},
        {{"--user", "TRINITY", "--password", "y", "--create"}, 4, "That account already exists\n"},
        {{"--user", "morpheus", "--password", "y"}, 4, "That account does not exist\n"},
        {{"--user", std::string(17, 'u'), "--password", "y"},
         2,
         "Username must be no more than 16 characters.\n"},
    };
    for (const auto& test : failures) {
        std::vector<std::string> arguments{"login", "--master", sim.master};
        arguments.insert(arguments.end(), test.arguments.begin(), test.arguments.end());
        r = cli(arguments, true);
        EXPECT_EQ(r.exitCode, test.exitCode) << test.error;
        EXPECT_EQ(r.output, test.error);
    }
    // A character with no Latin-1 byte, or bytes that are not UTF-8, would
    // reach the master as some other name: refused before anything is sent.
    for (const std::string& user : {std::string("Łukasz"), std::string("J\xFCrgen")}) {
        r = cli({"login", "--user", user, "--password", "x", "--master", sim.master}, true);
        EXPECT_EQ(r.exitCode, 2) << user;
        EXPECT_NE(r.output.find("--user: must be UTF-8 text of Latin-1 characters"), std::string::npos)
            << r.output;
    }
}

TEST(PellrigCliAccounts, LoginEndsOnVersionRefusalAndSilence) {
    SimProcess newer({"--protocol-version", "105"});
    ProgramRun r =
        cli({"login", "--user", "alice", "--password", "wonderland", "--master", newer.master}, true);
    EXPECT_EQ(r.exitCode, 10);
    EXPECT_EQ(r.output,
              "A newer version of Brumvek has been released. Please upgrade to the newest version before "
              "continuing."
              "\n\nVisit www.pellrig.example for more information.\n");

    const auto scenario = std::filesystem::temp_directory_path() /
                          ("pellrig_cli_accounts_" + std::to_string(::getpid()) + "_silent.json");
    std::ofstream(scenario) << R"({"master": {"silent": true}, "servers": []})";
    SimProcess silent({"--scenario", scenario.string()});
    r = cli({"login", "--user", "alice", "--password", "wonderland", "--master", silent.master,
             "--timeout-ms", "200"},
            true);
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.output, "Unable to establish a connection\n");
    EXPECT_EQ(cli({"lookup", "alice", "--master", silent.master, "--timeout-ms", "200"}).exitCode, 3);
    EXPECT_EQ(cli({"recent", "--master", silent.master, "--timeout-ms", "200"}).exitCode, 3);
    std::filesystem::remove(scenario);
}

TEST(PellrigCliAccounts, LookupAndRecentNeedNoLogInAndShowUtf8) {
    SimProcess sim({});
    ProgramRun r = cli({"lookup", "cyb", "--master", sim.master, "--json"});
    ASSERT_EQ(r.exitCode, 0);
    const json profile = json::parse(r.output);
    EXPECT_EQ(keysOf(profile),
              (std::set<std::string>{"name", "bio", "rank", "highestRank", "level", "experience",
                                     "accountLevel", "rankPicture", "avatar", "levelFloor", "levelCeiling"}));
    EXPECT_EQ(profile["name"], "Cyb");
    EXPECT_EQ(profile["level"], 7);
    EXPECT_EQ(profile["levelFloor"], 7000);
    EXPECT_EQ(profile["levelCeiling"], 8000);
    EXPECT_EQ(profile["rankPicture"], 7);

    // 16 characters but 19 bytes of UTF-8: the log-in's limit counts the
    // Latin-1 bytes that go to the master, and the output shows them in UTF-8.
    const std::string name = "Jürgenjürgenjürg";
    ASSERT_EQ(
        cli({"login", "--create", "--user", name, "--password", "pässwörd", "--master", sim.master}).exitCode,
        0);
    ASSERT_EQ(cli({"login", "--user", name, "--password", "pässwörd", "--master", sim.master}).exitCode, 0);
    r = cli({"recent", "--master", sim.master});
    EXPECT_EQ(r.output, name + "\nCyb\nalice\nGaffer\nimp\n");
    r = cli({"recent", "--master", sim.master, "--json"});
    EXPECT_EQ(json::parse(r.output), (json{name, "Cyb", "alice", "Gaffer", "imp"}));
    r = cli({"lookup", name, "--master", sim.master, "--json"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(json::parse(r.output)["name"], name);
    r = cli({"lookup", "Zoë", "--master", sim.master}, true);
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.output, "No information found for Zoë\n");
}

}  // namespace
