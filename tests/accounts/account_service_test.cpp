#include "accounts/account_service.h"

#include <gtest/gtest.h>

#include <future>
#include <optional>
#include <string>

#include "accounts/account_threads.h"
#include "accounts/memory_account_views.h"
#include "browser/memory_row_view.h"
#include "browser/receive_thread.h"
#include "browser/server_table.h"
#include "loopback_peer.h"
#include "net/transport.h"

namespace {

using Shown = MemoryAccountViews::Shown;
using Message = MemoryQueuedMessageView::Message;

const Bytes kListRequest{0xA3, 0xDB, 0x0B, 0x00, 0x68};
const Bytes kUpdated = bytesOf([](SizeBuffer& b) { writeProfileUpdated(b); });

Bytes accepted(int32_t accountLevel, bool compact) {
    return bytesOf([&](SizeBuffer& b) { writeAccountAccepted(b, {3, 2, 2500, 1, accountLevel}, compact); });
}

Bytes profileOf(const std::string& name, int32_t accountLevel) {
    const PlayerProfile profile{
        .rank = 9, .highestRank = 4, .level = 6, .experience = 6100, .accountLevel = accountLevel};
    return bytesOf([&](SizeBuffer& b) { writePlayerProfileReply(b, name, "bio", profile, 6000, 7000); });
}

int32_t codeOf(const Bytes& message) {
    SizeBuffer loaded = messageOf(message);
    return MSG_ReadLong(loaded);
}

// Answers log-in requests only, so no answer is left over for a later exchange.
Peer::Answer answerLogIns(Bytes reply) {
    return [reply = std::move(reply)](const Bytes& request) {
        const int32_t code = codeOf(request);
        const bool logIn = code == kAccountLoginRequestCode || code == kAccountCreateRequestCode;
        return logIn ? std::vector<Bytes>{reply} : std::vector<Bytes>{};
    };
}

// The one report of a worker thread, as text; a second report throws.
struct Report final : LoginView, ProfileUpdateView {
    void loginSucceeded(const OwnAccount& a) override { set("level " + std::to_string(a.accountLevel)); }
    void loginFailed(std::string text) override { set("failed: " + text); }
    void versionRefused(std::string text) override { set("version: " + text); }
    void profileUpdated() override { set("updated"); }
    void profileUpdateFailed(std::string text, bool retry) override { set(text + (retry ? "+" : "")); }
    void set(const std::string& text) { end.set_value(text); }
    std::optional<std::string> wait(std::chrono::milliseconds timeout) {
        return ended.wait_for(timeout) == std::future_status::ready ? std::optional(ended.get())
                                                                    : std::nullopt;
    }

    std::promise<std::string> end;
    std::future<std::string> ended = end.get_future();
};

class Accounts : public testing::Test {
  protected:
    static void SetUpTestSuite() { NET_Init(loopbackConfig()); }
    static void TearDownTestSuite() { NET_Shutdown(); }

    Accounts() { dispatcher.setAccountHandler(&service); }

    void SetUp() override {
        const auto lock = lockBrowser();
        master_adr = NetAddress{};
        browser_ready = 0;
    }

    // Logs in as `user` with the master's compact answer, which sends nothing more.
    void logInAs(const std::string& user, int32_t accountLevel) {
        master.answerWith(answerLogIns(accepted(accountLevel, true)));
        ASSERT_EQ(service.logIn(LoginRequestKind::LogIn, user, "secret", false).outcome,
                  LoginOutcome::AcceptedCompact);
        master.answerWith(nullptr);
    }

    // Hands one message to the dispatcher as the receive thread would.
    void dispatch(const Bytes& message, const NetAddress& from) {
        SizeBuffer loaded = messageOf(message);
        const auto lock = NET_LockReceive();
        dispatcher.dispatchMessage(loaded, from, Sys_Milliseconds());
    }

    // The requests the master has had since `before`, once `count` more came.
    std::vector<Bytes> newRequests(size_t before, size_t count) {
        const std::vector<Bytes> all = master.requests(before + count);
        EXPECT_GE(all.size(), before + count);
        return {all.begin() + static_cast<std::ptrdiff_t>(before), all.end()};
    }

    Peer master;
    Peer stranger;
    MemoryRowView servers;
    MemoryRowView players;
    MemoryAccountViews views;
    Dispatcher dispatcher{{servers, players, views}, nullptr};
    ServerBrowser browser{{servers, players, views}, {master.text()}};
    // Answers come at once on loopback; only silent exchanges use the short window.
    AccountService service{views.views(), {master.text(), {kEventWait, 1s}}, &dispatcher, &browser};
    AccountService quick{views.views(), {master.text(), {300ms, 100ms}}, &dispatcher, &browser};
};

TEST_F(Accounts, LogInReportsEachAnswerOfTheMasterAndAsksForTheListAfterTheLongOne) {
    browser_ready = 10;
    const auto refused = [](int32_t reason) {
        return bytesOf([&](SizeBuffer& b) { writeAccountRefused(b, reason); });
    };
    const std::string version =
        "version: A newer version of Brumvek has been released. Please upgrade to the newest version before "
        "continuing.\n\nVisit www.pellrig.example for more information.";
    const struct {
        Bytes reply;
        bool firstRun;
        std::string report;
        bool listed;
    } cases[] = {
        {refused(1342), false, "failed: Invalid Password", false},
        {refused(1340), false, "failed: That account does not exist", false},
        {refused(1341), false, "failed: That account already exists", false},
        {refused(1345), false, version, false},
        {bytesOf([](SizeBuffer& b) { writeVersionRejected(b); }), false, version, false},
        {accepted(1, false), false, "level 1", true},
        {accepted(1, false), true, "level 1", false},
        {accepted(2, true), false, "level 2", false},
    };
    for (const auto& test : cases) {
        master.answerWith(answerLogIns(test.reply));
        const size_t before = master.requests().size();
        {
            Report report;
            const LoginThread thread(service, report, LoginRequestKind::CreateAccount, "neo", "pw",
                                     test.firstRun);
            EXPECT_EQ(report.wait(kEventWait), test.report);
        }
        // A request sent after the log-in marks where a list request would have been.
        service.requestRecentPlayers();
        const std::vector<Bytes> sent = newRequests(before, test.listed ? 3 : 2);
        EXPECT_EQ(codeOf(sent.front()), kAccountCreateRequestCode);
        EXPECT_EQ(sent[1] == kListRequest, test.listed) << test.report;
        EXPECT_EQ(codeOf(sent.back()), kRecentPlayersRequestCode) << test.report;
    }
    EXPECT_EQ(service.ownAccount(), (OwnAccount{3, 2, 2500, 1, 2}));
}

TEST_F(Accounts, ExchangesTakeAnAnswerOfTheirLastWaitAndEndAfterTheWindowOrOnAStop) {
    // The window is tested before each wait: an answer that comes after the
    // window, during a wait that began inside it, still counts.
    AccountService patient{views.views(), {master.text(), {100ms, kEventWait}}};
    master.answerWith([](const Bytes&) {
        std::this_thread::sleep_for(400ms);
        return std::vector<Bytes>{accepted(0, false)};
    });
    EXPECT_EQ(patient.logIn(LoginRequestKind::LogIn, "imp", "pw", true).outcome, LoginOutcome::Accepted);

    // A silent master, and a master host that fails without a look-up.
    master.answerWith(nullptr);
    const LoginResult silent = quick.logIn(LoginRequestKind::LogIn, "imp", "pw", true);
    EXPECT_EQ(silent.outcome, LoginOutcome::Failed);
    EXPECT_EQ(silent.text, "Unable to establish a connection");
    AccountService nowhere{views.views(), {"", {100ms, 50ms}}};
    EXPECT_EQ(nowhere.logIn(LoginRequestKind::LogIn, "imp", "pw", true).text, silent.text);

    // Only the stop can end these waits before the window, and a stopped
    // exchange reports nothing.
    Report login;
    Report update;
    const size_t before = master.requests().size();
    {
        const LoginThread thread(service, login, LoginRequestKind::LogIn, "alice", "pw", true);
        ASSERT_EQ(newRequests(before, 1).size(), 1u);
    }
    {
        const ProfileUpdateThread thread(service, update, {}, "bio");
        ASSERT_EQ(newRequests(before, 2).size(), 2u);
    }
    EXPECT_EQ(login.wait(0ms), std::nullopt);
    EXPECT_EQ(update.wait(0ms), std::nullopt);
}

TEST_F(Accounts, RepliesTakeEffectOnlyFromTheMaster) {
    logInAs("alice", 0);
    // No master list request has named the master yet: the request resolves it.
    service.requestRecentPlayers();
    EXPECT_EQ(newRequests(1, 1).front(), (Bytes{0x44, 0x05, 0x00, 0x00}));

    // Someone else's datagrams change nothing and show nothing, however they look.
    dispatch(profileOf("ALICE", 2), stranger.address());
    dispatch(bytesOf([](SizeBuffer& b) { writePlayerNotFound(b, "x"); }), stranger.address());
    dispatch(profileOf("ALICE", 2), loopback(static_cast<uint16_t>(NET_Port(master.address()) + 1)));
    EXPECT_EQ(views.shown().count(), 0u);

    // The master's own profile of the player refreshes OwnAccount, whatever the case of the name.
    dispatch(profileOf("ALICE", 2), master.address());
    dispatch(profileOf("Cyb", 1), master.address());
    dispatch(bytesOf([](SizeBuffer& b) { writeRecentPlayersReply(b, {}); }), master.address());
    dispatch(bytesOf([](SizeBuffer& b) { writePlayerNotFound(b, std::string(200, 'g')); }), master.address());
    dispatch(bytesOf([](SizeBuffer& b) { writeAccountDeleted(b, "imp"); }), master.address());
    dispatch(kUpdated, master.address());
    // The log-in answers belong to the log-in exchange alone.
    dispatch(accepted(0, false), master.address());

    const Shown shown = views.shown();
    ASSERT_EQ(shown.profiles.size(), 2u);
    EXPECT_TRUE(shown.profiles[0].ownProfile);
    EXPECT_EQ(shown.profiles[0].levelFloor, 6000);
    EXPECT_EQ(shown.profiles[0].levelCeiling, 7000);
    EXPECT_FALSE(shown.profiles[1].ownProfile);
    EXPECT_EQ(shown.profiles[1].viewer, (OwnAccount{9, 6, 6100, 4, 2}));
    EXPECT_EQ(service.ownAccount(), (OwnAccount{9, 6, 6100, 4, 2}));
    EXPECT_EQ(recordText(service.playerProfile().name), "Cyb");
    EXPECT_EQ(shown.recentPlayers, (std::vector<std::vector<std::string>>{{}}));
    ASSERT_EQ(shown.messages.size(), 3u);  // the third: the dispatcher's unknown code
    EXPECT_EQ(shown.messages[0].text, ("No information found for " + std::string(200, 'g')).substr(0, 127));
    EXPECT_EQ(shown.messages[1].text, "imp's account deleted.\n");
}

TEST_F(Accounts, RequestsCheckRightsAndTheNameBoxAndTheAdministratorConfirmsEdits) {
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

    // The administrator's edits go to the player whose dialog shows them, even
    // when another player's profile has arrived since.
    EXPECT_TRUE(service.lookUpPlayer("imp"));
    dispatch(profileOf("imp", 0), master.address());
    dispatch(profileOf("cacodemon", 0), master.address());
    PlayerProfile imp = views.shown().profiles.at(0).profile;
    const ProfileEdits edits{"reformed", 12000, 1};
    views.answerQuestions(false);
    EXPECT_FALSE(service.confirmProfileUpdate(imp, edits));
    views.answerQuestions(true);
    EXPECT_TRUE(service.confirmProfileUpdate(imp, edits));
    master.answerWith(always({kUpdated}));
    EXPECT_EQ(service.updateProfile(imp, "ignored").outcome, UpdateOutcome::Updated);
    EXPECT_EQ(recordText(imp.bio), "reformed");

    const Shown shown = views.shown();
    const Message noName{"Nothing in the name box.", ""};
    EXPECT_EQ(shown.messages,
              (std::vector<Message>{
                  noName, noName, {"No access", ""}, {"Enable Server: No server selected\n", ""}}));
    const Message erase{"WHOA!\n\nAre you *POSITIVE* that you want to delete this account?", "BLASphemy!"};
    const Message modify{
        "Are you sure you want to change imp's information?\n\nBio: reformed\nExperience: 12000\nAccount: 1",
        "Modify another user?"};
    EXPECT_EQ(shown.questions, (std::vector<Message>{erase, erase, modify, modify}));

    const std::vector<Bytes> sent = newRequests(0, 7);
    ASSERT_EQ(sent.size(), 7u);
    EXPECT_EQ(sent[1], bytesOf([](SizeBuffer& b) { writePlayerLookupRequest(b, "Cyb"); }));
    EXPECT_EQ(sent[2],
              bytesOf([](SizeBuffer& b) { writeAccountDeleteRequest(b, "alice", "secret", "imp"); }));
    EXPECT_EQ(sent[4], bytesOf([](SizeBuffer& b) { writeStatCollection(b, false, "10.0.0.5:10666"); }));
    EXPECT_EQ(sent[6], bytesOf([&](SizeBuffer& b) { writeProfileAdminUpdate(b, "root", "secret", imp); }));
}

TEST_F(Accounts, ProfileUpdateWaitsForTheAcknowledgementFromTheMaster) {
    logInAs("alice", 0);
    const struct {
        Peer::Answer answer;
        std::string report;
    } cases[] = {
        {always({kUpdated}), "updated"},
        {nullptr, "Update failed. Please try again+"},  // a stranger's acknowledgement does not count
        {always({bytesOf([](SizeBuffer& b) { writeAccountRefused(b, 1342); })}), "Unknown message\n"},
        {always({bytesOf([](SizeBuffer& b) { writeMasterListReply(b, {}); }), Bytes{1, 2, 3}, kUpdated}),
         "updated"},
    };
    for (const auto& test : cases) {
        master.answerWith(test.answer);
        const size_t before = master.requests().size();
        if (!test.answer) {
            stranger.send(kUpdated, launcherAddress());
        }
        Report report;
        {
            const ProfileUpdateThread thread(test.answer ? service : quick, report, {}, "my new bio");
            EXPECT_EQ(report.wait(kEventWait), test.report);
        }
        EXPECT_EQ(newRequests(before, 1).front(),
                  bytesOf([](SizeBuffer& b) { writeProfileBioUpdate(b, "my new bio"); }));
    }
    EXPECT_EQ(views.shown().count(), 0u);
}

// With the receive thread running, either thread may read an exchange's answer;
// it reaches the exchange once, and everything else still reaches the dispatcher.
TEST_F(Accounts, AnswersReachTheExchangeWhicheverThreadReads) {
    ReceiveThread receiver(dispatcher, 5ms);
    logInAs("alice", 0);
    master.answerWith(always({bytesOf([](SizeBuffer& b) { writePlayerNotFound(b, "ghost"); }), kUpdated}));
    service.requestRecentPlayers();  // names the master for the receive thread
    constexpr int kRounds = 20;
    for (int i = 0; i < kRounds; ++i) {
        Report report;
        const ProfileUpdateThread update(service, report, {}, "bio " + std::to_string(i));
        EXPECT_EQ(report.wait(kEventWait), "updated") << "round " << i;
    }
    // One more for the recent players request.
    ASSERT_TRUE(
        views.waitUntil([](const Shown& shown) { return shown.messages.size() > kRounds; }, kEventWait));
    EXPECT_EQ(views.shown().messages,
              std::vector<Message>(kRounds + 1, {"No information found for ghost\n", ""}));
}

}  // namespace
