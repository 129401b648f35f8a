#include "datagram.h"

#include <algorithm>

#include "net/huffman.h"

Datagram encodeMessage(const SizeBuffer& message) {
    const auto length = static_cast<size_t>(std::max(message.cursize, 0));
    Datagram coded(length + 1);
    coded.resize(HUFF_Encode({message.data.get(), length}, coded));
    return coded;
}

int32_t decodeDatagram(std::span<const uint8_t> coded, SizeBuffer& message) {
    const size_t length = HUFF_Decode(coded, {message.data.get(), static_cast<size_t>(message.maxsize)});
    message.cursize = static_cast<int32_t>(length);
    MSG_BeginReading(message);
    return message.cursize;
}
