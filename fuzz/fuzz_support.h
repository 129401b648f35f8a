#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>

#include "net/size_buffer.h"

// Shared by the fuzz targets: taking an input apart, and checks that stop the
// run with the condition that failed.

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

// Reads an input front to back; past its end every byte reads as 0 and every
// piece as empty, so a target never has to test for the end.
class FuzzInput {
  public:
    explicit FuzzInput(std::span<const uint8_t> data) : m_rest(data) {}

    bool empty() const { return m_rest.empty(); }

    uint8_t byte() {
        if (m_rest.empty()) {
            return 0;
        }
        const uint8_t value = m_rest.front();
        m_rest = m_rest.subspan(1);
        return value;
    }

    // Up to `count` bytes.
    std::span<const uint8_t> bytes(size_t count) {
        const std::span<const uint8_t> taken = m_rest.first(std::min(count, m_rest.size()));
        m_rest = m_rest.subspan(taken.size());
        return taken;
    }

    // A piece with its length in front as two bytes, little-endian, at most `limit`.
    std::span<const uint8_t> piece(size_t limit) {
        const size_t low = byte();
        const size_t length = low | static_cast<size_t>(byte()) << 8;
        return bytes(std::min(length, limit));
    }

    std::span<const uint8_t> rest() { return bytes(m_rest.size()); }

  private:
    std::span<const uint8_t> m_rest;
};

// A message buffer holding exactly `bytes`, ready to read, as a datagram is
// once decoded. Sized to the message, so a read past it is an overflow that
// AddressSanitizer reports rather than a read of stale bytes.
inline SizeBuffer loadedMessage(std::span<const uint8_t> bytes) {
    SizeBuffer message;
    SZ_Init(message, std::max<int32_t>(1, static_cast<int32_t>(bytes.size())));
    SZ_Load(message, bytes.data(), static_cast<int32_t>(bytes.size()));
    return message;
}

// The little-endian long at the front of a message: its code; -1 when too short.
inline int32_t messageCode(std::span<const uint8_t> bytes) {
    if (bytes.size() < 4) {
        return -1;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                                static_cast<uint32_t>(bytes[2]) << 16 |
                                static_cast<uint32_t>(bytes[3]) << 24);
}

// Whether a fixed-size text field holds its terminating zero.
template <size_t N>
bool terminated(const char (&text)[N]) {
    return std::memchr(text, '\0', N) != nullptr;
}
