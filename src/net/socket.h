#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "net/net_address.h"

// The platform's UDP sockets behind one small interface: POSIX sockets here,
// Winsock on Windows. Everything above this header is platform-free.

enum class ReceiveStatus {
    Received,         // `length` bytes from `from`
    WouldBlock,       // nothing waiting
    ConnectionReset,  // an earlier send was refused by the peer
    TooLarge,         // datagram larger than the buffer; dropped
    Failed,           // other error in `error`
};

struct ReceiveResult {
    ReceiveStatus status = ReceiveStatus::Failed;
    int length = 0;
    int error = 0;  // the platform's error number when status is Failed
    // When a received datagram arrived: the kernel's receive time stamp where the
    // platform offers one, else the moment the read returned.
    std::chrono::steady_clock::time_point arrival{};
};

// One IPv4 UDP socket; closed by its destructor. Move-only.
class UdpSocket {
  public:
    UdpSocket() = default;
    ~UdpSocket();
    UdpSocket(UdpSocket&& other) noexcept;
    UdpSocket& operator=(UdpSocket&& other) noexcept;
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    bool open();
    bool bind(const NetAddress& local);
    bool setNonBlocking();
    bool localAddress(NetAddress& out) const;
    // Returns the bytes sent, or -1.
    int sendTo(std::span<const uint8_t> bytes, const NetAddress& to);
    ReceiveResult receiveFrom(std::span<uint8_t> buffer, NetAddress& from);
    // Waits until a datagram can be read or `timeoutMs` passes: 1 ready, 0 time-out, -1 error.
    int waitReadable(int timeoutMs) const;
    void close();
    bool isOpen() const { return m_handle != kInvalidHandle; }

    // Waits on several sockets at once; fills `ready` with the indexes of the
    // readable ones. Returns their count, 0 on time-out, -1 on error.
    static int waitAnyReadable(std::span<UdpSocket* const> sockets, std::chrono::microseconds timeout,
                               std::vector<size_t>& ready);

  private:
    static constexpr intptr_t kInvalidHandle = -1;
    intptr_t m_handle = kInvalidHandle;
};

// Starts and ends the platform's socket layer (a no-op on POSIX).
bool SOCK_Startup();
void SOCK_Cleanup();

// The C library's text for a platform error number.
std::string SOCK_ErrorText(int error);
bool SOCK_HostName(std::string& out);
// Resolves a host name to its first IPv4 address.
bool SOCK_ResolveHost(const std::string& name, std::array<uint8_t, 4>& ip);
