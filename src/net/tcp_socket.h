#pragma once

#include <cstdint>
#include <span>

#include "net/net_address.h"

// The platform's TCP sockets behind one small interface, beside UdpSocket: POSIX
// sockets here, Winsock on Windows. Every socket is non-blocking and every wait
// takes a time-out, so a caller can stop between waits.

enum class TcpStatus {
    Done,        // connected, or `length` bytes moved
    WouldBlock,  // the time-out passed first (a connection is still in progress)
    Closed,      // the peer closed the connection
    Failed,      // other error in `error`
};

struct TcpResult {
    TcpStatus status = TcpStatus::Failed;
    int length = 0;
    int error = 0;  // the platform's error number when status is Failed
};

// One IPv4 stream socket; closed by its destructor. Move-only. Not shared between
// threads.
class TcpSocket {
  public:
    TcpSocket() = default;
    ~TcpSocket();
    TcpSocket(TcpSocket&& other) noexcept;
    TcpSocket& operator=(TcpSocket&& other) noexcept;
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Creates a non-blocking socket; false with the platform error in `error`.
    bool open(int* error = nullptr);
    bool bind(const NetAddress& local);
    bool localAddress(NetAddress& out) const;

    // Starts connecting and waits up to `timeoutMs` for the outcome: Done when
    // connected, WouldBlock while still in progress (go on with finishConnect),
    // Failed for a refused or unreachable peer.
    TcpResult connect(const NetAddress& to, int timeoutMs);
    // Waits up to `timeoutMs` more for a connection that connect() left in progress.
    TcpResult finishConnect(int timeoutMs);

    // Waits up to `timeoutMs` for room and sends what fits: Done with the bytes
    // sent (maybe fewer than given), WouldBlock when nothing could be sent in time.
    // A peer that has gone is Failed, never a signal.
    TcpResult write(std::span<const uint8_t> bytes, int timeoutMs);
    // Waits up to `timeoutMs` for data: Done with 1..size bytes, WouldBlock on
    // time-out, Closed once the peer has closed and everything was read.
    TcpResult read(std::span<uint8_t> buffer, int timeoutMs);

    // Listening side, for local servers and tests.
    bool listen(int backlog = 4);
    // Waits up to `timeoutMs` for a connection and hands it to `connection`
    // (non-blocking too). False on time-out or error.
    bool accept(TcpSocket& connection, int timeoutMs);

    void close();
    bool isOpen() const { return m_handle != kInvalidHandle; }

  private:
    // 1 ready, 0 time-out, -1 error.
    int waitReadable(int timeoutMs) const;
    int waitWritable(int timeoutMs) const;

    static constexpr intptr_t kInvalidHandle = -1;
    intptr_t m_handle = kInvalidHandle;
    bool m_connecting = false;
};
