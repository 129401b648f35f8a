#include <winsock2.h>
#include <ws2tcpip.h>

#include "net/native_socket.h"
#include "net/tcp_socket.h"

namespace {

bool setNonBlocking(SOCKET s) {
    u_long on = 1;
    return ::ioctlsocket(s, FIONBIO, &on) == 0;
}

// select() rather than WSAPoll: older WSAPoll misses a failed connect.
// `failed` (optional) is set when the socket landed in the exception set.
int waitFor(intptr_t handle, bool forWrite, int timeoutMs, bool* failed = nullptr) {
    fd_set wanted;
    fd_set errors;
    FD_ZERO(&wanted);
    FD_ZERO(&errors);
    FD_SET(nativeSocket(handle), &wanted);
    FD_SET(nativeSocket(handle), &errors);
    const int ms = timeoutMs < 0 ? 0 : timeoutMs;
    timeval limit{ms / 1000, (ms % 1000) * 1000};
    const int ready =
        ::select(0, forWrite ? nullptr : &wanted, forWrite ? &wanted : nullptr, &errors, &limit);
    if (ready == SOCKET_ERROR) {
        return -1;
    }
    if (failed != nullptr) {
        *failed = FD_ISSET(nativeSocket(handle), &errors) != 0;
    }
    return ready > 0 ? 1 : 0;
}

bool wouldBlock(int error) {
    return error == WSAEWOULDBLOCK || error == WSAEINTR;
}

}  // namespace

bool TcpSocket::open(int* error) {
    close();
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET || !setNonBlocking(s)) {
        if (error != nullptr) {
            *error = ::WSAGetLastError();
        }
        if (s != INVALID_SOCKET) {
            ::closesocket(s);
        }
        return false;
    }
    m_handle = static_cast<intptr_t>(s);
    return true;
}

TcpResult TcpSocket::connect(const NetAddress& to, int timeoutMs) {
    const sockaddr_in sa = toSockaddr(to);
    if (::connect(nativeSocket(m_handle), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) {
        return {TcpStatus::Done, 0, 0};
    }
    const int error = ::WSAGetLastError();
    if (!wouldBlock(error)) {
        return {TcpStatus::Failed, 0, error};
    }
    m_connecting = true;
    return finishConnect(timeoutMs);
}

TcpResult TcpSocket::finishConnect(int timeoutMs) {
    if (!m_connecting) {
        return {TcpStatus::Done, 0, 0};
    }
    bool failed = false;
    const int ready = waitFor(m_handle, true, timeoutMs, &failed);
    if (ready == 0) {
        return {TcpStatus::WouldBlock, 0, 0};
    }
    m_connecting = false;
    if (ready < 0) {
        return {TcpStatus::Failed, 0, ::WSAGetLastError()};
    }
    int error = 0;
    int length = sizeof error;
    if (::getsockopt(nativeSocket(m_handle), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                     &length) != 0) {
        error = ::WSAGetLastError();
    }
    if (failed && error == 0) {
        error = WSAECONNREFUSED;
    }
    return error == 0 ? TcpResult{TcpStatus::Done, 0, 0} : TcpResult{TcpStatus::Failed, 0, error};
}

TcpResult TcpSocket::write(std::span<const uint8_t> bytes, int timeoutMs) {
    const int ready = waitFor(m_handle, true, timeoutMs);
    if (ready < 0) {
        return {TcpStatus::Failed, 0, ::WSAGetLastError()};
    }
    if (ready == 0) {
        return {TcpStatus::WouldBlock, 0, 0};
    }
    const int sent = ::send(nativeSocket(m_handle), reinterpret_cast<const char*>(bytes.data()),
                            static_cast<int>(bytes.size()), 0);
    if (sent == SOCKET_ERROR) {
        const int error = ::WSAGetLastError();
        return wouldBlock(error) ? TcpResult{TcpStatus::WouldBlock, 0, 0}
                                 : TcpResult{TcpStatus::Failed, 0, error};
    }
    return {TcpStatus::Done, sent, 0};
}

TcpResult TcpSocket::read(std::span<uint8_t> buffer, int timeoutMs) {
    if (buffer.empty()) {
        return {TcpStatus::Done, 0, 0};
    }
    const int ready = waitFor(m_handle, false, timeoutMs);
    if (ready < 0) {
        return {TcpStatus::Failed, 0, ::WSAGetLastError()};
    }
    if (ready == 0) {
        return {TcpStatus::WouldBlock, 0, 0};
    }
    const int received = ::recv(nativeSocket(m_handle), reinterpret_cast<char*>(buffer.data()),
                                static_cast<int>(buffer.size()), 0);
    if (received == SOCKET_ERROR) {
        const int error = ::WSAGetLastError();
        return wouldBlock(error) ? TcpResult{TcpStatus::WouldBlock, 0, 0}
                                 : TcpResult{TcpStatus::Failed, 0, error};
    }
    if (received == 0) {
        return {TcpStatus::Closed, 0, 0};
    }
    return {TcpStatus::Done, received, 0};
}

bool TcpSocket::accept(TcpSocket& connection, int timeoutMs) {
    if (waitFor(m_handle, false, timeoutMs) != 1) {
        return false;
    }
    const SOCKET s = ::accept(nativeSocket(m_handle), nullptr, nullptr);
    if (s == INVALID_SOCKET) {
        return false;
    }
    if (!setNonBlocking(s)) {
        ::closesocket(s);
        return false;
    }
    connection.close();
    connection.m_handle = static_cast<intptr_t>(s);
    return true;
}

void TcpSocket::close() {
    if (m_handle != kInvalidHandle) {
        ::closesocket(nativeSocket(m_handle));
        m_handle = kInvalidHandle;
    }
    m_connecting = false;
}

int TcpSocket::waitReadable(int timeoutMs) const {
    return waitFor(m_handle, false, timeoutMs);
}

int TcpSocket::waitWritable(int timeoutMs) const {
    return waitFor(m_handle, true, timeoutMs);
}
