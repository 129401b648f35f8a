#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "accounts/account_messages.h"
#include "accounts/account_records.h"
#include "accounts/account_views.h"
#include "accounts/awaited_reply.h"
#include "browser/account_handler.h"
#include "browser/browser_ops.h"
#include "browser/dispatcher.h"
#include "net/net_address.h"

// The launcher's side of the account service: the log-in and profile update
// exchanges, the requests that the receive thread's replies answer, those
// replies' effects on the account records, and the records themselves.
//
// Sharing the socket: an exchange waits for its answer in an AwaitedReply. The
// dispatcher offers every message to it first (takeAwaitedReply), and while an
// exchange waits it also reads the socket itself, under the receive lock,
// routing each datagram the same way. So the answer is handled once, by the
// exchange, whether or not a receive thread runs, and anything else that
// arrives meanwhile still reaches the dispatcher.

// The 5-second window of an exchange, tested before each wait of up to a
// second for the socket. Tests shorten both.
struct ExchangeTimings {
    std::chrono::milliseconds window{5000};
    std::chrono::milliseconds wait{1000};
};

struct AccountConfig {
    // "host" or "host:port"; without a port the master's port 15100 is used.
    std::string masterHost{kDefaultMasterHost};
    ExchangeTimings timings;
};

// The user name and password of the last log-in attempt; the administrator's
// requests send them again.
struct Credentials {
    std::string user;
    std::string password;
};

// The first of the log-in dialog's checks that the fields fail, or nullptr when
// they may be sent. Lengths are counted in bytes.
const char* loginFieldsError(std::string_view user, std::string_view password);

enum class LoginOutcome {
    Accepted,         // AccountAccepted
    AcceptedCompact,  // AccountAcceptedCompact
    Failed,           // no answer, or a refusal: `text` says which
    VersionRefused,   // `text` is the version message
    Stopped,          // the caller's stop token ended the wait
};

struct LoginResult {
    LoginOutcome outcome = LoginOutcome::Stopped;
    std::string text;
    OwnAccount account;  // as stored, after a success
};

enum class UpdateOutcome {
    Updated,        // ProfileUpdated
    UnknownAnswer,  // the master answered something else, or could not be reached
    TimedOut,       // no answer within the window; the user may try again
    Stopped,
};

struct UpdateResult {
    UpdateOutcome outcome = UpdateOutcome::Stopped;
    std::string text;  // what to show on failure
};

// What the profile dialog holds when Update is pressed.
struct ProfileEdits {
    std::string bio;
    int32_t experience = 0;
    int32_t accountLevel = -1;  // index in the level list; -1 none
};

class AccountService final : public AccountReplyHandler {
  public:
    // `dispatcher` takes what an exchange reads that is not its answer; null
    // leaves such datagrams unread by anyone (the log-in at start-up, before the
    // browser exists). `browser` sends the master list request after a log-in;
    // null sends none. Everything given must outlive the service. Install the
    // service in the dispatcher with setAccountHandler().
    AccountService(AccountViews views, AccountConfig config, Dispatcher* dispatcher = nullptr,
                   ServerBrowser* browser = nullptr);

    // The records; any thread.
    OwnAccount ownAccount() const;
    PlayerProfile playerProfile() const;
    Credentials credentials() const;
    bool isAdministrator() const;

    // The log-in exchange: remembers the credentials, sends the request to the
    // master host, and waits for an answer from that address. On success stores
    // OwnAccount and, after the long form and unless `firstRun`, calls
    // SendMasterRequest(). Blocks for up to the window and one wait; on any
    // thread but the receive thread. Exchanges run one at a time.
    LoginResult logIn(LoginRequestKind kind, std::string user, std::string password, bool firstRun,
                      const std::stop_token& stop = {});

    // The profile dialog's Update before the exchange, on the UI thread. For an
    // administrator, writes the edits into `shown`, the profile that dialog
    // shows, and asks "Modify another user?" naming that player; returns false
    // on No. Others go on at once. Each dialog keeps its own profile: the last
    // one received may be another player's by now.
    bool confirmProfileUpdate(PlayerProfile& shown, const ProfileEdits& edits);
    // The profile update exchange: ProfileAdminUpdate for an administrator (from
    // `shown` and the credentials), else ProfileBioUpdate with `bio`; then waits
    // like the log-in exchange for ProfileUpdated from the master.
    UpdateResult updateProfile(const PlayerProfile& shown, std::string_view bio,
                               const std::stop_token& stop = {});

    // Requests answered through the receive thread, sent to master_adr (resolved
    // first when no master list request has set it). The UI thread's; they never
    // wait for an answer.
    void requestRecentPlayers();
    // With an empty name box: "Nothing in the name box." and false.
    bool lookUpPlayer(std::string_view nameBox);
    // Empty name box as above; then asks for confirmation and sends unless No.
    // Returns whether the request went out.
    bool deleteAccount(std::string_view nameBox);
    // The Admin menu's two commands: "No access" below the administrator level,
    // then "Enable Server: No server selected\n" without `selectedServer` (its
    // record's address text). Returns whether the request went out.
    bool switchStatCollection(bool enable, const std::optional<std::string>& selectedServer);

    // AccountReplyHandler: replies from anyone but the master are ignored.
    bool takeAwaitedReply(int32_t code, SizeBuffer& message, const NetAddress& from) override;
    void handleAccountReply(int32_t code, SizeBuffer& message, const NetAddress& from) override;

  private:
    bool resolveMasterHost(NetAddress& out) const;
    std::optional<NetAddress> masterAddress() const;
    bool fromMaster(const NetAddress& from) const;
    template <typename Write>
    void send(const NetAddress& to, Write write);
    // Waits as the log-in exchange does; true once the awaited answer was read.
    bool awaitAnswer(const std::stop_token& stop);
    // Waits up to one wait for the socket, reading and routing what comes; ends
    // early once a datagram arrives or the answer has been read.
    void waitOnce(const std::stop_token& stop);
    void route(SizeBuffer& message, const NetAddress& from, uint32_t arrivalTime);

    AccountViews m_views;
    AccountConfig m_config;
    Dispatcher* m_dispatcher;
    ServerBrowser* m_browser;

    std::mutex m_exchangeMutex;  // one exchange at a time
    AwaitedReply m_awaited;

    mutable std::mutex m_recordsMutex;
    OwnAccount m_own;
    PlayerProfile m_profile;
    Credentials m_credentials;
};
