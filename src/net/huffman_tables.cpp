#include "net/huffman_tables.h"

namespace {

void assignCodes(HuffmanTables& t, const HuffmanNode* node, int32_t depth, uint32_t code) {
    if (node->left != nullptr) {
        assignCodes(t, node->left, depth + 1, code * 2);
        assignCodes(t, node->right, depth + 1, code * 2 + 1);
        return;
    }
    t.codes[node->value] = HuffmanCode{code, depth};
}

// Joins the two lightest nodes 255 times. The scan order and the strict
// comparisons decide ties, and both ends must decide them alike.
const HuffmanNode* buildTree(HuffmanTables& t) {
    std::array<HuffmanNode*, 256> slots{};
    for (int i = 0; i < 256; ++i) {
        t.nodes[i] = HuffmanNode{nullptr, nullptr, static_cast<uint8_t>(i), huffman_weights[i]};
        slots[i] = &t.nodes[i];
    }
    HuffmanNode* last = nullptr;
    for (int round = 0; round < 255; ++round) {
        int s1 = -1;
        int s2 = -1;
        float w1 = 1e30f;
        float w2 = 1e30f;
        for (int i = 0; i < 256; ++i) {
            if (slots[i] == nullptr) {
                continue;
            }
            const float w = slots[i]->weight;
            if (w < w1) {
                s2 = s1;
                w2 = w1;
                s1 = i;
                w1 = w;
            } else if (w < w2) {
                s2 = i;
                w2 = w;
            }
        }
        last = &t.nodes[256 + round];
        *last = HuffmanNode{slots[s2], slots[s1], 255, slots[s2]->weight + slots[s1]->weight};
        slots[s1] = last;
        slots[s2] = nullptr;
    }
    return last;
}

uint32_t reverseBits(uint32_t code, int32_t length) {
    uint32_t reversed = 0;
    for (int32_t i = 0; i < length; ++i) {
        reversed = (reversed << 1) | ((code >> i) & 1u);
    }
    return reversed;
}

// The codes a window of kMultiCodeBits bits holds whole. A code's identity
// depends on its own bits only, so the zeros shifted in above the window never
// decide a code that is taken.
void fillMultiEntry(HuffmanTables& t, uint32_t window) {
    uint32_t rest = window;  // the bits after the codes taken so far
    uint8_t count = 0;
    int used = 0;
    while (count < 4) {
        const HuffmanDecodeEntry code = t.decode[rest & ((1u << kMaxCodeLength) - 1)];
        if (used + code.length > kMultiCodeBits) {
            break;
        }
        t.multiValues[window][count++] = code.value;
        used += code.length;
        rest >>= code.length;
    }
    t.multiCount[window] = count;
    t.multiBits[window] = static_cast<uint8_t>(used);
}

}  // namespace

void buildHuffmanTables(HuffmanTables& t) {
    assignCodes(t, buildTree(t), 0, 0);
    for (int value = 0; value < 256; ++value) {
        const HuffmanCode c = t.codes[value];
        const uint32_t stream = reverseBits(c.code, c.length);
        t.streamCode[value] = stream;
        for (uint32_t high = 0; high < (1u << (kMaxCodeLength - c.length)); ++high) {
            t.decode[stream | (high << c.length)] =
                HuffmanDecodeEntry{static_cast<uint8_t>(value), static_cast<uint8_t>(c.length)};
        }
    }
    for (uint32_t window = 0; window < t.multiBits.size(); ++window) {
        fillMultiEntry(t, window);
    }
}
