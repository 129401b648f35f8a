#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// The static Huffman code every datagram is sent in. Both ends build the same
// tree from the fixed weight table, so the table, the tie-breaks and the bit
// order are part of the wire format.

struct HuffmanCode {
    uint32_t code;   // path from the root, first branch in the highest of `length` bits; 1 = right
    int32_t length;  // bits
};

// Byte that marks a datagram sent uncoded.
inline constexpr uint8_t kHuffUncoded = 255;

extern const float huffman_weights[256];

// Builds the tree and code tables. Safe to call more than once and from any
// thread; the coders call it themselves on first use.
void HUFF_Init();

// The code of one byte value.
HuffmanCode HUFF_Code(uint8_t value);

// Codes `message` into `coded` and returns the datagram size (at most
// message.size() + 1). When coding would not save a byte the message goes
// uncoded behind kHuffUncoded. Returns 0 when `coded` holds fewer than
// message.size() + 1 bytes. No allocation; safe on any thread.
size_t HUFF_Encode(std::span<const uint8_t> message, std::span<uint8_t> coded);

// Decodes one datagram into `message` and returns the message length. Never
// reads past `coded` or writes past `message`. A final code that runs past the
// last byte (only corrupt datagrams have one) is dropped; a datagram that would
// decode to more than `message` holds is discarded whole and yields 0.
// No allocation (about 14 KB of stack); safe on any thread.
size_t HUFF_Decode(std::span<const uint8_t> coded, std::span<uint8_t> message);
