#include "net/huffman.h"

#include "net/huffman_tables.h"

#include <array>
#include <bit>
#include <cstdint>
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

// Where one decoder stands: its next stream bit and the bytes it has written.
struct Cursor {
    size_t bit = 0;
    size_t length = 0;
};

// A 64-bit load yields at least 57 bits: room for this many windows.
constexpr size_t kWindowsPerLoad = 57 / kMultiCodeBits;
constexpr size_t kBitsPerLoad = kWindowsPerLoad * kMultiCodeBits;
constexpr size_t kBytesPerLoad = kWindowsPerLoad * 4;  // at most, written in whole windows
constexpr uint32_t kWindowMask = (1u << kMultiCodeBits) - 1;

// Whether a cursor may take one whole load: its bits end by `end`, the eight
// bytes lie within the payload and `capacity` holds every byte it may write.
bool canLoad(const Cursor& c, size_t end, size_t payloadSize, size_t capacity) {
    return c.bit + kBitsPerLoad <= end && (c.bit >> 3) + 8 <= payloadSize &&
           c.length + kBytesPerLoad <= capacity;
}

// Decodes one load's windows, each in one step for all the codes it holds
// whole; `mark` hears where each window starts. Little-endian hosts only.
template <typename Mark>
void decodeLoad(const HuffmanTables& t, const uint8_t* payload, Cursor& c, uint8_t* out, Mark mark) {
    uint64_t word;
    std::memcpy(&word, payload + (c.bit >> 3), 8);
    word >>= c.bit & 7;
    for (size_t k = 0; k < kWindowsPerLoad; ++k) {
        mark(c);
        const auto window = static_cast<uint32_t>(word & kWindowMask);
        const uint32_t used = t.multiBits[window];
        std::memcpy(out + c.length, t.multiValues[window].data(), 4);
        c.length += t.multiCount[window];
        word >>= used;
        c.bit += used;
    }
}

constexpr auto kNoMark = [](const Cursor&) {};

enum class TailEnd { Done, Stopped, Full };

// One code at a time to the end of the code bits; a last code that runs past
// the payload is dropped. `stop` hears where each code starts and may end the
// decoding there; Full when `out` is full before the end.
template <typename Stop>
TailEnd decodeTail(const HuffmanTables& t, std::span<const uint8_t> payload, size_t codeBits, Cursor& c,
                   std::span<uint8_t> out, Stop stop) {
    while (c.bit < codeBits) {
        if (stop(c)) {
            return TailEnd::Stopped;
        }
        const HuffmanDecodeEntry entry = t.decode[peekBits(payload.data(), payload.size(), c.bit)];
        c.bit += entry.length;
        if (c.bit > payload.size() * 8) {
            break;  // a corrupt last code runs past the datagram
        }
        if (c.length == out.size()) {
            return TailEnd::Full;
        }
        out[c.length++] = entry.value;
    }
    return TailEnd::Done;
}

// Payloads decoded as two halves at once, so that the two chains of table
// look-ups overlap: large enough to pay, small enough for the stack.
constexpr size_t kSplitMinPayload = 128;
constexpr size_t kSplitMaxPayload = 2048;
// Codes are at least three bits long: the most the second half can hold.
constexpr size_t kSplitMaxCodes = kSplitMaxPayload * 8 / 2 / 3 + 2 + kBytesPerLoad;

// The second half is decoded from its middle bit, which need not start a code;
// a prefix code falls into step within a few codes, so the first half, carried
// on a code at a time past the middle, soon stands where the second stood, and
// from there on the second half's bytes are the datagram's. Until then, and if
// that never happens, the first half's own decoding counts.
size_t decodeInTwoHalves(const HuffmanTables& t, std::span<const uint8_t> payload, size_t codeBits,
                         std::span<uint8_t> message) {
    std::array<uint8_t, kSplitMaxCodes> second;
    std::array<uint16_t, kSplitMaxCodes> starts;   // stream bits where the second half's steps began
    std::array<uint16_t, kSplitMaxCodes> written;  // its length at each of them
    size_t steps = 0;
    const auto mark = [&](const Cursor& c) {
        starts[steps] = static_cast<uint16_t>(c.bit);
        written[steps++] = static_cast<uint16_t>(c.length);
    };
    const size_t middle = codeBits / 2;
    Cursor a;
    Cursor b{middle, 0};
    while (canLoad(a, middle, payload.size(), message.size()) &&
           canLoad(b, codeBits, payload.size(), second.size())) {
        decodeLoad(t, payload.data(), a, message.data(), kNoMark);
        decodeLoad(t, payload.data(), b, second.data(), mark);
    }
    while (canLoad(a, middle, payload.size(), message.size())) {
        decodeLoad(t, payload.data(), a, message.data(), kNoMark);
    }
    while (canLoad(b, codeBits, payload.size(), second.size())) {
        decodeLoad(t, payload.data(), b, second.data(), mark);
    }
    if (decodeTail(t, payload, codeBits, b, second, [&](const Cursor& c) {
            mark(c);
            return false;
        }) != TailEnd::Done) {
        steps = 0;  // cannot happen with codes of three bits at the least; the first half goes on alone
    }
    size_t step = 0;
    const auto meets = [&](const Cursor& c) {
        while (step < steps && starts[step] < c.bit) {
            ++step;
        }
        return step < steps && starts[step] == c.bit;
    };
    switch (decodeTail(t, payload, codeBits, a, message, meets)) {
        case TailEnd::Done:
            return a.length;
        case TailEnd::Full:
            return 0;
        case TailEnd::Stopped:
            break;
    }
    const size_t rest = b.length - written[step];
    if (a.length + rest > message.size()) {
        return 0;
    }
    std::memcpy(message.data() + a.length, second.data() + written[step], rest);
    return a.length + rest;
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
    const std::span<const uint8_t> payloadBytes(payload, payloadSize);
    Cursor c;
    if constexpr (std::endian::native == std::endian::little) {
        if (payloadSize >= kSplitMinPayload && payloadSize <= kSplitMaxPayload) {
            return decodeInTwoHalves(t, payloadBytes, codeBits, message);
        }
        while (canLoad(c, codeBits, payloadSize, message.size())) {
            decodeLoad(t, payload, c, message.data(), kNoMark);
        }
    }
    const auto never = [](const Cursor&) { return false; };
    return decodeTail(t, payloadBytes, codeBits, c, message, never) == TailEnd::Full ? 0 : c.length;
}
