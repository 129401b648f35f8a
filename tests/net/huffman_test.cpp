#include "net/huffman.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <tuple>

#include "loopback_peer.h"

namespace {

TEST(HuffmanTree, CodesComeOutOfTheWeightTable) {
    using Code = std::tuple<uint8_t, uint32_t, int32_t>;  // byte, code, length
    for (const auto& [value, code, length] : {Code{0, 0b010, 3}, Code{32, 0b0111, 4}, Code{128, 0b0000, 4},
                                              Code{132, 0b1010, 4}, Code{255, 0b110000011, 9}}) {
        EXPECT_EQ(HUFF_Code(value).code, code) << int{value};
        EXPECT_EQ(HUFF_Code(value).length, length) << int{value};
    }
    std::map<int32_t, int> histogram;
    for (int v = 0; v < 256; ++v) {
        ++histogram[HUFF_Code(static_cast<uint8_t>(v)).length];
    }
    EXPECT_EQ(histogram,
              (std::map<int32_t, int>{{3, 1}, {4, 3}, {5, 4}, {6, 1}, {7, 8}, {8, 51}, {9, 104}, {10, 84}}));
}

TEST(HuffmanEncode, KnownDatagrams) {
    EXPECT_EQ(huffEncoded(Bytes(8, 0x00)), (Bytes{0x00, 0x92, 0x24, 0x49}));
    EXPECT_EQ(huffEncoded(Bytes(4, 0x20)), (Bytes{0x00, 0xEE, 0xEE}));
    // Coding would not save a byte, so these go uncoded behind 255.
    EXPECT_EQ(huffEncoded({0xA3, 0xDB, 0x0B, 0x00, 0x68}), (Bytes{0xFF, 0xA3, 0xDB, 0x0B, 0x00, 0x68}));
    EXPECT_EQ(huffEncoded({'a', 'b', 'c'}), (Bytes{0xFF, 'a', 'b', 'c'}));
    EXPECT_EQ(huffEncoded({}), Bytes{0xFF});
    // A byte 0 takes three bits: five unused bits in the last byte.
    EXPECT_EQ(huffEncoded({0, 0, 0, 0, 0, 0, 0})[0], 3);
    // A destination that cannot hold the uncoded form gets nothing.
    Bytes coded(10);
    EXPECT_EQ(HUFF_Encode(Bytes(10, 0), coded), 0u);
}

TEST(HuffmanDecode, KnownAndDegenerateDatagrams) {
    EXPECT_EQ(huffDecoded({0x00, 0x92, 0x24, 0x49}), Bytes(8, 0x00));
    EXPECT_EQ(huffDecoded({0xFF, 'a', 'b', 'c'}), (Bytes{'a', 'b', 'c'}));
    EXPECT_TRUE(huffDecoded({0xFF}).empty());
    EXPECT_TRUE(huffDecoded({0x00}).empty());
    EXPECT_TRUE(huffDecoded({}).empty());
    // Headers the encoder never writes leave fewer (or no) bits to decode.
    EXPECT_TRUE(huffDecoded({0x08, 0x92}).empty());
    EXPECT_TRUE(huffDecoded({0xFE, 0x92, 0x24}).empty());
    // Byte 255's nine-bit code 110000011 fills the first byte from its lowest
    // bit; a last code running past the datagram is dropped.
    EXPECT_EQ(huffDecoded({0x07, 0x83, 0x01}), Bytes{0xFF});
    EXPECT_TRUE(huffDecoded({0x00, 0x83}).empty());
    EXPECT_EQ(huffDecoded({0x00, 0x92, 0x24}), Bytes(5, 0x00));
    // A message larger than the destination is discarded whole.
    EXPECT_EQ(huffDecoded(huffEncoded(Bytes(100, 0)), 100), Bytes(100, 0));
    EXPECT_TRUE(huffDecoded(huffEncoded(Bytes(100, 0)), 99).empty());
    EXPECT_TRUE(huffDecoded({0xFF, 1, 2, 3}, 2).empty());
}

// Random messages come back as they were; their first bytes, read as a
// datagram, never overrun a small destination.
TEST(HuffmanRoundTrip, RandomAndMessageShapedInputsAndGarbage) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 5000; ++round) {
        Bytes message(rng() % 1500);
        for (uint8_t& b : message) {
            b = static_cast<uint8_t>(rng());
        }
        const Bytes coded = huffEncoded(message);
        ASSERT_LE(coded.size(), message.size() + 1);
        ASSERT_EQ(huffDecoded(coded), message) << "round " << round;

        const size_t capacity = rng() % 64;
        Bytes out(capacity + 16, 0xAA);
        const std::span<const uint8_t> garbage(message.data(),
                                               std::min<size_t>(message.size(), 1 + rng() % 40));
        ASSERT_LE(HUFF_Decode(garbage, {out.data(), capacity}), capacity);
        ASSERT_EQ(std::count(out.begin() + static_cast<std::ptrdiff_t>(capacity), out.end(), 0xAA), 16);
    }

    // A server's answer, with its many small numbers, comes out shorter.
    Bytes message{0xD4, 0xD6, 0x54, 0x00};
    for (int i = 0; i < 16; ++i) {
        message.insert(message.end(), {'p', 'l', 'a', 'y', 'e', 'r', 0, 3, 0, 40, 0, 1, 0x58, 0x02});
    }
    const Bytes coded = huffEncoded(message);
    EXPECT_LT(coded.size(), message.size());
    EXPECT_EQ(huffDecoded(coded), message);
}

}  // namespace
