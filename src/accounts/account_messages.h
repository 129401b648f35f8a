#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "accounts/account_records.h"
#include "net/message_codes.h"
#include "net/size_buffer.h"

// The account service's datagrams, exchanged with the master server on its
// port. Every message starts with its code as a long; there is no session,
// token or sequence number: the master knows a sender by its address and, where
// a request carries them, by its user name and password.

// Reasons inside AccountRefused; any other value refuses the launcher's version.
inline constexpr int32_t kReasonNoSuchAccount = 1340;
inline constexpr int32_t kReasonAccountExists = 1341;
inline constexpr int32_t kReasonBadPassword = 1342;

// Names in a RecentPlayersReply are kept to a profile name's length.
inline constexpr size_t kMaxListedName = kProfileNameSize - 1;

enum class LoginRequestKind { LogIn = 1, CreateAccount = 2 };

// Requests. Each writer appends one whole message, code first, to `buffer`.
// Texts go out as given; only the profile's texts are held to their fields.
void writeAccountLoginRequest(SizeBuffer& buffer, LoginRequestKind kind, std::string_view user,
                              std::string_view password);
void writeProfileBioUpdate(SizeBuffer& buffer, std::string_view bio);
void writeProfileAdminUpdate(SizeBuffer& buffer, std::string_view ownUser, std::string_view ownPassword,
                             const PlayerProfile& profile);
void writeRecentPlayersRequest(SizeBuffer& buffer);
void writePlayerLookupRequest(SizeBuffer& buffer, std::string_view name);
void writeAccountDeleteRequest(SizeBuffer& buffer, std::string_view ownUser, std::string_view ownPassword,
                               std::string_view name);
// `serverAddress` is the game server's address text as its record keeps it.
void writeStatCollection(SizeBuffer& buffer, bool enable, std::string_view serverAddress);

// Replies, as the master server sends them (the simulator and the tests).
void writeAccountRefused(SizeBuffer& buffer, int32_t reason);
// The unused leading string is written empty. The compact form sends rank and
// level as bytes: only their low 8 bits go out.
void writeAccountAccepted(SizeBuffer& buffer, const OwnAccount& account, bool compact);
void writeVersionRejected(SizeBuffer& buffer);
void writeProfileUpdated(SizeBuffer& buffer);
// At most 32767 names go out, the most a count short can announce.
void writeRecentPlayersReply(SizeBuffer& buffer, std::span<const std::string> names);
void writePlayerProfileReply(SizeBuffer& buffer, std::string_view name, std::string_view bio,
                             const PlayerProfile& profile, int32_t levelFloor, int32_t levelCeiling);
void writePlayerNotFound(SizeBuffer& buffer, std::string_view name);
void writeAccountDeleted(SizeBuffer& buffer, std::string_view name);

// Reply readers take the fields after the code, which the caller has read.
// Missing fields read as -1 or empty text and are kept as read; no reader reads
// past the message, and texts are cut to the fields that keep them.

// The reason long.
int32_t readAccountRefused(SizeBuffer& message);
// Either accepted form, as `compact` says; byte fields are stored zero-extended.
OwnAccount readAccountAccepted(SizeBuffer& message, bool compact);

// The names in the order received, each cut to kMaxListedName. A missing or
// negative count reads as no names.
std::vector<std::string> readRecentPlayersReply(SizeBuffer& message);

// A profile and the two bounds of its level bar, which the profile dialog gets
// but the profile record does not keep.
struct ProfileReply {
    PlayerProfile profile;
    int32_t levelFloor = 0;
    int32_t levelCeiling = 0;
};
ProfileReply readPlayerProfileReply(SizeBuffer& message);

// The one name of PlayerNotFound and AccountDeleted, as read.
std::string readReplyName(SizeBuffer& message);
