#include "replies.h"

#include <algorithm>

namespace {

// Bytes one entry adds to a master list: marker, address and NUL, scorecard.
size_t entrySize(const MasterListEntry& entry) {
    return 1 + entry.address.size() + 1 + 1;
}

// Code and end marker.
constexpr size_t kMasterListOverhead = 4 + 1;

// At least the size of the server's reply, so building it never overflows
// before its size is checked: every text with its NUL, every player's numbers,
// and room to spare for the fixed fields.
size_t replySizeBound(const ServerInfo& info) {
    size_t size = 64 + info.name.size() + info.map.size() + info.game_name.size() + info.iwad.size() +
                  info.url.size() + info.email.size();
    for (const std::string& pwad : info.pwads) {
        size += pwad.size() + 1;
    }
    for (const PlayerEntry& player : info.players) {
        size += player.name.size() + 1 + 7;
    }
    return size;
}

}  // namespace

Datagram buildMasterListReply(std::span<const MasterListEntry> entries, size_t limitBytes, size_t& listed) {
    size_t size = kMasterListOverhead;
    listed = 0;
    while (listed < entries.size() && size + entrySize(entries[listed]) <= limitBytes) {
        size += entrySize(entries[listed]);
        ++listed;
    }
    SizeBuffer message;
    SZ_Init(message, static_cast<int32_t>(size));
    writeMasterListReply(message, entries.first(listed));
    return encodeMessage(message);
}

bool buildServerInfoReply(const ScenarioServer& server, Datagram& out, std::string& error) {
    SizeBuffer message;
    SZ_Init(message, static_cast<int32_t>(replySizeBound(server.info)));
    writeServerInfoReply(message, server.info);
    if (message.cursize > kMaxDatagramMessage) {
        error = "its reply takes " + std::to_string(message.cursize) + " bytes, more than one datagram holds";
        return false;
    }
    if (server.replyCode) {
        // The code is the message's first long: overwrite it in place, little-endian.
        const auto code = static_cast<uint32_t>(*server.replyCode);
        for (int i = 0; i < 4; ++i) {
            message.data[static_cast<size_t>(i)] = static_cast<uint8_t>(code >> (8 * i));
        }
    }
    if (server.truncateReply) {
        message.cursize = std::min(message.cursize, *server.truncateReply);
    }
    out = encodeMessage(message);
    return true;
}
