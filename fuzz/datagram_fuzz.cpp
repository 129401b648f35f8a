// Feeds arbitrary datagrams through the decoder and the message reads, the way
// every datagram from the network is taken apart.
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/huffman.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
