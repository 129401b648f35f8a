#include "net/huffman.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes encode(const Bytes& message) {
    Bytes coded(message.size() + 1);
    coded.resize(HUFF_Encode(message, coded));
    return coded;
}

Bytes decode(const Bytes& coded, size_t capacity = 8192) {
    Bytes message(capacity);
    message.resize(HUFF_Decode(coded, message));
    return message;
}

TEST(HuffmanTree, CodesComeOutOfTheWeightTable) {
    struct Expected {
        uint8_t value;
        uint32_t code;
        int32_t length;
    };
    for (const Expected& e : {Expected{0, 0b010, 3}, Expected{32, 0b0111, 4}, Expected{128, 0b0000, 4},
                              Expected{132, 0b1010, 4}, Expected{255, 0b110000011, 9}}) {
        const HuffmanCode c = HUFF_Code(e.value);
        EXPECT_EQ(c.code, e.code) << int{e.value};
        EXPECT_EQ(c.length, e.length) << int{e.value};
    }
    std::map<int32_t, int> histogram;
    for (int v = 0; v < 256; ++v) {
        ++histogram[HUFF_Code(static_cast<uint8_t>(v)).length];
    }
    EXPECT_EQ(histogram,
              (std::map<int32_t, int>{{3, 1}, {4, 3}, {5, 4}, {6, 1}, {7, 8}, {8, 51}, {9, 104}, {10, 84}}));
}

TEST(HuffmanEncode, KnownDatagrams) {
    EXPECT_EQ(encode(Bytes(8, 0x00)), (Bytes{0x00, 0x92, 0x24, 0x49}));
    EXPECT_EQ(encode(Bytes(4, 0x20)), (Bytes{0x00, 0xEE, 0xEE}));
    // Coding would not save a byte, so these go uncoded behind 255.
    EXPECT_EQ(encode({0xA3, 0xDB, 0x0B, 0x00, 0x68}), (Bytes{0xFF, 0xA3, 0xDB, 0x0B, 0x00, 0x68}));
    EXPECT_EQ(encode({'a', 'b', 'c'}), (Bytes{0xFF, 'a', 'b', 'c'}));
    EXPECT_EQ(encode({}), Bytes{0xFF});
    // A byte 0 takes three bits: five unused bits in the last byte.
    EXPECT_EQ(encode({0, 0, 0, 0, 0, 0, 0})[0], 3);
    // A destination that cannot hold the uncoded form gets nothing.
    Bytes coded(10);
    EXPECT_EQ(HUFF_Encode(Bytes(10, 0), coded), 0u);
}

TEST(HuffmanDecode, KnownAndDegenerateDatagrams) {
    EXPECT_EQ(decode({0x00, 0x92, 0x24, 0x49}), Bytes(8, 0x00));
    EXPECT_EQ(decode({0xFF, 'a', 'b', 'c'}), (Bytes{'a', 'b', 'c'}));
    EXPECT_TRUE(decode({0xFF}).empty());
    EXPECT_TRUE(decode({0x00}).empty());
    EXPECT_TRUE(decode({}).empty());
    // Headers the encoder never writes leave fewer (or no) bits to decode.
    EXPECT_TRUE(decode({0x08, 0x92}).empty());
    EXPECT_TRUE(decode({0xFE, 0x92, 0x24}).empty());
    // Byte 255's nine-bit code 110000011 fills the first byte from its lowest
    // bit; a last code running past the datagram is dropped.
    EXPECT_EQ(decode({0x07, 0x83, 0x01}), Bytes{0xFF});
    EXPECT_TRUE(decode({0x00, 0x83}).empty());
    EXPECT_EQ(decode({0x00, 0x92, 0x24}), Bytes(5, 0x00));
    // A message larger than the destination is discarded whole.
    EXPECT_EQ(decode(encode(Bytes(100, 0)), 100), Bytes(100, 0));
    EXPECT_TRUE(decode(encode(Bytes(100, 0)), 99).empty());
    EXPECT_TRUE(decode({0xFF, 1, 2, 3}, 2).empty());
}

TEST(HuffmanRoundTrip, RandomAndMessageShapedInputs) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 2000; ++round) {
        Bytes message(rng() % 1500);
        for (uint8_t& b : message) {
            b = static_cast<uint8_t>(rng());
        }
        const Bytes coded = encode(message);
        ASSERT_LE(coded.size(), message.size() + 1);
        ASSERT_EQ(decode(coded), message) << "round " << round;
    }

    // A server's answer, with its many small numbers, comes out shorter.
    Bytes message{0xD4, 0xD6, 0x54, 0x00};
    for (int i = 0; i < 16; ++i) {
        message.insert(message.end(), {'p', 'l', 'a', 'y', 'e', 'r', 0, 3, 0, 40, 0, 1, 0x58, 0x02});
    }
    const Bytes coded = encode(message);
    EXPECT_LT(coded.size(), message.size());
    EXPECT_EQ(decode(coded), message);
}

TEST(HuffmanDecode, GarbageNeverOverrunsSmallDestinations) {
    std::mt19937 rng(99);
    for (int round = 0; round < 5000; ++round) {
        Bytes coded(1 + rng() % 40);
        for (uint8_t& b : coded) {
            b = static_cast<uint8_t>(rng());
        }
        const size_t capacity = rng() % 64;
        Bytes message(capacity + 16, 0xAA);
        const size_t length = HUFF_Decode(coded, {message.data(), capacity});
        ASSERT_LE(length, capacity);
        for (size_t i = capacity; i < message.size(); ++i) {
            ASSERT_EQ(message[i], 0xAA);
        }
    }
}

}  // namespace
