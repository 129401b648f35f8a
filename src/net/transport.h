#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "net/net_address.h"
#include "net/size_buffer.h"

// The launcher's one UDP socket and the messages that pass through it.
// Every datagram is Huffman-coded as a whole; there is no other framing.

inline constexpr uint16_t kLocalPort = 11000;
inline constexpr int32_t kMessageSize = 8192;

// How long start-up waits for this host's own name to resolve.
inline constexpr std::chrono::milliseconds kLocalNameWait{1000};

// Looks a host name up the way NET_StringToAdr does; may block.
using NameResolver = std::function<bool(const std::string& name, NetAddress& out)>;

struct NetConfig {
    uint16_t port = kLocalPort;  // 0 takes any free port
    std::string bindHost;        // dotted address to bind; empty binds every interface
    // Resolves this host's name for net_local_adr; tests put a stalled one here.
    NameResolver resolveLocalName = [](const std::string& name, NetAddress& out) {
        return NET_StringToAdr(name, out);
    };
};

// The current incoming message, its sender, the outgoing message and this host's
// address. Readers of net_message/net_from hold NET_LockReceive(); builders of
// net_outmessage hold NET_LockOutMessage().
extern SizeBuffer net_message;
extern SizeBuffer net_outmessage;
extern NetAddress net_from;
extern NetAddress net_local_adr;
// Sys_Milliseconds() at the arrival of net_message's datagram; read under
// NET_LockReceive() with net_from.
extern uint32_t net_arrival_time;

// Builds the Huffman tables, the message buffers and the bound, non-blocking
// socket. A failure ends the process through Sys_FatalError. This host's name
// is given kLocalNameWait to resolve; past that net_local_adr keeps 0.0.0.0
// with the bound port, and start-up goes on.
void NET_Init(const NetConfig& config = {});
// Closes the socket. Stop every thread that sends or receives first.
void NET_Shutdown();

// Codes and sends the `cursize` bytes of `message`; nothing for an empty one.
// Send errors are dropped. Safe on any thread: the send path has its own
// scratch buffer.
void NET_SendPacket(const SizeBuffer& message, const NetAddress& to);

// Takes one waiting datagram, decodes it into net_message (ready for reading),
// its sender into net_from and the time it arrived into net_arrival_time. Returns the message length, or 0
// when nothing was taken. The caller holds NET_LockReceive() until it has read the message.
int BV_GetPackets();

// Waits until the socket is readable or `timeoutMs` passes: 1 ready, 0 time-out, -1 error.
int NET_Wait(int timeoutMs = 1000);

// Serialise receive-and-read, and the building of net_outmessage, across threads.
[[nodiscard]] std::unique_lock<std::mutex> NET_LockReceive();
[[nodiscard]] std::unique_lock<std::mutex> NET_LockOutMessage();

// Milliseconds since the first call (which returns 0); wraps at 2^32.
uint32_t Sys_Milliseconds();
// Sys_Milliseconds() as it read, or will read, at `moment`; 0 before the first call.
uint32_t Sys_MillisecondsAt(std::chrono::steady_clock::time_point moment);

// Prints the fatal-error banner around `text` to standard output and ends the
// process with exit code -10.
[[noreturn]] void Sys_FatalError(const std::string& text);
