#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "net/native_socket.h"
#include "net/socket.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

// A stamp further from the clock than this is taken for a clock step, not a wait.
constexpr std::chrono::seconds kLongestStampAge{10};

timespec toTimespec(std::chrono::microseconds timeout) {
    const auto us = std::max<int64_t>(0, timeout.count());
    return timespec{static_cast<time_t>(us / 1000000), static_cast<long>((us % 1000000) * 1000)};
}

std::chrono::nanoseconds sinceEpoch(const timespec& t) {
    return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

// The kernel stamps a datagram on the real-time clock; its age, taken against
// that clock at once, carries it over to the steady clock. Without a stamp, or
// with one that a clock step has thrown off, the datagram counts as just read.
SteadyClock::time_point arrivalTime(msghdr& message) {
    const SteadyClock::time_point now = SteadyClock::now();
    for (cmsghdr* part = CMSG_FIRSTHDR(&message); part != nullptr; part = CMSG_NXTHDR(&message, part)) {
        if (part->cmsg_level != SOL_SOCKET || part->cmsg_type != SCM_TIMESTAMPNS) {
            continue;
        }
        timespec stamp{};
        std::memcpy(&stamp, CMSG_DATA(part), sizeof stamp);
        timespec realNow{};
        ::clock_gettime(CLOCK_REALTIME, &realNow);
        const std::chrono::nanoseconds age = sinceEpoch(realNow) - sinceEpoch(stamp);
        if (age >= std::chrono::nanoseconds::zero() && age < kLongestStampAge) {
            return now - std::chrono::duration_cast<SteadyClock::duration>(age);
        }
    }
    return now;
}

}  // namespace

bool UdpSocket::open() {
    close();
    const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (s < 0) {
        return false;
    }
    // Receive time stamps make a ping independent of when a busy thread reads
    // the reply; without them the read's own time serves.
    const int on = 1;
    ::setsockopt(s, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    m_handle = s;
    return true;
}

bool UdpSocket::setNonBlocking() {
    const int flags = ::fcntl(nativeSocket(m_handle), F_GETFL, 0);
    return flags >= 0 && ::fcntl(nativeSocket(m_handle), F_SETFL, flags | O_NONBLOCK) == 0;
}

int UdpSocket::sendTo(std::span<const uint8_t> bytes, const NetAddress& to) {
    const sockaddr_in sa = toSockaddr(to);
    const ssize_t sent = ::sendto(nativeSocket(m_handle), bytes.data(), bytes.size(), MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
    return static_cast<int>(sent);
}

ReceiveResult UdpSocket::receiveFrom(std::span<uint8_t> buffer, NetAddress& from) {
    sockaddr_in sa{};
    iovec data{buffer.data(), buffer.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timespec))];
    msghdr message{};
    message.msg_name = &sa;
    message.msg_namelen = sizeof sa;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    // MSG_TRUNC reports the datagram's real size, so an oversize one is told apart.
    const ssize_t received = ::recvmsg(nativeSocket(m_handle), &message, MSG_TRUNC);
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
    return {ReceiveStatus::Received, static_cast<int>(received), 0, arrivalTime(message)};
}

int UdpSocket::waitReadable(int timeoutMs) const {
    pollfd p{nativeSocket(m_handle), POLLIN, 0};
    const int ready = ::poll(&p, 1, timeoutMs);
    if (ready < 0) {
        return errno == EINTR ? 0 : -1;
    }
    return ready > 0 ? 1 : 0;
}

void UdpSocket::close() {
    if (m_handle != kInvalidHandle) {
        ::close(nativeSocket(m_handle));
        m_handle = kInvalidHandle;
    }
}

int UdpSocket::waitAnyReadable(std::span<UdpSocket* const> sockets, std::chrono::microseconds timeout,
                               std::vector<size_t>& ready) {
    ready.clear();
    std::vector<pollfd> polls(sockets.size());
    for (size_t i = 0; i < sockets.size(); ++i) {
        polls[i] = pollfd{nativeSocket(sockets[i]->m_handle), POLLIN, 0};
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
