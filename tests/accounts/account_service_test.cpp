#include "accounts/account_service.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "account_test_support.h"
#include "accounts/account_texts.h"
#include "accounts/account_threads.h"
#include "accounts/memory_account_views.h"
#include "browser/memory_row_view.h"
#include "browser/receive_thread.h"
#include "browser/server_table.h"

namespace {

using Clock = std::chrono::steady_clock;
using Shown = MemoryAccountViews::Shown;

Bytes accepted(int32_t accountLevel, bool compact) {
    return bytesOf([&](SizeBuffer& b) {
        writeAccountAccepted(b, OwnAccount{3, 2, 2500, 1, accountLevel}, compact);
    });
}

Bytes profileOf(const std::string& name, int32_t accountLevel) {
    PlayerProfile profile;
    profile.rank = 9;
    profile.highestRank = 4;
    profile.level = 6;
    profile.experience = 6100;
    profile.accountLevel = accountLevel;
    return bytesOf([&](SizeBuffer& b) { writePlayerProfileReply(b, name, "bio", profile, 6000, 7000); });
}

// Answers log-in requests only, so no answer is left over for a later exchange.
Peer::Answer answerLogIns(Bytes reply) {
    return [reply = std::move(reply)](const Bytes& request) {
        const int32_t code = codeOf(request);
        return code == kAccountLoginRequestCode || code == kAccountCreateRequestCode
                   ? std::vector<Bytes>{reply}
                   : std::vector<Bytes>{};
    };
}

// Records how a profile update ended.
class UpdateReport final : public ProfileUpdateView, public OneReport {
  public:
    void profileUpdated() override { record("updated"); }
    void profileUpdateFailed(std::string text, bool mayRetry) override {
        record(text + (mayRetry ? " (retry)" : " (closed)"));
    }
};

class Accounts : public testing::Test {
  protected:
    static void SetUpTestSuite() { NET_Init({0, "127.0.0.1"}); }
    static void TearDownTestSuite() { NET_Shutdown(); }

    Accounts() { dispatcher.setAccountHandler(&service); }

    void SetUp() override {
        const auto lock = lockBrowser();
        master_adr = NetAddress{};
        browser_ready = 0;
    }

    // Logs in as `user` with the master's compact answer, which sends nothing more.
    void logInAs(const std::string& user, int32_t accountLevel) {
        master.answerWith(always({accepted(accountLevel, true)}));
        ASSERT_EQ(service.logIn(LoginRequestKind::LogIn, user, "secret", false).outcome,
                  LoginOutcome::AcceptedCompact);
        master.answerWith(nullptr);
    }

    // Hands one message to the dispatcher as the receive thread would.
    void dispatch(const Bytes& message, const NetAddress& from) {
        SizeBuffer loaded = messageOf(
            [&](SizeBuffer& b) { SZ_Write(b, message.data(), static_cast<int32_t>(message.size())); });
        const auto lock = NET_LockReceive();
        dispatcher.dispatchMessage(loaded, from);
    }

    // The requests the master has had since `before`, once `count` more came.
    std::vector<Bytes> newRequests(size_t before, size_t count) {
        EXPECT_TRUE(master.waitForRequests(before + count));
        const std::vector<Bytes> all = master.requests();
        return {all.begin() + static_cast<std::ptrdiff_t>(before), all.end()};
    }

    Peer master;
    Peer stranger;
    MemoryRowView servers;
    MemoryRowView players;
    MemoryAccountViews views;
    Dispatcher dispatcher{{servers, players, views}, nullptr};
    ServerBrowser browser{{servers, players, views}, {master.text()}};
    AccountService service{views.views(), {master.text(), {600ms, 200ms}}, &dispatcher, &browser};
};

TEST_F(Accounts, MasterListRequestFollowsOnlyTheLongAcceptance) {
    browser_ready = 10;
    const struct {
        bool compact;
        bool firstRun;
        bool listRequested;
    } cases[] = {{false, false, true}, {false, true, false}, {true, false, false}};
    for (const auto& test : cases) {
        master.answerWith(answerLogIns(accepted(1, test.compact)));
        const size_t before = master.requests().size();
        const LoginResult result = service.logIn(LoginRequestKind::CreateAccount, "neo", "pw", test.firstRun);
        EXPECT_EQ(result.outcome, test.compact ? LoginOutcome::AcceptedCompact : LoginOutcome::Accepted);
        EXPECT_EQ(service.ownAccount(), (OwnAccount{3, 2, 2500, 1, 1}));
        // A request sent after the log-in marks where a list request would have been.
        service.requestRecentPlayers();
        const std::vector<Bytes> sent = newRequests(before, test.listRequested ? 3 : 2);
        EXPECT_EQ(codeOf(sent.front()), kAccountCreateRequestCode);
        if (test.listRequested) {
            EXPECT_EQ(sent[1], (Bytes{0xA3, 0xDB, 0x0B, 0x00, 0x68}));
        }
        EXPECT_EQ(codeOf(sent.back()), kRecentPlayersRequestCode) << "compact " << test.compact;
    }
}

TEST_F(Accounts, RepliesTakeEffectOnlyFromTheMaster) {
    logInAs("alice", 0);
    // No master list request has named the master yet: the request resolves it.
    service.requestRecentPlayers();
    EXPECT_EQ(newRequests(1, 1).front(), (Bytes{0x44, 0x05, 0x00, 0x00}));
    {
        const auto lock = lockBrowser();
        EXPECT_EQ(master_adr, master.address());
    }

    // Someone else's datagrams change nothing and show nothing, however they look.
    dispatch(profileOf("ALICE", 2), stranger.address());
    dispatch(bytesOf([](SizeBuffer& b) { writePlayerNotFound(b, "x"); }), stranger.address());
    NetAddress otherPort = master.address();
    NET_SetPort(otherPort, static_cast<uint16_t>(NET_Port(otherPort) + 1));
    dispatch(profileOf("ALICE", 2), otherPort);
    EXPECT_EQ(views.shown().count(), 0u);
    EXPECT_EQ(service.ownAccount().accountLevel, 0);

    // The master's own profile of the player refreshes OwnAccount, whatever the case of the name.
    dispatch(profileOf("ALICE", 2), master.address());
    dispatch(profileOf("Cyb", 1), master.address());
    dispatch(bytesOf([](SizeBuffer& b) { writeRecentPlayersReply(b, {}); }), master.address());
    dispatch(bytesOf([](SizeBuffer& b) { writePlayerNotFound(b, std::string(200, 'g')); }), master.address());
    dispatch(bytesOf([](SizeBuffer& b) { writeAccountDeleted(b, "imp"); }), master.address());
    dispatch(bytesOf([](SizeBuffer& b) { writeProfileUpdated(b); }), master.address());
    // The log-in answers belong to the log-in exchange alone.
    dispatch(accepted(2, false), master.address());

    const Shown shown = views.shown();
    ASSERT_EQ(shown.profiles.size(), 2u);
    EXPECT_TRUE(shown.profiles[0].ownProfile);
    EXPECT_EQ(shown.profiles[0].levelFloor, 6000);
    EXPECT_EQ(shown.profiles[0].levelCeiling, 7000);
    EXPECT_EQ(shown.profiles[0].viewer, (OwnAccount{9, 6, 6100, 4, 2}));
    EXPECT_FALSE(shown.profiles[1].ownProfile);
    EXPECT_EQ(shown.profiles[1].viewer, (OwnAccount{9, 6, 6100, 4, 2}));
    EXPECT_EQ(service.ownAccount(), (OwnAccount{9, 6, 6100, 4, 2}));
    EXPECT_EQ(recordText(service.playerProfile().name), "Cyb");

    EXPECT_EQ(shown.recentPlayers, (std::vector<std::vector<std::string>>{{}}));
    ASSERT_EQ(shown.messages.size(), 3u);
    EXPECT_EQ(shown.messages[0].text, ("No information found for " + std::string(200, 'g')).substr(0, 127));
    EXPECT_EQ(shown.messages[1].text, "imp's account deleted.\n");
    EXPECT_EQ(shown.messages[2].text, "BV_RunTics: Unknown cmd: 1343 (" + master.text() + ")\n");
}

TEST_F(Accounts, RequestsCheckRightsAndTheNameBox) {
    logInAs("alice", 1);
    EXPECT_FALSE(service.lookUpPlayer(""));
    EXPECT_FALSE(service.deleteAccount(""));
    EXPECT_FALSE(service.switchStatCollection(true, std::nullopt));
    EXPECT_TRUE(service.lookUpPlayer("Cyb"));
    views.answerQuestions(false);
    EXPECT_FALSE(service.deleteAccount("imp"));
    views.answerQuestions(true);
    EXPECT_TRUE(service.deleteAccount("imp"));

    logInAs("root", 2);
    EXPECT_FALSE(service.switchStatCollection(false, std::nullopt));
    EXPECT_TRUE(service.switchStatCollection(false, "10.0.0.5:10666"));

    const Shown shown = views.shown();
    std::vector<std::string> messages;
    for (const auto& message : shown.messages) {
        messages.push_back(message.text);
    }
    EXPECT_EQ(messages, (std::vector<std::string>{"Nothing in the name box.", "Nothing in the name box.",
                                                  "No access", "Enable Server: No server selected\n"}));
    ASSERT_EQ(shown.questions.size(), 2u);
    EXPECT_EQ(shown.questions[0].text, "WHOA!\n\nAre you *POSITIVE* that you want to delete this account?");
    EXPECT_EQ(shown.questions[0].caption, "BLASphemy!");

    const std::vector<Bytes> sent = newRequests(0, 5);
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[1], bytesOf([](SizeBuffer& b) { writePlayerLookupRequest(b, "Cyb"); }));
    EXPECT_EQ(sent[2],
              bytesOf([](SizeBuffer& b) { writeAccountDeleteRequest(b, "alice", "secret", "imp"); }));
    EXPECT_EQ(sent[4], bytesOf([](SizeBuffer& b) { writeStatCollection(b, false, "10.0.0.5:10666"); }));
}

TEST_F(Accounts, ProfileUpdateWaitsForTheAcknowledgementFromTheMaster) {
    logInAs("alice", 0);
    const Bytes updated = bytesOf([](SizeBuffer& b) { writeProfileUpdated(b); });
    const struct {
        const char* what;
        Peer::Answer answer;
        bool spoofed;  // a stranger acknowledges first
        UpdateOutcome outcome;
        std::string text;
    } cases[] = {
        {"acknowledged", always({updated}), false, UpdateOutcome::Updated, ""},
        {"silent", nullptr, true, UpdateOutcome::TimedOut, kUpdateFailed},
        {"refused", always({bytesOf([](SizeBuffer& b) { writeAccountRefused(b, 1342); })}), false,
         UpdateOutcome::UnknownAnswer, kUnknownMessage},
        {"list first",
         always({bytesOf([](SizeBuffer& b) { writeMasterListReply(b, {}); }), Bytes{1, 2, 3}, updated}),
         false, UpdateOutcome::Updated, ""},
    };
    for (const auto& test : cases) {
        master.answerWith(test.answer);
        if (test.spoofed) {
            stranger.send(updated, launcherAddress());
        }
        const size_t before = master.requests().size();
        const Clock::time_point start = Clock::now();
        const UpdateResult result = service.updateProfile(PlayerProfile{}, "my new bio");
        EXPECT_EQ(result.outcome, test.outcome) << test.what;
        EXPECT_EQ(result.text, test.text) << test.what;
        if (test.outcome == UpdateOutcome::TimedOut) {
            EXPECT_GE(Clock::now() - start, 600ms) << "gave up inside the window";
        }
        EXPECT_EQ(newRequests(before, 1).front(),
                  bytesOf([](SizeBuffer& b) { writeProfileBioUpdate(b, "my new bio"); }));
    }
    EXPECT_EQ(views.shown().count(), 0u);
}

TEST_F(Accounts, AdministratorUpdateSendsTheConfirmedEdits) {
    logInAs("root", 2);
    EXPECT_TRUE(service.lookUpPlayer("imp"));
    EXPECT_TRUE(service.lookUpPlayer("cacodemon"));
    dispatch(profileOf("imp", 0), master.address());
    // The second answer arrives while imp's dialog is open; its edits stay imp's.
    dispatch(profileOf("cacodemon", 0), master.address());
    PlayerProfile imp = views.shown().profiles.at(0).profile;
    const ProfileEdits edits{"reformed", 12000, 1};

    views.answerQuestions(false);
    EXPECT_FALSE(service.confirmProfileUpdate(imp, edits));
    views.answerQuestions(true);
    EXPECT_TRUE(service.confirmProfileUpdate(imp, edits));
    const Shown shown = views.shown();
    ASSERT_EQ(shown.questions.size(), 2u);
    EXPECT_EQ(
        shown.questions[1].text,
        "Are you sure you want to change imp's information?\n\nBio: reformed\nExperience: 12000\nAccount: 1");
    EXPECT_EQ(shown.questions[1].caption, "Modify another user?");

    master.answerWith(always({bytesOf([](SizeBuffer& b) { writeProfileUpdated(b); })}));
    EXPECT_EQ(service.updateProfile(imp, "ignored").outcome, UpdateOutcome::Updated);
    EXPECT_EQ(recordText(imp.bio), "reformed");
    EXPECT_EQ(recordText(service.playerProfile().name), "cacodemon");
    EXPECT_EQ(newRequests(3, 1).front(),
              bytesOf([&](SizeBuffer& b) { writeProfileAdminUpdate(b, "root", "secret", imp); }));
}

// With the receive thread running, either thread may read an exchange's answer;
// it reaches the exchange once, and everything else still reaches the dispatcher.
TEST_F(Accounts, AnswersReachTheExchangeWhicheverThreadReads) {
    ReceiveThread receiver(dispatcher, 5ms);
    master.answerWith(always({accepted(0, false)}));
    EXPECT_EQ(service.logIn(LoginRequestKind::LogIn, "alice", "pw", true).outcome, LoginOutcome::Accepted);

    master.answerWith(always({bytesOf([](SizeBuffer& b) { writePlayerNotFound(b, "ghost"); }),
                              bytesOf([](SizeBuffer& b) { writeProfileUpdated(b); })}));
    service.requestRecentPlayers();  // names the master for the receive thread
    constexpr int kRounds = 20;
    for (int i = 0; i < kRounds; ++i) {
        UpdateReport report;
        {
            ProfileUpdateThread update(service, report, {}, "bio " + std::to_string(i));
            EXPECT_EQ(report.wait(5s), "updated") << "round " << i;
        }
    }
    ASSERT_TRUE(views.waitUntil([](const Shown& shown) { return shown.messages.size() >= kRounds; }, 5s));
    for (const auto& message : views.shown().messages) {
        EXPECT_EQ(message.text, "No information found for ghost\n");
    }
}

TEST_F(Accounts, StoppingTheThreadsEndsTheirWaitsUnreported) {
    UpdateReport report;
    const Clock::time_point start = Clock::now();
    {
        ProfileUpdateThread update(service, report, {}, "bio");
        ASSERT_TRUE(master.waitForRequests(1));
    }
    EXPECT_LT(Clock::now() - start, 500ms);
    EXPECT_EQ(report.wait(0ms), std::nullopt);
}

}  // namespace
