#include <cstring>

#include "net/native_socket.h"
#include "net/socket.h"
#include "net/tcp_socket.h"

// The parts of the UDP and TCP sockets that read the same under POSIX and
// Winsock.

bool bindSocket(intptr_t handle, const NetAddress& local) {
    const sockaddr_in sa = toSockaddr(local);
    return ::bind(nativeSocket(handle), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
}

bool socketLocalAddress(intptr_t handle, NetAddress& out) {
    sockaddr_in sa{};
    SocketLength length = sizeof sa;
    if (::getsockname(nativeSocket(handle), reinterpret_cast<sockaddr*>(&sa), &length) != 0) {
        return false;
    }
    out = fromSockaddr(sa);
    return true;
}

UdpSocket::~UdpSocket() {
    close();
}

UdpSocket::UdpSocket(UdpSocket&& other) noexcept : m_handle(other.m_handle) {
    other.m_handle = kInvalidHandle;
}

UdpSocket& UdpSocket::operator=(UdpSocket&& other) noexcept {
    if (this != &other) {
        close();
        m_handle = other.m_handle;
        other.m_handle = kInvalidHandle;
    }
    return *this;
}

bool UdpSocket::bind(const NetAddress& local) {
    return bindSocket(m_handle, local);
}

bool UdpSocket::localAddress(NetAddress& out) const {
    return socketLocalAddress(m_handle, out);
}

TcpSocket::~TcpSocket() {
    close();
}

TcpSocket::TcpSocket(TcpSocket&& other) noexcept
    : m_handle(other.m_handle), m_connecting(other.m_connecting) {
    other.m_handle = kInvalidHandle;
    other.m_connecting = false;
}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
    if (this != &other) {
        close();
        m_handle = other.m_handle;
        m_connecting = other.m_connecting;
        other.m_handle = kInvalidHandle;
        other.m_connecting = false;
    }
    return *this;
}

bool TcpSocket::bind(const NetAddress& local) {
    return bindSocket(m_handle, local);
}

bool TcpSocket::localAddress(NetAddress& out) const {
    return socketLocalAddress(m_handle, out);
}

bool TcpSocket::listen(int backlog) {
    return ::listen(nativeSocket(m_handle), backlog) == 0;
}

std::string SOCK_ErrorText(int error) {
    return std::strerror(error);
}

bool SOCK_HostName(std::string& out) {
    char name[512];
    if (::gethostname(name, sizeof name) != 0) {
        return false;
    }
    name[sizeof name - 1] = '\0';
    out = name;
    return true;
}

bool SOCK_ResolveHost(const std::string& name, std::array<uint8_t, 4>& ip) {
    if (name.empty()) {
        return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* result = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &result) != 0 || result == nullptr) {
        return false;
    }
    const auto* sa = reinterpret_cast<const sockaddr_in*>(result->ai_addr);
    std::memcpy(ip.data(), &sa->sin_addr, 4);
    ::freeaddrinfo(result);
    return true;
}
