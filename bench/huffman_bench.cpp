// Coding throughput on datagrams of the size a full server info reply reaches,
// and the cost of building the code tables.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "net/huffman.h"
#include "net/huffman_tables.h"
#include "net/size_buffer.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr size_t kDatagramSize = 1400;

// A server info reply: texts, small counts and a player list, padded with
// more players until it reaches the datagram size.
Bytes serverInfoShaped() {
    SizeBuffer reply;
    SZ_Init(reply, 8192);
    MSG_WriteLong(reply, 5560020);
    MSG_WriteString(reply, "[EU] Brumvek Classic Deathmatch | 24/7 | skill 4");
    MSG_WriteByte(reply, 12);
    MSG_WriteByte(reply, 16);
    MSG_WriteString(reply, "MAP07");
    MSG_WriteByte(reply, 2);
    MSG_WriteString(reply, "dwango5.wad");
    MSG_WriteString(reply, "zdm-maps-v2.wad");
    MSG_WriteByte(reply, 0);
    MSG_WriteString(reply, "Brumvek 1.4");
    MSG_WriteString(reply, "freedoom2.wad");
    MSG_WriteByte(reply, 0);
    MSG_WriteString(reply, "http://brumvek.example/servers");
    MSG_WriteString(reply, "admin@brumvek.example");
    MSG_WriteLong(reply, 0x00401204);
    MSG_WriteLong(reply, 0);
    MSG_WriteByte(reply, 16);
    for (int i = 0; reply.cursize < static_cast<int32_t>(kDatagramSize) - 24; ++i) {
        MSG_WriteString(reply, "Player_" + std::to_string(i * 37 % 1000));
        MSG_WriteShort(reply, i * 3 % 57);
        MSG_WriteShort(reply, 30 + i * 11 % 180);
        MSG_WriteByte(reply, i % 3);
        MSG_WriteShort(reply, 100 + i * 13);
    }
    Bytes bytes(reply.data.get(), reply.data.get() + reply.cursize);
    bytes.resize(kDatagramSize, 0);
    return bytes;
}

Bytes randomBytes() {
    std::mt19937 rng(7);
    Bytes bytes(kDatagramSize);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(rng());
    }
    return bytes;
}

void encode(benchmark::State& state, const Bytes& message) {
    Bytes coded(message.size() + 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(HUFF_Encode(message, coded));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * message.size()));
}

void decode(benchmark::State& state, const Bytes& message) {
    Bytes coded(message.size() + 1);
    coded.resize(HUFF_Encode(message, coded));
    state.counters["coded_bytes"] = static_cast<double>(coded.size());
    Bytes out(8192);
    for (auto _ : state) {
        benchmark::DoNotOptimize(HUFF_Decode(coded, out));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * message.size()));
}

void BM_EncodeServerInfo(benchmark::State& state) {
    encode(state, serverInfoShaped());
}
void BM_DecodeServerInfo(benchmark::State& state) {
    decode(state, serverInfoShaped());
}
void BM_EncodeRandom(benchmark::State& state) {
    encode(state, randomBytes());
}
void BM_DecodeRandom(benchmark::State& state) {
    decode(state, randomBytes());
}

void BM_BuildTree(benchmark::State& state) {
    auto tables = std::make_unique<HuffmanTables>();
    for (auto _ : state) {
        buildHuffmanTables(*tables);
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(BM_EncodeServerInfo);
BENCHMARK(BM_DecodeServerInfo);
BENCHMARK(BM_EncodeRandom);
BENCHMARK(BM_DecodeRandom);
BENCHMARK(BM_BuildTree)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
