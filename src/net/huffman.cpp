#include "net/huffman.h"

#include "net/huffman_tables.h"

#include <bit>
#include <cstring>
#include <memory>

namespace {

constexpr uint32_t kPeekMask = (1u << kMaxCodeLength) - 1;

// Built on first use; the tree's nodes point into the same object, so it is
// made in place and never copied.
const HuffmanTables& tables() {
    static const std::unique_ptr<const HuffmanTables> t = [] {
        auto built = std::make_unique<HuffmanTables>();
        buildHuffmanTables(*built);
        return built;
    }();
    return *t;
}

size_t sendUncoded(std::span<const uint8_t> message, std::span<uint8_t> coded) {
    coded[0] = kHuffUncoded;
    if (!message.empty()) {
        std::memcpy(coded.data() + 1, message.data(), message.size());
    }
    return message.size() + 1;
}

// The next kMaxCodeLength stream bits at `bit`; bits past the payload read as 0.
uint32_t peekBits(const uint8_t* payload, size_t payloadSize, size_t bit) {
    const size_t byte = bit >> 3;
    uint64_t word = 0;
    if (byte + 8 <= payloadSize) {
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&word, payload + byte, 8);
            return static_cast<uint32_t>(word >> (bit & 7)) & kPeekMask;
        }
    }
    const size_t available = payloadSize - byte < 3 ? payloadSize - byte : 3;
    for (size_t i = 0; i < available; ++i) {
        word |= uint64_t{payload[byte + i]} << (8 * i);
    }
    return static_cast<uint32_t>(word >> (bit & 7)) & kPeekMask;
}

}  // namespace

void HUFF_Init() {
    tables();
}

HuffmanCode HUFF_Code(uint8_t value) {
    return tables().codes[value];
}

size_t HUFF_Encode(std::span<const uint8_t> message, std::span<uint8_t> coded) {
    if (coded.size() < message.size() + 1) {
        return 0;
    }
    const HuffmanTables& t = tables();
    // The coded form is kept only if its payload fits in message.size() - 1 bytes.
    uint8_t* out = coded.data() + 1;
    uint8_t* const limit = out + (message.empty() ? 0 : message.size() - 1);
    uint64_t pending = 0;
    int pendingBits = 0;
    size_t codeBits = 0;
    for (const uint8_t value : message) {
        const int length = t.codes[value].length;
        pending |= uint64_t{t.streamCode[value]} << pendingBits;
        pendingBits += length;
        codeBits += static_cast<size_t>(length);
        while (pendingBits >= 8) {
            if (out == limit) {
                return sendUncoded(message, coded);
            }
            *out++ = static_cast<uint8_t>(pending);
            pending >>= 8;
            pendingBits -= 8;
        }
    }
    if (pendingBits > 0) {
        if (out == limit) {
            return sendUncoded(message, coded);
        }
        *out++ = static_cast<uint8_t>(pending);
    }
    const size_t size = static_cast<size_t>(out - coded.data());
    if (size >= message.size() + 1) {
        return sendUncoded(message, coded);
    }
    coded[0] = static_cast<uint8_t>(size * 8 - 8 - codeBits);
    return size;
}

size_t HUFF_Decode(std::span<const uint8_t> coded, std::span<uint8_t> message) {
    if (coded.empty()) {
        return 0;
    }
    const uint8_t* payload = coded.data() + 1;
    const size_t payloadSize = coded.size() - 1;
    if (coded[0] == kHuffUncoded) {
        if (payloadSize > message.size()) {
            return 0;
        }
        if (payloadSize > 0) {
            std::memcpy(message.data(), payload, payloadSize);
        }
        return payloadSize;
    }
    const size_t payloadBits = payloadSize * 8;
    const size_t codeBits = payloadBits > coded[0] ? payloadBits - coded[0] : 0;
    const HuffmanTables& t = tables();
    size_t length = 0;
    size_t bit = 0;
    // Fast path: one 64-bit load yields at least 57 bits, enough for four
    // windows of kMultiCodeBits, each read in one step for all the codes it
    // holds whole, and all ending before the code bits do.
    if constexpr (std::endian::native == std::endian::little) {
        constexpr size_t kWindowsPerLoad = 57 / kMultiCodeBits;
        constexpr uint32_t kWindowMask = (1u << kMultiCodeBits) - 1;
        while (bit + kWindowsPerLoad * kMultiCodeBits <= codeBits && (bit >> 3) + 8 <= payloadSize &&
               length + kWindowsPerLoad * 4 <= message.size()) {
            uint64_t word;
            std::memcpy(&word, payload + (bit >> 3), 8);
            word >>= bit & 7;
            for (size_t k = 0; k < kWindowsPerLoad; ++k) {
                const auto window = static_cast<uint32_t>(word & kWindowMask);
                const uint32_t used = t.multiBits[window];
                std::memcpy(message.data() + length, t.multiValues[window].data(), 4);
                length += t.multiCount[window];
                word >>= used;
                bit += used;
            }
        }
    }
    while (bit < codeBits) {
        const HuffmanDecodeEntry entry = t.decode[peekBits(payload, payloadSize, bit)];
        bit += entry.length;
        if (bit > payloadBits) {
            break;  // a corrupt last code runs past the datagram
        }
        if (length == message.size()) {
            return 0;
        }
        message[length++] = entry.value;
    }
    return length;
}
