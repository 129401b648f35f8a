#include "master_accounts.h"

#include <cstdio>
#include <utility>

#include "accounts/account_messages.h"
#include "accounts/account_records.h"

namespace {

// What a reply is built in before coding; generous, since a reply to a
// recent-players request may be long.
constexpr int32_t kReplySize = 65536;

}  // namespace

MasterAccounts::MasterAccounts(AccountOptions options) : m_options(std::move(options)) {
    SZ_Init(m_reply, kReplySize);
}

bool MasterAccounts::open(std::string& error) {
    return m_options.path.empty() || m_store.open(m_options.path, error);
}

bool MasterAccounts::takes(int32_t code) {
    switch (code) {
        case kAccountLoginRequestCode:
        case kAccountCreateRequestCode:
        case kProfileBioUpdateCode:
        case kRecentPlayersRequestCode:
        case kPlayerLookupRequestCode:
        case kProfileAdminUpdateCode:
        case kAccountDeleteRequestCode:
        case kStatCollectionEnableCode:
        case kStatCollectionDisableCode:
            return true;
        default:
            return false;
    }
}

std::optional<Datagram> MasterAccounts::handle(int32_t code, SizeBuffer& message, const NetAddress& from) {
    const std::string sender = NET_AdrToString(from);
    SZ_Clear(m_reply);
    switch (code) {
        case kAccountLoginRequestCode:
        case kAccountCreateRequestCode:
            return logIn(code, message, sender);
        case kProfileBioUpdateCode:
            return updateBio(message, sender);
        case kRecentPlayersRequestCode:
            return recentPlayers();
        case kPlayerLookupRequestCode:
            return lookUp(message, sender);
        case kProfileAdminUpdateCode:
            return adminUpdate(message, sender);
        case kAccountDeleteRequestCode:
            return deleteAccount(message, sender);
        case kStatCollectionEnableCode:
        case kStatCollectionDisableCode:
            return switchStatCollection(code == kStatCollectionEnableCode, message, sender);
        default:
            return std::nullopt;
    }
}

std::optional<Datagram> MasterAccounts::logIn(int32_t code, SizeBuffer& message, const std::string& from) {
    const bool create = code == kAccountCreateRequestCode;
    const int32_t version = MSG_ReadLong(message);
    const std::string user = MSG_ReadString(message);
    const std::string password = MSG_ReadString(message);
    const std::string what = std::string(create ? "sign-up" : "log-in") + " '" + user + "' from " + from;

    if (version != m_options.protocolVersion) {
        log(what + ": version " + std::to_string(version) + " refused");
        if (m_options.versionReply == VersionReply::Refused) {
            writeAccountRefused(m_reply, kVersionRefusalReason);
        } else {
            writeVersionRejected(m_reply);
        }
        return encodeMessage(m_reply);
    }
    SimAccount* account = m_store.find(user);
    if (create) {
        if (account != nullptr || user.empty()) {
            log(what + ": the account exists");
            writeAccountRefused(m_reply, user.empty() ? kReasonNoSuchAccount : kReasonAccountExists);
            return encodeMessage(m_reply);
        }
        m_store.create(user, password);
        account = m_store.find(user);
    } else if (account == nullptr) {
        log(what + ": no such account");
        writeAccountRefused(m_reply, kReasonNoSuchAccount);
        return encodeMessage(m_reply);
    } else if (account->password != password) {
        log(what + ": wrong password");
        writeAccountRefused(m_reply, kReasonBadPassword);
        return encodeMessage(m_reply);
    }

    m_sessions[from] = account->name;
    m_store.loggedIn(account->name);
    const SimStanding standing = m_store.standing(*account);
    OwnAccount own;
    own.rank = standing.rank;
    own.level = standing.level;
    own.experience = account->experience;
    own.highestRank = standing.highestRank;
    own.accountLevel = account->accountLevel;
    writeAccountAccepted(m_reply, own, m_options.compactAccept);
    log(what + ": accepted");
    changed();
    return encodeMessage(m_reply);
}

std::optional<Datagram> MasterAccounts::updateBio(SizeBuffer& message, const std::string& from) {
    const std::string bio = MSG_ReadString(message);
    const auto session = m_sessions.find(from);
    SimAccount* account = session == m_sessions.end() ? nullptr : m_store.find(session->second);
    if (account == nullptr) {
        log("bio update from " + from + ": nobody logged in there");
        return std::nullopt;
    }
    account->bio = bio.substr(0, kProfileBioSize - 1);
    log("bio update of '" + account->name + "' from " + from);
    changed();
    writeProfileUpdated(m_reply);
    return encodeMessage(m_reply);
}

std::optional<Datagram> MasterAccounts::recentPlayers() {
    const std::vector<std::string>& recent = m_store.recent();
    const std::vector<std::string> names(
        recent.begin(),
        recent.begin() + static_cast<std::ptrdiff_t>(std::min(recent.size(), m_options.recentLimit)));
    writeRecentPlayersReply(m_reply, names);
    log("recent players: " + std::to_string(names.size()));
    return encodeMessage(m_reply);
}

std::optional<Datagram> MasterAccounts::lookUp(SizeBuffer& message, const std::string& from) {
    const std::string name = MSG_ReadString(message);
    SimAccount* account = m_store.find(name);
    if (account == nullptr) {
        log("look-up of '" + name + "' from " + from + ": not found");
        writePlayerNotFound(m_reply, name);
        return encodeMessage(m_reply);
    }
    const SimStanding standing = m_store.standing(*account);
    PlayerProfile profile;
    profile.rank = standing.rank;
    profile.highestRank = standing.highestRank;
    profile.level = standing.level;
    profile.experience = account->experience;
    profile.accountLevel = account->accountLevel;
    profile.rankPicture = standing.rankPicture;
    profile.avatar = account->avatar;
    writePlayerProfileReply(m_reply, account->name, account->bio, profile, standing.levelFloor,
                            standing.levelCeiling);
    log("look-up of '" + name + "' from " + from + ": found");
    return encodeMessage(m_reply);
}

std::optional<Datagram> MasterAccounts::adminUpdate(SizeBuffer& message, const std::string& from) {
    const std::string user = MSG_ReadString(message);
    const std::string password = MSG_ReadString(message);
    const std::string name = MSG_ReadString(message);
    const std::string bio = MSG_ReadString(message);
    const int32_t experience = MSG_ReadLong(message);
    const int32_t level = MSG_ReadByte(message);
    const std::string what = "administrator update of '" + name + "' by '" + user + "' from " + from;
    if (administrator(user, password) == nullptr) {
        log(what + ": no access");
        return std::nullopt;
    }
    SimAccount* account = m_store.find(name);
    if (account == nullptr || level < 0) {
        log(what + ": no such account");
        return std::nullopt;
    }
    account->bio = bio.substr(0, kProfileBioSize - 1);
    account->experience = experience;
    account->accountLevel = level;
    log(what + ": experience " + std::to_string(experience) + ", level " + std::to_string(level));
    changed();
    writeProfileUpdated(m_reply);
    return encodeMessage(m_reply);
}

std::optional<Datagram> MasterAccounts::deleteAccount(SizeBuffer& message, const std::string& from) {
    const std::string user = MSG_ReadString(message);
    const std::string password = MSG_ReadString(message);
    const std::string name = MSG_ReadString(message);
    const std::string what = "deletion of '" + name + "' by '" + user + "' from " + from;
    if (administrator(user, password) == nullptr) {
        log(what + ": no access");
        return std::nullopt;
    }
    const SimAccount* account = m_store.find(name);
    if (account == nullptr) {
        log(what + ": no such account");
        return std::nullopt;
    }
    const std::string deleted = account->name;
    m_store.remove(deleted);
    std::erase_if(m_sessions, [&](const auto& session) { return session.second == deleted; });
    log(what + ": deleted");
    changed();
    writeAccountDeleted(m_reply, deleted);
    return encodeMessage(m_reply);
}

std::optional<Datagram> MasterAccounts::switchStatCollection(bool enable, SizeBuffer& message,
                                                             const std::string& from) {
    const std::string server = MSG_ReadString(message);
    const auto session = m_sessions.find(from);
    const SimAccount* account = session == m_sessions.end() ? nullptr : m_store.find(session->second);
    const std::string what =
        std::string("statistics collection ") + (enable ? "on" : "off") + " for " + server + " from " + from;
    if (account == nullptr || account->accountLevel != kAdministratorLevel) {
        log(what + ": no access");
        return std::nullopt;
    }
    m_store.setStatCollection(server, enable);
    log(what + " by '" + account->name + "'");
    changed();
    return std::nullopt;
}

SimAccount* MasterAccounts::administrator(const std::string& user, const std::string& password) {
    SimAccount* account = m_store.find(user);
    if (account == nullptr || account->password != password || account->accountLevel != kAdministratorLevel) {
        return nullptr;
    }
    return account;
}

void MasterAccounts::changed() {
    std::string error;
    if (!m_store.save(error)) {
        std::fprintf(stderr, "pellrig-sim: accounts: %s\n", error.c_str());
    }
}

void MasterAccounts::log(const std::string& line) const {
    if (m_options.verbose) {
        std::fprintf(stderr, "account: %s\n", line.c_str());
    }
}
