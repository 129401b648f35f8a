// pellrig-sim's account service, driven by the launcher's own account core over
// loopback, with its accounts file and its log.

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "accounts/account_service.h"
#include "accounts/memory_account_views.h"
#include "browser/memory_row_view.h"
#include "browser/receive_thread.h"
#include "browser/server_table.h"
#include "net/transport.h"
#include "sim_process.h"

namespace {

using namespace std::chrono_literals;
using nlohmann::json;
using Shown = MemoryAccountViews::Shown;

class SimAccounts : public testing::Test {
  protected:
    static void SetUpTestSuite() { NET_Init({0, "127.0.0.1"}); }
    static void TearDownTestSuite() { NET_Shutdown(); }

    void SetUp() override {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        m_path = std::filesystem::temp_directory_path() /
                 ("pellrig_sim_accounts_" + std::to_string(::getpid()) + "_" + test->name() + ".json");
        std::filesystem::remove(m_path);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }

    // The launcher's account core, talking to `master`, with its receive thread.
    struct Launcher {
        MemoryRowView servers;
        MemoryRowView players;
        MemoryAccountViews views;
        Dispatcher dispatcher{{servers, players, views}, nullptr};
        AccountService service;
        ReceiveThread receiver{dispatcher, 10ms};

        explicit Launcher(const std::string& master)
            : service(views.views(), {master, {2s, 200ms}}, &dispatcher) {
            const auto lock = lockBrowser();
            master_adr = NetAddress{};
            dispatcher.setAccountHandler(&service);
        }

        // Looks `name` up and waits for the answer to show.
        Shown lookUp(const std::string& name) {
            const size_t before = views.shown().count();
            EXPECT_TRUE(service.lookUpPlayer(name));
            EXPECT_TRUE(views.waitUntil([&](const Shown& shown) { return shown.count() > before; }, 3s));
            return views.shown();
        }
    };

    std::filesystem::path m_path;
};

TEST_F(SimAccounts, ChangesReachTheFileButPasswordsNeverTheLog) {
    // Its standard error comes with its output, so the log can be read back.
    SimProcess sim({"--accounts", m_path.string(), "--verbose"}, ChildProcess::Output::StdoutAndStderr);
    ASSERT_FALSE(sim.master.empty());
    {
        auto launcher = std::make_unique<Launcher>(sim.master);
        AccountService& service = launcher->service;
        ASSERT_EQ(service.logIn(LoginRequestKind::CreateAccount, "Neo", "red-pill", true).outcome,
                  LoginOutcome::Accepted);
        EXPECT_EQ(service.updateProfile({}, "I know kung fu").outcome, UpdateOutcome::Updated);
        ASSERT_EQ(service.logIn(LoginRequestKind::LogIn, "Gaffer", "loupgarou", true).outcome,
                  LoginOutcome::Accepted);
        EXPECT_TRUE(service.switchStatCollection(true, "10.0.0.5:10666"));
        EXPECT_TRUE(service.switchStatCollection(false, "10.0.0.6:10666"));

        Shown shown = launcher->lookUp("imp");
        ASSERT_EQ(shown.profiles.size(), 1u);
        EXPECT_EQ(shown.profiles[0].levelFloor, 0);
        EXPECT_EQ(shown.profiles[0].levelCeiling, 1000);
        PlayerProfile shownImp = shown.profiles[0].profile;
        EXPECT_TRUE(service.confirmProfileUpdate(shownImp, {"promoted", 2500, 1}));
        EXPECT_EQ(service.updateProfile(shownImp, "").outcome, UpdateOutcome::Updated);
        shown = launcher->lookUp("IMP");
        ASSERT_EQ(shown.profiles.size(), 2u);
        const PlayerProfile& imp = shown.profiles[1].profile;
        EXPECT_EQ(recordText(imp.bio), "promoted");
        EXPECT_EQ(imp.experience, 2500);
        EXPECT_EQ(imp.level, 2);
        EXPECT_EQ(imp.accountLevel, 1);
        EXPECT_EQ(shown.profiles[1].levelCeiling, 3000);

        EXPECT_TRUE(service.deleteAccount("cyb"));
        ASSERT_TRUE(launcher->views.waitUntil([](const Shown& s) { return !s.messages.empty(); }, 3s));
        EXPECT_EQ(launcher->views.shown().messages[0].text, "Cyb's account deleted.\n");
        shown = launcher->lookUp("Cyb");
        EXPECT_EQ(shown.messages.back().text, "No information found for Cyb\n");

        // The administrator's rights go with the right password only.
        EXPECT_EQ(service.logIn(LoginRequestKind::LogIn, "Gaffer", "wrong", true).outcome,
                  LoginOutcome::Failed);
        EXPECT_TRUE(service.deleteAccount("alice"));
        shown = launcher->lookUp("alice");
        ASSERT_EQ(shown.profiles.size(), 3u) << "alice was deleted";
        EXPECT_EQ(recordText(shown.profiles[2].profile.name), "alice");

        service.requestRecentPlayers();
        ASSERT_TRUE(launcher->views.waitUntil([](const Shown& s) { return !s.recentPlayers.empty(); }, 3s));
        EXPECT_EQ(launcher->views.shown().recentPlayers[0],
                  (std::vector<std::string>{"Gaffer", "Neo", "alice", "imp"}));
    }

    const std::vector<std::string> log = sim.stop();
    std::string all;
    for (const std::string& line : log) {
        all += line + "\n";
    }
    for (const char* password : {"red-pill", "loupgarou"}) {
        EXPECT_EQ(all.find(password), std::string::npos) << "a password in the log:\n" << all;
    }
    EXPECT_NE(all.find("account: sign-up 'Neo'"), std::string::npos) << all;

    std::ifstream file(m_path);
    const json saved = json::parse(file, nullptr, false);
    ASSERT_TRUE(saved.is_object());
    EXPECT_EQ(saved["stat_collection"], (json{{"10.0.0.5:10666", true}, {"10.0.0.6:10666", false}}));
    std::vector<std::string> names;
    for (const json& account : saved["accounts"]) {
        names.push_back(account["name"]);
        if (account["name"] == "Neo") {
            EXPECT_EQ(account["bio"], "I know kung fu");
            EXPECT_EQ(account["password"], "red-pill");
        }
    }
    EXPECT_EQ(names, (std::vector<std::string>{"alice", "Gaffer", "imp", "Neo"}));

    // The next run starts from the file.
    SimProcess again({"--accounts", m_path.string()});
    Launcher launcher(again.master);
    const Shown shown = launcher.lookUp("neo");
    ASSERT_EQ(shown.profiles.size(), 1u);
    EXPECT_EQ(recordText(shown.profiles[0].profile.bio), "I know kung fu");
}

TEST_F(SimAccounts, UnreadableAccountsFilesStopTheStart) {
    for (const char* text : {"[1, 2]", R"({"accounts": [{"name": "x", "pasword": "typo"}]})",
                             R"({"accounts": [{"password": "no name"}]})", "{"}) {
        std::ofstream(m_path) << text;
        SimProcess sim({"--accounts", m_path.string()});
        EXPECT_TRUE(sim.master.empty()) << text;
        EXPECT_NE(sim.process->wait(10s), 0) << text;
    }
}

}  // namespace
