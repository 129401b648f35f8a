#include "net/transport.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "net/huffman.h"
#include "net/socket.h"

SizeBuffer net_message;
SizeBuffer net_outmessage;
NetAddress net_from;
NetAddress net_local_adr;
uint32_t net_arrival_time = 0;

namespace {

constexpr size_t kPacketSize = 65536;
constexpr int kMaxSkippedResets = 64;

UdpSocket net_socket;
std::mutex receiveMutex;
std::mutex outMessageMutex;
std::mutex sendMutex;
// Coded datagrams: one scratch buffer for receiving, another for sending, so
// a send never overwrites a datagram that is being decoded.
std::array<uint8_t, kPacketSize> receivePacket;
std::array<uint8_t, kPacketSize> sendPacket;

void BindToPort(const NetConfig& config) {
    NetAddress local;
    if (!config.bindHost.empty() && !NET_ParseDotted(config.bindHost, local.ip)) {
        Sys_FatalError("BindToPort: error\n");
    }
    NET_SetPort(local, config.port);
    if (!net_socket.bind(local)) {
        Sys_FatalError("BindToPort: error\n");
    }
}

// Resolves `name` on a thread of its own and waits up to `limit` for it. A
// resolver that hangs keeps only that thread, which lets go of everything it
// holds once the lookup ends.
bool resolveWithin(const NameResolver& resolve, const std::string& name, std::chrono::milliseconds limit,
                   NetAddress& out) {
    struct Lookup {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        bool found = false;
        NetAddress address;
    };
    const auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, resolve, name] {
        NetAddress address;
        const bool found = resolve(name, address);
        const std::scoped_lock lock(lookup->mutex);
        lookup->finished = true;
        lookup->found = found;
        lookup->address = address;
        lookup->done.notify_all();
    }).detach();
    std::unique_lock lock(lookup->mutex);
    if (!lookup->done.wait_for(lock, limit, [&] { return lookup->finished; }) || !lookup->found) {
        return false;
    }
    out = lookup->address;
    return true;
}

void NET_GetLocalAddress(const NetConfig& config) {
    net_local_adr = NetAddress{};
    std::string hostName;
    if (SOCK_HostName(hostName)) {
        resolveWithin(config.resolveLocalName, hostName, kLocalNameWait, net_local_adr);
    }
    NetAddress bound;
    if (!net_socket.localAddress(bound)) {
        Sys_FatalError("NET_Init: getsockname:");
    }
    net_local_adr.port = bound.port;
}

void BV_UDPsocket(const NetConfig& config) {
    SZ_Init(net_message, kMessageSize);
    SZ_Clear(net_message);
    if (!SOCK_Startup()) {
        Sys_FatalError("Winsock initialization failed!!\n");
    }
    if (!net_socket.open()) {
        Sys_FatalError("cant create socket!\n");
    }
    BindToPort(config);
    if (!net_socket.setNonBlocking()) {
        std::printf("BV_UDPsocket: ioctl FIONBIO:");
    }
    NET_GetLocalAddress(config);
}

}  // namespace

void NET_Init(const NetConfig& config) {
    HUFF_Init();
    Sys_Milliseconds();
    {
        const auto lock = NET_LockOutMessage();
        SZ_Init(net_outmessage, kMessageSize);
    }
    const auto lock = NET_LockReceive();
    BV_UDPsocket(config);
}

void NET_Shutdown() {
    const auto lock = NET_LockReceive();
    const std::scoped_lock sendLock(sendMutex);
    net_socket.close();
    SOCK_Cleanup();
}

void NET_SendPacket(const SizeBuffer& message, const NetAddress& to) {
    if (message.cursize <= 0) {
        return;
    }
    const std::scoped_lock lock(sendMutex);
    const size_t size = HUFF_Encode({message.data.get(), static_cast<size_t>(message.cursize)}, sendPacket);
    if (size > 0 && net_socket.isOpen()) {
        net_socket.sendTo({sendPacket.data(), size}, to);
    }
}

int BV_GetPackets() {
    if (!net_socket.isOpen()) {
        return 0;
    }
    NetAddress from;
    ReceiveResult result = net_socket.receiveFrom(receivePacket, from);
    // A reset only tells of an earlier send to a closed port: read on, so the
    // datagrams behind it are not left waiting. Bounded, in case it repeats.
    for (int skipped = 0; result.status == ReceiveStatus::ConnectionReset && skipped < kMaxSkippedResets;
         ++skipped) {
        result = net_socket.receiveFrom(receivePacket, from);
    }
    switch (result.status) {
        case ReceiveStatus::WouldBlock:
        case ReceiveStatus::ConnectionReset:
            return 0;
        case ReceiveStatus::TooLarge:
            std::printf("Warning:  Oversize packet from %s\n", NET_AdrToString(from).c_str());
            return 0;
        case ReceiveStatus::Failed:
            std::printf("BV_GetPackets(%d) Error(%d): %s\n", result.length, result.error,
                        SOCK_ErrorText(result.error).c_str());
            return 0;
        case ReceiveStatus::Received:
            break;
    }
    if (result.length <= 0) {
        return 0;
    }
    const size_t length = HUFF_Decode({receivePacket.data(), static_cast<size_t>(result.length)},
                                      {net_message.data.get(), static_cast<size_t>(net_message.maxsize)});
    net_message.cursize = static_cast<int32_t>(length);
    MSG_BeginReading(net_message);
    net_from = from;
    net_arrival_time = Sys_MillisecondsAt(result.arrival);
    return static_cast<int>(length);
}

int NET_Wait(int timeoutMs) {
    return net_socket.isOpen() ? net_socket.waitReadable(timeoutMs) : -1;
}

std::unique_lock<std::mutex> NET_LockReceive() {
    return std::unique_lock(receiveMutex);
}

std::unique_lock<std::mutex> NET_LockOutMessage() {
    return std::unique_lock(outMessageMutex);
}

uint32_t Sys_Milliseconds() {
    return Sys_MillisecondsAt(std::chrono::steady_clock::now());
}

uint32_t Sys_MillisecondsAt(std::chrono::steady_clock::time_point moment) {
    static const std::chrono::steady_clock::time_point start = moment;
    if (moment < start) {
        return 0;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(moment - start);
    return static_cast<uint32_t>(elapsed.count());
}

void Sys_FatalError(const std::string& text) {
    std::printf("FATAL ERROR\n---------------------\n%s\n---------------------\n\n", text.c_str());
    std::fflush(stdout);
    // Other threads may still run; leave without running static destructors under them.
    std::_Exit(-10);
}
