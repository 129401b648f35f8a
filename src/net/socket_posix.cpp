#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "socket.h"
#include "socket_address.h"

namespace {

int fd(intptr_t handle) {
    return static_cast<int>(handle);
}

timespec toTimespec(std::chrono::microseconds timeout) {
    const auto us = std::max<int64_t>(0, timeout.count());
    return timespec{static_cast<time_t>(us / 1000000), static_cast<long>((us % 1000000) * 1000)};
}

}  // namespace

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

bool UdpSocket::open() {
    close();
    const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (s < 0) {
        return false;
    }
    m_handle = s;
    return true;
}

bool UdpSocket::bind(const NetAddress& local) {
    const sockaddr_in sa = toSockaddr(local);
    return ::bind(fd(m_handle), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
}

bool UdpSocket::setNonBlocking() {
    const int flags = ::fcntl(fd(m_handle), F_GETFL, 0);
    return flags >= 0 && ::fcntl(fd(m_handle), F_SETFL, flags | O_NONBLOCK) == 0;
}

bool UdpSocket::localAddress(NetAddress& out) const {
    sockaddr_in sa{};
    socklen_t length = sizeof sa;
    if (::getsockname(fd(m_handle), reinterpret_cast<sockaddr*>(&sa), &length) != 0) {
        return false;
    }
    out = fromSockaddr(sa);
    return true;
}

int UdpSocket::sendTo(std::span<const uint8_t> bytes, const NetAddress& to) {
    const sockaddr_in sa = toSockaddr(to);
    const ssize_t sent = ::sendto(fd(m_handle), bytes.data(), bytes.size(), MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
    return static_cast<int>(sent);
}

ReceiveResult UdpSocket::receiveFrom(std::span<uint8_t> buffer, NetAddress& from) {
    sockaddr_in sa{};
    socklen_t length = sizeof sa;
    // MSG_TRUNC reports the datagram's real size, so an oversize one is told apart.
    const ssize_t received = ::recvfrom(fd(m_handle), buffer.data(), buffer.size(), MSG_TRUNC,
                                        reinterpret_cast<sockaddr*>(&sa), &length);
    if (received < 0) {
        const int error = errno;
        if (error == EAGAIN || error == EWOULDBLOCK || error == EINTR) {
            return {ReceiveStatus::WouldBlock, 0, error};
        }
        if (error == ECONNREFUSED || error == ECONNRESET) {
            return {ReceiveStatus::ConnectionReset, 0, error};
        }
        return {ReceiveStatus::Failed, -1, error};
    }
    from = fromSockaddr(sa);
    if (static_cast<size_t>(received) > buffer.size()) {
        return {ReceiveStatus::TooLarge, 0, EMSGSIZE};
    }
    return {ReceiveStatus::Received, static_cast<int>(received), 0};
}

int UdpSocket::waitReadable(int timeoutMs) const {
    pollfd p{fd(m_handle), POLLIN, 0};
    const int ready = ::poll(&p, 1, timeoutMs);
    if (ready < 0) {
        return errno == EINTR ? 0 : -1;
    }
    return ready > 0 ? 1 : 0;
}

void UdpSocket::close() {
    if (m_handle != kInvalidHandle) {
        ::close(fd(m_handle));
        m_handle = kInvalidHandle;
    }
}

int UdpSocket::waitAnyReadable(std::span<UdpSocket* const> sockets, std::chrono::microseconds timeout,
                               std::vector<size_t>& ready) {
    ready.clear();
    std::vector<pollfd> polls(sockets.size());
    for (size_t i = 0; i < sockets.size(); ++i) {
        polls[i] = pollfd{fd(sockets[i]->m_handle), POLLIN, 0};
    }
    const timespec limit = toTimespec(timeout);
    const int count = ::ppoll(polls.data(), polls.size(), &limit, nullptr);
    if (count < 0) {
        return errno == EINTR ? 0 : -1;
    }
    for (size_t i = 0; i < polls.size(); ++i) {
        if ((polls[i].revents & (POLLIN | POLLERR)) != 0) {
            ready.push_back(i);
        }
    }
    return static_cast<int>(ready.size());
}

bool SOCK_Startup() {
    return true;
}

void SOCK_Cleanup() {}

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
