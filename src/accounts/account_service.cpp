#include "accounts/account_service.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "accounts/account_texts.h"
#include "browser/messages.h"
#include "browser/server_table.h"
#include "net/transport.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How often a waiting exchange looks at its answer when another thread may
// have read it; the wait as a whole keeps its length.
constexpr milliseconds kPollSlice{50};

constexpr size_t kMaxLoginField = 16;

// The codes the dispatcher acts on. An exchange hands these on when they are
// not its answer; anything else it reads is ignored, as the exchanges always
// have.
bool isDispatcherCode(int32_t code) {
    return code == kMasterListCode || code == kServerInfoReplyCode || isAccountReplyCode(code);
}

bool isLoginAnswer(int32_t code) {
    return code == kAccountRefusedCode || code == kAccountAcceptedCode ||
           code == kAccountAcceptedCompactCode || code == kVersionRejectedCode;
}

// The message boxes built from a name are 128-byte texts; a longer name is cut.
std::string formatName(const char* format, const std::string& name) {
    char text[128];
    std::snprintf(text, sizeof text, format, name.c_str());
    return text;
}

std::string versionRefusalText() {
    return "A newer version of Brumvek has been released. Please upgrade to the newest version before "
           "continuing.\n\nVisit " +
           std::string(kWebHost) + " for more information.";
}

const char* refusalText(int32_t reason) {
    switch (reason) {
        case kReasonNoSuchAccount:
            return kNoSuchAccount;
        case kReasonAccountExists:
            return kAccountExists;
        case kReasonBadPassword:
            return kBadPassword;
        default:
            return nullptr;
    }
}

}  // namespace

const char* loginFieldsError(std::string_view user, std::string_view password) {
    if (user.empty()) {
        return kNoUserName;
    }
    if (password.empty()) {
        return kNoPassword;
    }
    if (user.size() > kMaxLoginField) {
        return kUserNameTooLong;
    }
    if (password.size() > kMaxLoginField) {
        return kPasswordTooLong;
    }
    return nullptr;
}

AccountService::AccountService(AccountViews views, AccountConfig config, Dispatcher* dispatcher,
                               ServerBrowser* browser)
    : m_views(views), m_config(std::move(config)), m_dispatcher(dispatcher), m_browser(browser) {}

OwnAccount AccountService::ownAccount() const {
    const std::scoped_lock lock(m_recordsMutex);
    return m_own;
}

PlayerProfile AccountService::playerProfile() const {
    const std::scoped_lock lock(m_recordsMutex);
    return m_profile;
}

Credentials AccountService::credentials() const {
    const std::scoped_lock lock(m_recordsMutex);
    return m_credentials;
}

bool AccountService::isAdministrator() const {
    const std::scoped_lock lock(m_recordsMutex);
    return m_own.accountLevel == kAdministratorLevel;
}

LoginResult AccountService::logIn(LoginRequestKind kind, std::string user, std::string password,
                                  bool firstRun, const std::stop_token& stop) {
    const std::scoped_lock exchange(m_exchangeMutex);
    {
        const std::scoped_lock lock(m_recordsMutex);
        m_credentials = {user, password};
    }

    struct Answer {
        int32_t code = 0;
        int32_t reason = 0;
        OwnAccount account;
    } answer;
    NetAddress master;
    const bool resolved = resolveMasterHost(master);
    // An unresolved host gets nothing sent and its wait runs out.
    m_awaited.open(
        master, [resolved](int32_t code) { return resolved && isLoginAnswer(code); },
        [&answer](int32_t code, SizeBuffer& message) {
            answer.code = code;
            if (code == kAccountRefusedCode) {
                answer.reason = readAccountRefused(message);
            } else if (code == kAccountAcceptedCode || code == kAccountAcceptedCompactCode) {
                answer.account = readAccountAccepted(message, code == kAccountAcceptedCompactCode);
            }
        });
    if (resolved) {
        send(master, [&](SizeBuffer& buffer) { writeAccountLoginRequest(buffer, kind, user, password); });
    }
    const bool answered = awaitAnswer(stop);
    m_awaited.close();

    if (!answered) {
        return {stop.stop_requested() ? LoginOutcome::Stopped : LoginOutcome::Failed,
                stop.stop_requested() ? "" : kNoConnection,
                {}};
    }
    if (answer.code == kAccountRefusedCode) {
        if (const char* text = refusalText(answer.reason)) {
            return {LoginOutcome::Failed, text, {}};
        }
        return {LoginOutcome::VersionRefused, versionRefusalText(), {}};
    }
    if (answer.code == kVersionRejectedCode) {
        return {LoginOutcome::VersionRefused, versionRefusalText(), {}};
    }
    {
        const std::scoped_lock lock(m_recordsMutex);
        m_own = answer.account;
    }
    if (answer.code == kAccountAcceptedCompactCode) {
        return {LoginOutcome::AcceptedCompact, "", answer.account};
    }
    // On the very first start the welcome flow asks for the list instead.
    if (!firstRun && m_browser != nullptr) {
        m_browser->SendMasterRequest();
    }
    return {LoginOutcome::Accepted, "", answer.account};
}

bool AccountService::confirmProfileUpdate(PlayerProfile& shown, const ProfileEdits& edits) {
    if (!isAdministrator()) {
        return true;
    }
    shown.experience = edits.experience;
    shown.accountLevel = edits.accountLevel;
    copyText(shown.bio, edits.bio);
    char text[512];
    std::snprintf(text, sizeof text, kModifyUserFormat, shown.name, shown.bio, shown.experience,
                  shown.accountLevel);
    return m_views.questions.confirm(text, kModifyUserCaption);
}

UpdateResult AccountService::updateProfile(const PlayerProfile& shown, std::string_view bio,
                                           const std::stop_token& stop) {
    const std::scoped_lock exchange(m_exchangeMutex);
    NetAddress master;
    if (!resolveMasterHost(master)) {
        return {UpdateOutcome::UnknownAnswer, kUnknownMessage};
    }
    bool administrator = false;
    Credentials own;
    {
        const std::scoped_lock lock(m_recordsMutex);
        administrator = m_own.accountLevel == kAdministratorLevel;
        own = m_credentials;
    }

    int32_t answer = 0;
    // Whatever else the master sends that the dispatcher has no use for
    // answers the update too, and means it did not go through.
    m_awaited.open(
        master, [](int32_t code) { return code == kProfileUpdatedCode || !isDispatcherCode(code); },
        [&answer](int32_t code, SizeBuffer& /*message*/) { answer = code; });
    send(master, [&](SizeBuffer& buffer) {
        if (administrator) {
            writeProfileAdminUpdate(buffer, own.user, own.password, shown);
        } else {
            writeProfileBioUpdate(buffer, bio);
        }
    });
    const bool answered = awaitAnswer(stop);
    m_awaited.close();

    if (!answered) {
        return stop.stop_requested() ? UpdateResult{UpdateOutcome::Stopped, ""}
                                     : UpdateResult{UpdateOutcome::TimedOut, kUpdateFailed};
    }
    if (answer == kProfileUpdatedCode) {
        return {UpdateOutcome::Updated, ""};
    }
    return {UpdateOutcome::UnknownAnswer, kUnknownMessage};
}

void AccountService::requestRecentPlayers() {
    if (const std::optional<NetAddress> master = masterAddress()) {
        send(*master, [](SizeBuffer& buffer) { writeRecentPlayersRequest(buffer); });
    }
}

bool AccountService::lookUpPlayer(std::string_view nameBox) {
    if (nameBox.empty()) {
        m_views.messages.showMessage(kNothingInNameBox, {});
        return false;
    }
    const std::optional<NetAddress> master = masterAddress();
    if (!master) {
        return false;
    }
    send(*master, [&](SizeBuffer& buffer) { writePlayerLookupRequest(buffer, nameBox); });
    return true;
}

bool AccountService::deleteAccount(std::string_view nameBox) {
    if (nameBox.empty()) {
        m_views.messages.showMessage(kNothingInNameBox, {});
        return false;
    }
    if (!m_views.questions.confirm(kConfirmDelete, kConfirmDeleteCaption)) {
        return false;
    }
    const std::optional<NetAddress> master = masterAddress();
    if (!master) {
        return false;
    }
    const Credentials own = credentials();
    send(*master,
         [&](SizeBuffer& buffer) { writeAccountDeleteRequest(buffer, own.user, own.password, nameBox); });
    return true;
}

bool AccountService::switchStatCollection(bool enable, const std::optional<std::string>& selectedServer) {
    if (!isAdministrator()) {
        m_views.messages.showMessage(kNoAccess, {});
        return false;
    }
    if (!selectedServer) {
        m_views.messages.showMessage(kNoServerSelected, {});
        return false;
    }
    const std::optional<NetAddress> master = masterAddress();
    if (!master) {
        return false;
    }
    send(*master, [&](SizeBuffer& buffer) { writeStatCollection(buffer, enable, *selectedServer); });
    return true;
}

bool AccountService::takeAwaitedReply(int32_t code, SizeBuffer& message, const NetAddress& from) {
    return m_awaited.offer(code, message, from);
}

void AccountService::handleAccountReply(int32_t code, SizeBuffer& message, const NetAddress& from) {
    // Anyone can send a datagram to the launcher's port; only the master's
    // replies count.
    if (!fromMaster(from)) {
        return;
    }
    switch (code) {
        case kRecentPlayersReplyCode:
            m_views.recentPlayers.showRecentPlayers(readRecentPlayersReply(message));
            break;
        case kPlayerProfileReplyCode: {
            const ProfileReply reply = readPlayerProfileReply(message);
            ProfileShowing showing{reply.profile, false, reply.levelFloor, reply.levelCeiling, {}};
            {
                const std::scoped_lock lock(m_recordsMutex);
                m_profile = reply.profile;
                showing.ownProfile = sameAccountName(recordText(m_profile.name), m_credentials.user);
                if (showing.ownProfile) {
                    m_own.rank = m_profile.rank;
                    m_own.level = m_profile.level;
                    m_own.experience = m_profile.experience;
                    m_own.highestRank = m_profile.highestRank;
                    m_own.accountLevel = m_profile.accountLevel;
                }
                showing.viewer = m_own;
            }
            m_views.profiles.showProfile(showing);
            break;
        }
        case kPlayerNotFoundCode:
            m_views.messages.showMessage(formatName(kNotFoundFormat, readReplyName(message)), {});
            break;
        case kAccountDeletedCode:
            m_views.messages.showMessage(formatName(kDeletedFormat, readReplyName(message)), {});
            break;
        default:
            // ProfileUpdated after its exchange gave up: nothing is left to do.
            break;
    }
}

bool AccountService::resolveMasterHost(NetAddress& out) const {
    NetAddress master;
    if (!NET_StringToAdr(m_config.masterHost, master)) {
        return false;
    }
    if (m_config.masterHost.find(':') == std::string::npos) {
        NET_SetPort(master, kMasterPort);
    }
    out = master;
    return true;
}

std::optional<NetAddress> AccountService::masterAddress() const {
    {
        const auto lock = lockBrowser();
        if (master_adr != NetAddress{}) {
            return master_adr;
        }
    }
    // No master list request has named the master yet: resolve it now, outside
    // the browser's lock, as that request would.
    NetAddress resolved;
    if (!resolveMasterHost(resolved)) {
        return std::nullopt;
    }
    const auto lock = lockBrowser();
    if (master_adr == NetAddress{}) {
        master_adr = resolved;
    }
    return master_adr;
}

bool AccountService::fromMaster(const NetAddress& from) const {
    const auto lock = lockBrowser();
    return master_adr != NetAddress{} && from == master_adr;
}

template <typename Write>
void AccountService::send(const NetAddress& to, Write write) {
    const auto lock = NET_LockOutMessage();
    SZ_Clear(net_outmessage);
    write(net_outmessage);
    NET_SendPacket(net_outmessage, to);
}

bool AccountService::awaitAnswer(const std::stop_token& stop) {
    const uint32_t start = Sys_Milliseconds();
    const auto window = static_cast<uint32_t>(m_config.timings.window.count());
    for (;;) {
        // An answer read in the last wait still counts, even past the window.
        if (m_awaited.answered()) {
            return true;
        }
        if (stop.stop_requested() || Sys_Milliseconds() - start >= window) {
            return false;
        }
        waitOnce(stop);
    }
}

void AccountService::waitOnce(const std::stop_token& stop) {
    const Clock::time_point deadline = Clock::now() + m_config.timings.wait;
    while (!stop.stop_requested() && !m_awaited.answered()) {
        const auto left = std::chrono::ceil<milliseconds>(deadline - Clock::now());
        if (left <= milliseconds::zero()) {
            return;
        }
        // Sliced, so an answer that the receive thread read is seen promptly.
        const milliseconds slice = std::min(left, kPollSlice);
        const int ready = NET_Wait(static_cast<int>(slice.count()));
        if (ready < 0) {
            // No socket to wait on; another reader may still hand the answer over.
            m_awaited.waitAnswered(slice);
            continue;
        }
        if (ready > 0) {
            const auto lock = NET_LockReceive();
            while (!m_awaited.answered() && BV_GetPackets() > 0) {
                route(net_message, net_from, net_arrival_time);
            }
            return;
        }
    }
}

void AccountService::route(SizeBuffer& message, const NetAddress& from, uint32_t arrivalTime) {
    const int32_t code = MSG_ReadLong(message);
    if (code <= 0 || takeAwaitedReply(code, message, from)) {
        return;
    }
    if (m_dispatcher != nullptr && isDispatcherCode(code)) {
        MSG_BeginReading(message);
        m_dispatcher->dispatchMessage(message, from, arrivalTime);
    }
}
