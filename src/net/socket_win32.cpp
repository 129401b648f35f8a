#include <mswsock.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>

#include "net/native_socket.h"
#include "net/socket.h"

bool UdpSocket::open() {
    close();
    const SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) {
        return false;
    }
    // Windows answers a query to a port where nothing listens with a failed
    // receive later on (WSAECONNRESET); a server browser queries such ports
    // all the time, so the report is turned off.
    BOOL report = FALSE;
    DWORD returned = 0;
    ::WSAIoctl(s, SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &returned, nullptr, nullptr);
    m_handle = static_cast<intptr_t>(s);
    return true;
}

bool UdpSocket::setNonBlocking() {
    u_long on = 1;
    return ::ioctlsocket(nativeSocket(m_handle), FIONBIO, &on) == 0;
}

int UdpSocket::sendTo(std::span<const uint8_t> bytes, const NetAddress& to) {
    const sockaddr_in sa = toSockaddr(to);
    return ::sendto(nativeSocket(m_handle), reinterpret_cast<const char*>(bytes.data()),
                    static_cast<int>(bytes.size()), 0, reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
}

ReceiveResult UdpSocket::receiveFrom(std::span<uint8_t> buffer, NetAddress& from) {
    sockaddr_in sa{};
    int length = sizeof sa;
    const int received =
        ::recvfrom(nativeSocket(m_handle), reinterpret_cast<char*>(buffer.data()),
                   static_cast<int>(buffer.size()), 0, reinterpret_cast<sockaddr*>(&sa), &length);
    // Winsock offers no receive time stamp for UDP; the read's return is the
    // closest this thread can tell.
    const auto arrival = std::chrono::steady_clock::now();
    if (received == SOCKET_ERROR) {
        const int error = ::WSAGetLastError();
        from = fromSockaddr(sa);
        switch (error) {
            case WSAEWOULDBLOCK:
                return {ReceiveStatus::WouldBlock, 0, error};
            case WSAECONNRESET:
                return {ReceiveStatus::ConnectionReset, 0, error};
            case WSAEMSGSIZE:
                return {ReceiveStatus::TooLarge, 0, error};
            default:
                return {ReceiveStatus::Failed, -1, error};
        }
    }
    from = fromSockaddr(sa);
    return {ReceiveStatus::Received, received, 0, arrival};
}

int UdpSocket::waitReadable(int timeoutMs) const {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(nativeSocket(m_handle), &readable);
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    const int ready = ::select(0, &readable, nullptr, nullptr, &limit);
    return ready == SOCKET_ERROR ? -1 : std::min(ready, 1);
}

void UdpSocket::close() {
    if (m_handle != kInvalidHandle) {
        ::closesocket(nativeSocket(m_handle));
        m_handle = kInvalidHandle;
    }
}

int UdpSocket::waitAnyReadable(std::span<UdpSocket* const> sockets, std::chrono::microseconds timeout,
                               std::vector<size_t>& ready) {
    ready.clear();
    std::vector<WSAPOLLFD> polls(sockets.size());
    for (size_t i = 0; i < sockets.size(); ++i) {
        polls[i] = WSAPOLLFD{nativeSocket(sockets[i]->m_handle), POLLRDNORM, 0};
    }
    const auto ms = static_cast<INT>((timeout.count() + 999) / 1000);
    const int count = ::WSAPoll(polls.data(), static_cast<ULONG>(polls.size()), ms);
    if (count == SOCKET_ERROR) {
        return -1;
    }
    for (size_t i = 0; i < polls.size(); ++i) {
        if ((polls[i].revents & (POLLRDNORM | POLLERR)) != 0) {
            ready.push_back(i);
        }
    }
    return static_cast<int>(ready.size());
}

bool SOCK_Startup() {
    WSADATA data;
    return ::WSAStartup(MAKEWORD(1, 1), &data) == 0;
}

void SOCK_Cleanup() {
    ::WSACleanup();
}
