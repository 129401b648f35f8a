#include "accounts/account_messages.h"

#include <algorithm>

#include "browser/messages.h"

namespace {

constexpr size_t kMaxNamesInReply = 32767;

// Writes a text held to `size` - 1 bytes, as its record would keep it.
void writeField(SizeBuffer& buffer, std::string_view text, size_t size) {
    MSG_WriteString(buffer, std::string(text.substr(0, std::min(text.size(), size - 1))));
}

}  // namespace

void writeAccountLoginRequest(SizeBuffer& buffer, LoginRequestKind kind, std::string_view user,
                              std::string_view password) {
    MSG_WriteLong(buffer, kind == LoginRequestKind::CreateAccount ? kAccountCreateRequestCode
                                                                  : kAccountLoginRequestCode);
    MSG_WriteLong(buffer, kProtocolVersion);
    MSG_WriteString(buffer, std::string(user));
    MSG_WriteString(buffer, std::string(password));
}

void writeProfileBioUpdate(SizeBuffer& buffer, std::string_view bio) {
    MSG_WriteLong(buffer, kProfileBioUpdateCode);
    writeField(buffer, bio, kProfileBioSize);
}

void writeProfileAdminUpdate(SizeBuffer& buffer, std::string_view ownUser, std::string_view ownPassword,
                             const PlayerProfile& profile) {
    MSG_WriteLong(buffer, kProfileAdminUpdateCode);
    MSG_WriteString(buffer, std::string(ownUser));
    MSG_WriteString(buffer, std::string(ownPassword));
    MSG_WriteString(buffer, std::string(recordText(profile.name)));
    MSG_WriteString(buffer, std::string(recordText(profile.bio)));
    MSG_WriteLong(buffer, profile.experience);
    MSG_WriteByte(buffer, profile.accountLevel);
}

void writeRecentPlayersRequest(SizeBuffer& buffer) {
    MSG_WriteLong(buffer, kRecentPlayersRequestCode);
}

void writePlayerLookupRequest(SizeBuffer& buffer, std::string_view name) {
    MSG_WriteLong(buffer, kPlayerLookupRequestCode);
    MSG_WriteString(buffer, std::string(name));
}

void writeAccountDeleteRequest(SizeBuffer& buffer, std::string_view ownUser, std::string_view ownPassword,
                               std::string_view name) {
    MSG_WriteLong(buffer, kAccountDeleteRequestCode);
    MSG_WriteString(buffer, std::string(ownUser));
    MSG_WriteString(buffer, std::string(ownPassword));
    MSG_WriteString(buffer, std::string(name));
}

void writeStatCollection(SizeBuffer& buffer, bool enable, std::string_view serverAddress) {
    MSG_WriteLong(buffer, enable ? kStatCollectionEnableCode : kStatCollectionDisableCode);
    MSG_WriteString(buffer, std::string(serverAddress));
}

void writeAccountRefused(SizeBuffer& buffer, int32_t reason) {
    MSG_WriteLong(buffer, kAccountRefusedCode);
    MSG_WriteLong(buffer, reason);
}

void writeAccountAccepted(SizeBuffer& buffer, const OwnAccount& account, bool compact) {
    MSG_WriteLong(buffer, compact ? kAccountAcceptedCompactCode : kAccountAcceptedCode);
    MSG_WriteString(buffer, "");
    if (compact) {
        MSG_WriteByte(buffer, account.rank);
        MSG_WriteByte(buffer, account.level);
    } else {
        MSG_WriteLong(buffer, account.rank);
        MSG_WriteLong(buffer, account.level);
    }
    MSG_WriteLong(buffer, account.experience);
    MSG_WriteLong(buffer, account.highestRank);
    MSG_WriteByte(buffer, account.accountLevel);
}

void writeVersionRejected(SizeBuffer& buffer) {
    MSG_WriteLong(buffer, kVersionRejectedCode);
}

void writeProfileUpdated(SizeBuffer& buffer) {
    MSG_WriteLong(buffer, kProfileUpdatedCode);
}

void writeRecentPlayersReply(SizeBuffer& buffer, std::span<const std::string> names) {
    const size_t count = std::min(names.size(), kMaxNamesInReply);
    MSG_WriteLong(buffer, kRecentPlayersReplyCode);
    MSG_WriteShort(buffer, static_cast<int32_t>(count));
    for (size_t i = 0; i < count; ++i) {
        MSG_WriteString(buffer, names[i]);
    }
}

void writePlayerProfileReply(SizeBuffer& buffer, std::string_view name, std::string_view bio,
                             const PlayerProfile& profile, int32_t levelFloor, int32_t levelCeiling) {
    MSG_WriteLong(buffer, kPlayerProfileReplyCode);
    MSG_WriteString(buffer, std::string(name));
    MSG_WriteString(buffer, std::string(bio));
    MSG_WriteLong(buffer, profile.rank);
    MSG_WriteLong(buffer, profile.highestRank);
    MSG_WriteLong(buffer, profile.level);
    MSG_WriteLong(buffer, profile.experience);
    MSG_WriteByte(buffer, profile.accountLevel);
    MSG_WriteLong(buffer, levelFloor);
    MSG_WriteLong(buffer, levelCeiling);
    MSG_WriteByte(buffer, profile.rankPicture);
    MSG_WriteByte(buffer, profile.avatar);
}

void writePlayerNotFound(SizeBuffer& buffer, std::string_view name) {
    MSG_WriteLong(buffer, kPlayerNotFoundCode);
    MSG_WriteString(buffer, std::string(name));
}

void writeAccountDeleted(SizeBuffer& buffer, std::string_view name) {
    MSG_WriteLong(buffer, kAccountDeletedCode);
    MSG_WriteString(buffer, std::string(name));
}

int32_t readAccountRefused(SizeBuffer& message) {
    return MSG_ReadLong(message);
}

OwnAccount readAccountAccepted(SizeBuffer& message, bool compact) {
    MSG_ReadString(message);
    OwnAccount account;
    account.rank = compact ? MSG_ReadByte(message) : MSG_ReadLong(message);
    account.level = compact ? MSG_ReadByte(message) : MSG_ReadLong(message);
    account.experience = MSG_ReadLong(message);
    account.highestRank = MSG_ReadLong(message);
    account.accountLevel = MSG_ReadByte(message);
    return account;
}

std::vector<std::string> readRecentPlayersReply(SizeBuffer& message) {
    const int32_t count = MSG_ReadShort(message);
    std::vector<std::string> names;
    for (int32_t i = 0; i < count; ++i) {
        std::string name = MSG_ReadString(message);
        if (name.size() > kMaxListedName) {
            name.resize(kMaxListedName);
        }
        names.push_back(std::move(name));
    }
    return names;
}

ProfileReply readPlayerProfileReply(SizeBuffer& message) {
    ProfileReply reply;
    PlayerProfile& profile = reply.profile;
    copyText(profile.name, MSG_ReadString(message));
    copyText(profile.bio, MSG_ReadString(message));
    profile.rank = MSG_ReadLong(message);
    profile.highestRank = MSG_ReadLong(message);
    profile.level = MSG_ReadLong(message);
    profile.experience = MSG_ReadLong(message);
    profile.accountLevel = MSG_ReadByte(message);
    reply.levelFloor = MSG_ReadLong(message);
    reply.levelCeiling = MSG_ReadLong(message);
    profile.rankPicture = MSG_ReadByte(message);
    profile.avatar = MSG_ReadByte(message);
    return reply;
}

std::string readReplyName(SizeBuffer& message) {
    return MSG_ReadString(message);
}
