// How many server info replies the dispatcher decodes and applies per second:
// the receive thread's work for every answer during a sweep.
#include <benchmark/benchmark.h>

#include <string>

#include "browser/dispatcher.h"
#include "browser/memory_row_view.h"
#include "browser/messages.h"
#include "browser/queued_message_view.h"
#include "browser/server_table.h"
#include "net/huffman.h"
#include "net/transport.h"

namespace {

NetAddress serverAddress(int index) {
    NetAddress address;
    address.ip = {127, 0, 0, 1};
    NET_SetPort(address, static_cast<uint16_t>(20000 + index));
    return address;
}

ServerInfo fullServer() {
    ServerInfo info;
    info.name = "[EU] Brumvek Classic Deathmatch | 24/7 | skill 4";
    info.num_players = 16;
    info.max_players = 16;
    info.map = "MAP07";
    info.pwads = {"dwango5.wad", "zdm-maps-v2.wad"};
    info.game_name = "Doom II";
    info.iwad = "doom2.wad";
    info.url = "http://brumvek.example/servers";
    info.email = "admin@brumvek.example";
    for (int i = 0; i < 16; ++i) {
        info.players.push_back({"Player_" + std::to_string(i), i * 3, 30 + i * 7, i % 4, 100 + i});
    }
    return info;
}

void BM_DispatchServerInfoReply(benchmark::State& state) {
    constexpr int kServers = 512;
    MemoryRowView serverList;
    MemoryRowView playerList;
    MemoryQueuedMessageView messages;
    Dispatcher dispatcher({serverList, playerList, messages}, nullptr);
    {
        const auto lock = lockBrowser();
        resetServerTable();
        for (int i = 0; i < kServers; ++i) {
            ServerRecord& record = server_table[static_cast<size_t>(i)];
            record = ServerRecord{};
            copyText(record.address, NET_AdrToString(serverAddress(i)));
            serverList.insertRow(0, i, 0);
            ++server_count;
        }
    }
    // Each reply arrives coded, as from the network, and is decoded first.
    SizeBuffer reply;
    SZ_Init(reply, 8192);
    writeServerInfoReply(reply, fullServer());
    std::vector<uint8_t> coded(static_cast<size_t>(reply.cursize) + 1);
    coded.resize(HUFF_Encode({reply.data.get(), static_cast<size_t>(reply.cursize)}, coded));
    SizeBuffer message;
    SZ_Init(message, 8192);

    int next = 0;
    for (auto _ : state) {
        message.cursize = static_cast<int32_t>(
            HUFF_Decode(coded, {message.data.get(), static_cast<size_t>(message.maxsize)}));
        MSG_BeginReading(message);
        dispatcher.dispatchMessage(message, serverAddress(next), Sys_Milliseconds());
        next = (next + 1) % kServers;
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_DispatchServerInfoReply);

BENCHMARK_MAIN();
