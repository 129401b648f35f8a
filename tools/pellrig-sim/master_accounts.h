#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "account_store.h"
#include "datagram.h"
#include "net/net_address.h"
#include "net/size_buffer.h"

// The master server's account service, free of sockets: log-in and sign-up
// with the version check, recent players, profiles, bio and administrator
// updates, deletion and the statistics-collection switches.
//
// The protocol has no session: a bio update and the statistics switches name no
// account, so the service goes by the address that last logged in. Passwords
// are checked but never logged.

enum class VersionReply {
    Rejected,  // VersionRejected
    Refused,   // AccountRefused with a reason that is no refusal reason
};

struct AccountOptions {
    std::string path;  // accounts file; empty keeps them in memory
    int32_t protocolVersion = 104;
    VersionReply versionReply = VersionReply::Rejected;
    bool compactAccept = false;  // AccountAcceptedCompact instead of AccountAccepted
    size_t recentLimit = 20;
    std::chrono::microseconds delay{0};
    bool verbose = false;  // one line per account request on standard error
};

// The reason sent when a version is refused with AccountRefused.
inline constexpr int32_t kVersionRefusalReason = 1343;

class MasterAccounts {
  public:
    explicit MasterAccounts(AccountOptions options);

    // Opens the accounts file; false with a reason when it cannot be read.
    bool open(std::string& error);

    // Whether `code` is an account request.
    static bool takes(int32_t code);

    // Reads one account request (cursor after its code) and returns the coded
    // answer, or nullopt when the master answers nothing.
    std::optional<Datagram> handle(int32_t code, SizeBuffer& message, const NetAddress& from);

    std::chrono::microseconds delay() const { return m_options.delay; }
    const AccountStore& store() const { return m_store; }

  private:
    std::optional<Datagram> logIn(int32_t code, SizeBuffer& message, const std::string& from);
    std::optional<Datagram> updateBio(SizeBuffer& message, const std::string& from);
    std::optional<Datagram> recentPlayers();
    std::optional<Datagram> lookUp(SizeBuffer& message, const std::string& from);
    std::optional<Datagram> adminUpdate(SizeBuffer& message, const std::string& from);
    std::optional<Datagram> deleteAccount(SizeBuffer& message, const std::string& from);
    std::optional<Datagram> switchStatCollection(bool enable, SizeBuffer& message, const std::string& from);

    // The administrator named by a request's own user name and password, or null.
    SimAccount* administrator(const std::string& user, const std::string& password);
    void changed();
    void log(const std::string& line) const;

    AccountOptions m_options;
    AccountStore m_store;
    std::map<std::string, std::string> m_sessions;  // sender address -> account name
    SizeBuffer m_reply;
};
