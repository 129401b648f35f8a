#pragma once

#include <array>
#include <cstdint>

#include "net/huffman.h"

// The coder's lookup tables, built once from the weight table.

inline constexpr int kMaxCodeLength = 10;

struct HuffmanNode {
    HuffmanNode* left = nullptr;  // null in a leaf; then `right` is null too
    HuffmanNode* right = nullptr;
    uint8_t value = 255;  // byte value of a leaf
    float weight = 0.0f;
};

struct HuffmanDecodeEntry {
    uint8_t value;
    uint8_t length;
};

// Several codes read in one step: the codes that lie wholly within the next
// kMultiCodeBits stream bits, at least one and at most four.
inline constexpr int kMultiCodeBits = 13;

struct HuffmanTables {
    std::array<HuffmanNode, 511> nodes;
    std::array<HuffmanCode, 256> codes{};
    // The code of each byte with its bits in stream order (first branch lowest).
    std::array<uint32_t, 256> streamCode{};
    // Indexed by the next kMaxCodeLength stream bits: the byte whose code they start with.
    std::array<HuffmanDecodeEntry, 1u << kMaxCodeLength> decode{};
    // Indexed by the next kMultiCodeBits stream bits: the bytes of the codes
    // they hold whole, in stream order (those past the count are don't-cares),
    // how many, and the codes' total length. Kept apart so that the length,
    // which the next step waits for, comes with one small load.
    std::array<std::array<uint8_t, 4>, 1u << kMultiCodeBits> multiValues{};
    std::array<uint8_t, 1u << kMultiCodeBits> multiCount{};
    std::array<uint8_t, 1u << kMultiCodeBits> multiBits{};
};

// Builds the tree and every table from huffman_weights.
void buildHuffmanTables(HuffmanTables& tables);
