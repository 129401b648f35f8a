#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "net/size_buffer.h"

// Whole datagrams in their Huffman-coded wire form.

using Datagram = std::vector<uint8_t>;

// What the launcher decodes a datagram into; a message past this is lost to it.
inline constexpr int32_t kLauncherMessageSize = 8192;
// The largest message that still fits one IPv4 UDP datagram once coded (one
// header byte is added at worst).
inline constexpr int32_t kMaxDatagramMessage = 65507 - 1;

// Codes the `cursize` valid bytes of `message`.
Datagram encodeMessage(const SizeBuffer& message);

// Decodes `coded` into `message` and begins reading it. Returns the message
// length; 0 for a datagram that holds no message or would not fit `message`.
int32_t decodeDatagram(std::span<const uint8_t> coded, SizeBuffer& message);
