#include "browser/messages.h"

#include <algorithm>

namespace {

// Count bytes carry at most 255; the writers send no more items than they announce.
constexpr size_t kMaxCount = 255;

}  // namespace

void writeMasterListRequest(SizeBuffer& buffer) {
    MSG_WriteLong(buffer, kMasterListCode);
    MSG_WriteByte(buffer, kProtocolVersion);
}

void writeServerInfoQuery(SizeBuffer& buffer) {
    MSG_WriteLong(buffer, kMasterListCode);
}

void writeMasterListReply(SizeBuffer& buffer, std::span<const MasterListEntry> entries) {
    MSG_WriteLong(buffer, kMasterListCode);
    for (const MasterListEntry& entry : entries) {
        MSG_WriteByte(buffer, entry.marker);
        MSG_WriteString(buffer, entry.address);
        MSG_WriteByte(buffer, entry.scorecard);
    }
    MSG_WriteByte(buffer, kMasterListEnd);
}

void writeServerInfoReply(SizeBuffer& buffer, const ServerInfo& info) {
    MSG_WriteLong(buffer, kServerInfoReplyCode);
    MSG_WriteString(buffer, info.name);
    MSG_WriteByte(buffer, info.num_players);
    MSG_WriteByte(buffer, info.max_players);
    MSG_WriteString(buffer, info.map);
    const size_t pwads = std::min(info.pwads.size(), kMaxCount);
    MSG_WriteByte(buffer, static_cast<int32_t>(pwads));
    for (size_t i = 0; i < pwads; ++i) {
        MSG_WriteString(buffer, info.pwads[i]);
    }
    MSG_WriteByte(buffer, info.game_type);
    MSG_WriteString(buffer, info.game_name);
    MSG_WriteString(buffer, info.iwad);
    MSG_WriteByte(buffer, 0);
    MSG_WriteString(buffer, info.url);
    MSG_WriteString(buffer, info.email);
    MSG_WriteLong(buffer, info.dmflags);
    MSG_WriteLong(buffer, info.dmflags2);
    const size_t players = std::min(info.players.size(), kMaxCount);
    MSG_WriteByte(buffer, static_cast<int32_t>(players));
    for (size_t i = 0; i < players; ++i) {
        const PlayerEntry& player = info.players[i];
        MSG_WriteString(buffer, player.name);
        MSG_WriteShort(buffer, player.frags);
        MSG_WriteShort(buffer, player.ping);
        MSG_WriteByte(buffer, player.level);
        MSG_WriteShort(buffer, player.time);
    }
    MSG_WriteShort(buffer, 0);
}

std::vector<MasterListEntry> readMasterListReply(SizeBuffer& message, size_t maxEntries) {
    std::vector<MasterListEntry> entries;
    while (entries.size() < maxEntries) {
        MasterListEntry entry;
        entry.marker = MSG_ReadByte(message);
        // A marker read past the end is no entry: a list without its end byte
        // stops where the datagram does.
        if (entry.marker == kMasterListEnd || message.readcount > message.cursize) {
            break;
        }
        entry.address = MSG_ReadString(message);
        entry.scorecard = MSG_ReadByte(message);
        entries.push_back(std::move(entry));
    }
    return entries;
}

ServerInfo readServerInfoReply(SizeBuffer& message) {
    ServerInfo info;
    info.name = MSG_ReadString(message);
    info.num_players = MSG_ReadByte(message);
    info.max_players = MSG_ReadByte(message);
    info.map = MSG_ReadString(message);
    const int pwads = MSG_ReadByte(message);
    for (int i = 0; i < pwads; ++i) {
        info.pwads.push_back(MSG_ReadString(message));
    }
    info.game_type = MSG_ReadByte(message);
    info.game_name = MSG_ReadString(message);
    info.iwad = MSG_ReadString(message);
    MSG_ReadByte(message);
    info.url = MSG_ReadString(message);
    info.email = MSG_ReadString(message);
    info.dmflags = MSG_ReadLong(message);
    info.dmflags2 = MSG_ReadLong(message);
    const int players = MSG_ReadByte(message);
    for (int i = 0; i < players; ++i) {
        PlayerEntry player;
        player.name = MSG_ReadString(message);
        player.frags = MSG_ReadShort(message);
        player.ping = MSG_ReadShort(message);
        player.level = MSG_ReadByte(message);
        player.time = MSG_ReadShort(message);
        info.players.push_back(std::move(player));
    }
    MSG_ReadShort(message);
    return info;
}
