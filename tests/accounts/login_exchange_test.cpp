// The log-in exchange against pellrig-sim's account service on loopback.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "account_test_support.h"
#include "accounts/account_service.h"
#include "accounts/account_texts.h"
#include "accounts/account_threads.h"
#include "accounts/memory_account_views.h"
#include "browser/memory_row_view.h"
#include "sim_process.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string kVersionText =
    "A newer version of Brumvek has been released. Please upgrade to the newest version before continuing."
    "\n\nVisit www.pellrig.example for more information.";

Bytes accepted(int32_t accountLevel) {
    return bytesOf([&](SizeBuffer& b) {
        writeAccountAccepted(b, OwnAccount{1, 1, 1, 1, accountLevel}, false);
    });
}

// Records the one report of a log-in thread.
class Report final : public LoginView, public OneReport {
  public:
    void loginSucceeded(const OwnAccount& account) override {
        record("accepted level " + std::to_string(account.level));
    }
    void loginFailed(std::string text) override { record("failed: " + text); }
    void versionRefused(std::string text) override { record("version: " + text); }
};

class LoginExchange : public testing::Test {
  protected:
    static void SetUpTestSuite() { NET_Init({0, "127.0.0.1"}); }
    static void TearDownTestSuite() { NET_Shutdown(); }

    std::unique_ptr<AccountService> serviceFor(const std::string& master, ExchangeTimings timings = {}) {
        return std::make_unique<AccountService>(views.views(), AccountConfig{master, timings});
    }

    MemoryAccountViews views;
};

TEST_F(LoginExchange, AcceptsBothFormsAndReportsEachRefusal) {
    SimProcess sim({});
    SimProcess compact({"--compact-accept"});
    auto service = serviceFor(sim.master);
    const struct {
        LoginRequestKind kind;
        LoginOutcome outcome;
        std::string user;
        std::string password;
        std::string text;
    } cases[] = {
        {LoginRequestKind::LogIn, LoginOutcome::Failed, "nobody", "pw", kNoSuchAccount},
        {LoginRequestKind::LogIn, LoginOutcome::Failed, "alice", "wrong", kBadPassword},
        {LoginRequestKind::CreateAccount, LoginOutcome::Failed, "ALICE", "pw", kAccountExists},
        {LoginRequestKind::LogIn, LoginOutcome::Accepted, "Alice", "wonderland", ""},
    };
    for (const auto& test : cases) {
        const LoginResult result = service->logIn(test.kind, test.user, test.password, true);
        EXPECT_EQ(result.outcome, test.outcome) << test.user;
        EXPECT_EQ(result.text, test.text) << test.user;
    }
    // alice has the third most experience among the seed players.
    EXPECT_EQ(service->ownAccount(), (OwnAccount{3, 1, 1500, 3, 0}));

    auto other = serviceFor(compact.master);
    EXPECT_EQ(other->logIn(LoginRequestKind::CreateAccount, "neo", "matrix", true).outcome,
              LoginOutcome::AcceptedCompact);
    EXPECT_EQ(other->ownAccount(), (OwnAccount{5, 0, 0, 5, 0}));
    const LoginResult admin = other->logIn(LoginRequestKind::LogIn, "gaffer", "loupgarou", true);
    EXPECT_EQ(admin.outcome, LoginOutcome::AcceptedCompact);
    EXPECT_EQ(admin.account, (OwnAccount{2, 5, 5200, 2, 2}));
    EXPECT_TRUE(other->isAdministrator());
    EXPECT_EQ(other->credentials().user, "gaffer");
    EXPECT_EQ(views.shown().count(), 0u);
}

TEST_F(LoginExchange, OtherVersionsAreRefusedBothWays) {
    for (const char* refusal : {"rejected", "refused"}) {
        SimProcess sim({"--protocol-version", "105", "--version-refusal", refusal});
        auto service = serviceFor(sim.master);
        Report report;
        {
            LoginThread thread(*service, report, LoginRequestKind::LogIn, "alice", "wonderland", false);
            EXPECT_EQ(report.wait(5s), "version: " + kVersionText) << refusal;
        }
        EXPECT_EQ(service->ownAccount(), OwnAccount{}) << refusal;
    }
}

// Someone else's acceptance or version refusal and a datagram too short for a
// code are read while the exchange waits, and change nothing: the master's own
// answer decides.
TEST_F(LoginExchange, IgnoresStrangersAndShortDatagrams) {
    SimProcess sim({"--account-delay-ms", "200"});
    auto service = serviceFor(sim.master);
    Peer stranger;  // on the master's host, at another port
    stranger.send(accepted(2), launcherAddress());
    stranger.send(bytesOf([](SizeBuffer& b) { writeVersionRejected(b); }), launcherAddress());
    stranger.send(Bytes{0x43, 0x05, 0x00}, launcherAddress());

    const LoginResult result = service->logIn(LoginRequestKind::LogIn, "alice", "guess", true);
    EXPECT_EQ(result.outcome, LoginOutcome::Failed);
    EXPECT_EQ(result.text, kBadPassword);
    EXPECT_EQ(service->ownAccount(), OwnAccount{});
}

// The window is tested before each wait, so the exchange gives up no earlier
// than the window and takes an answer that comes during the last wait.
TEST_F(LoginExchange, WindowIsTestedBeforeEachWait) {
    const ExchangeTimings timings{900ms, 400ms};
    SimProcess late({"--account-delay-ms", "1000"});
    Clock::time_point start = Clock::now();
    EXPECT_EQ(
        serviceFor(late.master, timings)->logIn(LoginRequestKind::LogIn, "imp", "fireball", true).outcome,
        LoginOutcome::Accepted);
    EXPECT_GE(Clock::now() - start, 1000ms);

    Peer silent;
    start = Clock::now();
    const LoginResult result =
        serviceFor(silent.text(), timings)->logIn(LoginRequestKind::LogIn, "imp", "fireball", true);
    const auto elapsed = Clock::now() - start;
    EXPECT_EQ(result.outcome, LoginOutcome::Failed);
    EXPECT_EQ(result.text, kNoConnection);
    EXPECT_GE(elapsed, 1200ms) << "the last wait runs to its end";
    EXPECT_LT(elapsed, 3000ms);
    ASSERT_TRUE(silent.waitForRequests(1));
    EXPECT_EQ(silent.requests()[0], bytesOf([](SizeBuffer& b) {
                  writeAccountLoginRequest(b, LoginRequestKind::LogIn, "imp", "fireball");
              }));

    // A master host that does not resolve: nothing is sent and the wait runs out.
    start = Clock::now();
    EXPECT_EQ(serviceFor("no-such-host.invalid", {100ms, 50ms})
                  ->logIn(LoginRequestKind::LogIn, "a", "b", true)
                  .text,
              kNoConnection);
    EXPECT_GE(Clock::now() - start, 100ms);
}

}  // namespace
