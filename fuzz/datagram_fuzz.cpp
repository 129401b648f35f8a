// Feeds arbitrary datagrams through the decoder and the message reads, the way
// every datagram from the network is taken apart, and holds the table-driven
// decoder to a plain one that walks the tree a bit at a time.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "net/huffman.h"
#include "net/huffman_tables.h"
#include "net/net_address.h"
#include "net/size_buffer.h"

namespace {

SizeBuffer& message() {
    static SizeBuffer buffer = [] {
        SizeBuffer b;
        SZ_Init(b, 8192);
        return b;
    }();
    return buffer;
}

const HuffmanNode* treeRoot() {
    static const std::unique_ptr<HuffmanTables> tables = [] {
        auto built = std::make_unique<HuffmanTables>();
        buildHuffmanTables(*built);
        return built;
    }();
    return &tables->nodes.back();  // the last node joined
}

// The decoder's rules, one branch per stream bit: a final code that runs past
// the datagram is dropped, and a message larger than `capacity` yields 0.
size_t decodeBitByBit(std::span<const uint8_t> coded, size_t capacity, uint8_t* message) {
    if (coded.empty()) {
        return 0;
    }
    const std::span<const uint8_t> payload = coded.subspan(1);
    if (coded[0] == kHuffUncoded) {
        if (payload.size() > capacity) {
            return 0;
        }
        std::copy(payload.begin(), payload.end(), message);
        return payload.size();
    }
    const size_t payloadBits = payload.size() * 8;
    const size_t codeBits = payloadBits > coded[0] ? payloadBits - coded[0] : 0;
    size_t length = 0;
    for (size_t bit = 0; bit < codeBits;) {
        const HuffmanNode* node = treeRoot();
        while (node->left != nullptr) {
            if (bit == payloadBits) {
                return length;
            }
            node = (payload[bit >> 3] >> (bit & 7) & 1) != 0 ? node->right : node->left;
            ++bit;
        }
        if (length == capacity) {
            return 0;
        }
        message[length++] = node->value;
    }
    return length;
}

// Both decoders, into a destination of `capacity` bytes, must agree.
void compareDecoders(std::span<const uint8_t> coded, size_t capacity) {
    std::vector<uint8_t> table(capacity);
    std::vector<uint8_t> plain(capacity);
    const size_t tableSize = HUFF_Decode(coded, table);
    const size_t plainSize = decodeBitByBit(coded, capacity, plain.data());
    if (tableSize != plainSize || !std::equal(table.begin(), table.begin() + tableSize, plain.begin())) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    compareDecoders({data, size}, 8192);
    compareDecoders({data, size}, size / 2);
    SizeBuffer& msg = message();
    // The message buffer is the only destination: a decoder overrun shows as a
    // heap-buffer-overflow here.
    msg.cursize =
        static_cast<int32_t>(HUFF_Decode({data, size}, {msg.data.get(), static_cast<size_t>(msg.maxsize)}));
    if (msg.cursize > msg.maxsize) {
        __builtin_trap();
    }
    MSG_BeginReading(msg);
    // Read the fields in a pattern chosen by the data itself, until the end.
    while (msg.readcount <= msg.cursize) {
        switch (MSG_ReadByte(msg) & 3) {
            case 0:
                MSG_ReadShort(msg);
                break;
            case 1:
                MSG_ReadLong(msg);
                break;
            case 2: {
                const std::string text = MSG_ReadString(msg);
                if (text.size() > kMaxReadString) {
                    __builtin_trap();
                }
                NetAddress address;
                NET_ParseDotted(text, address.ip);
                break;
            }
            default:
                MSG_ReadChar(msg);
                break;
        }
    }
    // Whatever decoded must code again and come back the same.
    static uint8_t coded[8193];
    static uint8_t again[8192];
    const size_t codedSize = HUFF_Encode({msg.data.get(), static_cast<size_t>(msg.cursize)}, coded);
    const size_t againSize = HUFF_Decode({coded, codedSize}, again);
    if (againSize != static_cast<size_t>(msg.cursize) ||
        __builtin_memcmp(again, msg.data.get(), againSize) != 0) {
        __builtin_trap();
    }
    return 0;
}
