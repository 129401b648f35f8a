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

struct HuffmanTables {
    std::array<HuffmanNode, 511> nodes;
    std::array<HuffmanCode, 256> codes{};
    // The code of each byte with its bits in stream order (first branch lowest).
    std::array<uint32_t, 256> streamCode{};
    // Indexed by the next kMaxCodeLength stream bits: the byte whose code they start with.
    std::array<HuffmanDecodeEntry, 1u << kMaxCodeLength> decode{};
};

// Builds the tree and every table from huffman_weights.
void buildHuffmanTables(HuffmanTables& tables);
