// Feeds a run of messages to the account service the two ways they reach it:
// through the dispatcher to the replies' handler, as the receive thread hands
// them on, and to an exchange (log-in, new account, profile update) that waits
// for its answer on a thread of its own while the dispatcher offers it every
// message. No socket is opened: the exchanges send into the void.
//
// Input: up to eight messages one after the other, each [control][length: 2 bytes][message].
// The control byte's bits 0-1 pick the sender (the master, a stranger, the
// master's host on another port), bits 2-4 the exchange waiting (1 log-in, 2 new
// account, 3 profile update, others none; only the first one asked for runs)
// and bit 5 the user name it logs in with.
#include <array>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "accounts/account_service.h"
#include "accounts/account_texts.h"
#include "accounts/memory_account_views.h"
#include "browser/memory_row_view.h"
#include "browser/server_table.h"
#include "fuzz_support.h"
#include "net/transport.h"

namespace {

using Shown = MemoryAccountViews::Shown;

NetAddress addressOf(std::array<uint8_t, 4> ip, uint16_t port) {
    NetAddress address;
    address.ip = ip;
    NET_SetPort(address, port);
    return address;
}

const NetAddress kMaster = addressOf({10, 0, 0, 100}, kMasterPort);
const NetAddress kSenders[4] = {kMaster, addressOf({10, 0, 0, 7}, kMasterPort),
                                addressOf({10, 0, 0, 100}, kMasterPort + 1), kMaster};

enum class Exchange { None, LogIn, CreateAccount, UpdateProfile };

// Messages taken from one input. Eight make every sequence of interest; more
// only repeat, at a cost: a six-byte list of recent players announces 32767 names.
constexpr int kMaxMessages = 8;

// How an exchange ended: one of the two results.
struct Ending {
    std::optional<LoginResult> login;
    std::optional<UpdateResult> update;
};

// Runs one exchange at a time on a thread that lives as long as the process, as
// the log-in and profile update threads would, without a thread per exchange.
class ExchangeThread {
  public:
    ExchangeThread() : m_thread([this](const std::stop_token& stop) { run(stop); }) {}

    // Starts `exchange` and returns once it waits for its answer: it has sent
    // its request (nothing else tells when, so this looks), or it has ended.
    void start(std::function<Ending()> exchange) {
        {
            const auto lock = NET_LockOutMessage();
            SZ_Clear(net_outmessage);
        }
        {
            const std::scoped_lock lock(m_mutex);
            m_exchange = std::move(exchange);
            m_ending.reset();
        }
        m_changed.notify_all();
        for (int looks = 0;; ++looks) {
            {
                const auto lock = NET_LockOutMessage();
                if (net_outmessage.cursize > 0) {
                    return;
                }
            }
            {
                const std::scoped_lock lock(m_mutex);
                if (m_ending) {
                    return;
                }
            }
            if (looks < 100) {
                std::this_thread::yield();
            } else {
                std::this_thread::sleep_for(std::chrono::microseconds(20));
            }
        }
    }

    // Waits for the end of the exchange, which has had its answer by now.
    Ending finish() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_ending.has_value(); });
        // Nothing stays allocated between inputs, or libFuzzer runs each again to look for a leak.
        Ending ending = std::move(*m_ending);
        m_ending.reset();
        return ending;
    }

  private:
    void run(const std::stop_token& stop) {
        std::unique_lock lock(m_mutex);
        while (!stop.stop_requested()) {
            if (!m_exchange) {
                m_changed.wait_for(lock, std::chrono::milliseconds(100));
                continue;
            }
            std::function<Ending()> exchange = std::exchange(m_exchange, nullptr);
            lock.unlock();
            Ending ending = exchange();
            exchange = nullptr;
            lock.lock();
            m_ending = std::move(ending);
            m_changed.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::function<Ending()> m_exchange;
    std::optional<Ending> m_ending;
    std::jthread m_thread;  // last: stops before the members it uses go
};

bool isLoginAnswer(int32_t code) {
    return code == kAccountRefusedCode || code == kAccountAcceptedCode ||
           code == kAccountAcceptedCompactCode || code == kVersionRejectedCode;
}

void checkProfile(const PlayerProfile& profile) {
    FUZZ_CHECK(terminated(profile.name));
    FUZZ_CHECK(terminated(profile.bio));
}

bool inByteRange(int32_t value) {
    return value >= -1 && value <= 255;
}

// Checks what the exchange made of the message, and whether it was its to take.
void checkExchange(const Ending& ending, bool taken, int32_t code, const NetAddress& from,
                   const OwnAccount& own) {
    if (ending.update) {
        const UpdateOutcome outcome = ending.update->outcome;
        if (!taken) {
            // It ended on the closing answer.
            FUZZ_CHECK(outcome == UpdateOutcome::Updated);
            return;
        }
        FUZZ_CHECK(from == kMaster && code > 0);
        FUZZ_CHECK((outcome == UpdateOutcome::Updated) == (code == kProfileUpdatedCode));
        FUZZ_CHECK(outcome == UpdateOutcome::Updated ||
                   (outcome == UpdateOutcome::UnknownAnswer && ending.update->text == kUnknownMessage));
        return;
    }
    FUZZ_CHECK(ending.login.has_value());
    const LoginResult& result = *ending.login;
    if (!taken) {
        FUZZ_CHECK(result.outcome == LoginOutcome::VersionRefused);
        return;
    }
    FUZZ_CHECK(from == kMaster && isLoginAnswer(code));
    switch (result.outcome) {
        case LoginOutcome::Accepted:
        case LoginOutcome::AcceptedCompact:
            FUZZ_CHECK(code == (result.outcome == LoginOutcome::Accepted ? kAccountAcceptedCode
                                                                         : kAccountAcceptedCompactCode));
            FUZZ_CHECK(result.account == own);
            FUZZ_CHECK(inByteRange(own.accountLevel));
            FUZZ_CHECK(code == kAccountAcceptedCode || (inByteRange(own.rank) && inByteRange(own.level)));
            break;
        case LoginOutcome::Failed:
            FUZZ_CHECK(code == kAccountRefusedCode);
            FUZZ_CHECK(result.text == kNoSuchAccount || result.text == kAccountExists ||
                       result.text == kBadPassword);
            break;
        case LoginOutcome::VersionRefused:
            FUZZ_CHECK(code == kAccountRefusedCode || code == kVersionRejectedCode);
            break;
        case LoginOutcome::Stopped:
            FUZZ_CHECK(false);
    }
}

// What the views have shown so far, counted.
struct Counts {
    size_t recentPlayers = 0;
    size_t profiles = 0;
    size_t messages = 0;
    friend bool operator==(const Counts&, const Counts&) = default;
};

// Looks at what the views show, in place: a reply may list thousands of names.
void inspect(const MemoryAccountViews& views, const std::function<void(const Shown&)>& look) {
    views.waitUntil(
        [&](const Shown& shown) {
            look(shown);
            return true;
        },
        std::chrono::milliseconds(0));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    // What NET_Init sets up for sending, without the socket.
    const auto lock = NET_LockOutMessage();
    SZ_Init(net_outmessage, kMessageSize);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ExchangeThread exchanges;
    {
        const auto lock = lockBrowser();
        resetServerTable();
        master_adr = kMaster;
    }
    MemoryRowView servers;
    MemoryRowView players;
    MemoryQueuedMessageView browserMessages;
    Dispatcher dispatcher({servers, players, browserMessages}, nullptr);
    MemoryAccountViews views;
    // A window far longer than any run: every exchange ends on an answer.
    AccountService service(
        views.views(), {"10.0.0.100:15100", {std::chrono::hours(1), std::chrono::seconds(1)}}, &dispatcher);
    dispatcher.setAccountHandler(&service);

    Counts before;
    int exchangesLeft = 1;
    FuzzInput input({data, size});
    for (int messages = 0; messages < kMaxMessages && !input.empty(); ++messages) {
        const uint8_t control = input.byte();
        const NetAddress& from = kSenders[control & 3];
        // One exchange per input: each costs four thread switches.
        const int asked = (control >> 2) & 7;
        const auto exchange = exchangesLeft > 0 && asked <= 3 ? static_cast<Exchange>(asked) : Exchange::None;
        exchangesLeft -= exchange != Exchange::None ? 1 : 0;
        const std::string user = (control & 0x20) != 0 ? "Bob" : "alice";
        const std::span<const uint8_t> bytes = input.piece(kMessageSize);
        const int32_t code = messageCode(bytes);
        SizeBuffer message = loadedMessage(bytes);

        const OwnAccount ownBefore = service.ownAccount();
        const PlayerProfile profileBefore = service.playerProfile();
        if (exchange == Exchange::LogIn || exchange == Exchange::CreateAccount) {
            const LoginRequestKind kind =
                exchange == Exchange::LogIn ? LoginRequestKind::LogIn : LoginRequestKind::CreateAccount;
            exchanges.start([&service, kind, user] {
                return Ending{service.logIn(kind, user, "secret", false), {}};
            });
        } else if (exchange == Exchange::UpdateProfile) {
            exchanges.start([&service, shown = profileBefore] {
                return Ending{{}, service.updateProfile(shown, "bio")};
            });
        }

        {
            const auto lock = NET_LockReceive();
            dispatcher.dispatchMessage(message, from, Sys_Milliseconds());
        }

        bool taken = false;
        Ending ending;
        if (exchange != Exchange::None) {
            // An exchange the message did not answer ends on an answer that
            // changes nothing; stopping it instead could drop an answer it took.
            SizeBuffer closing = loadedMessage({});
            taken = !service.takeAwaitedReply(
                exchange == Exchange::UpdateProfile ? kProfileUpdatedCode : kVersionRejectedCode, closing,
                kMaster);
            ending = exchanges.finish();
        }

        const OwnAccount own = service.ownAccount();
        const PlayerProfile profile = service.playerProfile();
        checkProfile(profile);
        if (exchange != Exchange::None) {
            checkExchange(ending, taken, code, from, own);
        }
        Counts after;
        inspect(views, [&](const Shown& shown) {
            after = {shown.recentPlayers.size(), shown.profiles.size(), shown.messages.size()};
            for (size_t i = before.recentPlayers; i < after.recentPlayers; ++i) {
                for (const std::string& name : shown.recentPlayers[i]) {
                    FUZZ_CHECK(name.size() <= kMaxListedName);
                }
            }
            for (size_t i = before.profiles; i < after.profiles; ++i) {
                checkProfile(shown.profiles[i].profile);
                FUZZ_CHECK(shown.profiles[i].profile == profile);
                FUZZ_CHECK(shown.profiles[i].viewer == own);
            }
            for (size_t i = before.messages; i < after.messages; ++i) {
                FUZZ_CHECK(shown.messages[i].text.size() < 128);
            }
        });
        if (taken || from != kMaster) {
            // Answers go to their exchange alone, and only the master's replies count.
            FUZZ_CHECK(after == before);
            FUZZ_CHECK(profile == profileBefore);
            FUZZ_CHECK(own == ownBefore || taken);
        } else if (own != ownBefore) {
            // A profile of the logged-in player refreshes the own record.
            FUZZ_CHECK(code == kPlayerProfileReplyCode);
            FUZZ_CHECK(sameAccountName(recordText(profile.name), service.credentials().user));
        }
        before = after;
    }
    return 0;
}
