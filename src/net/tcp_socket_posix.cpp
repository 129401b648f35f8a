#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "net/native_socket.h"
#include "net/tcp_socket.h"

namespace {

int waitFor(intptr_t handle, short events, int timeoutMs) {
    pollfd p{nativeSocket(handle), events, 0};
    const int ready = ::poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs);
    if (ready < 0) {
        return errno == EINTR ? 0 : -1;
    }
    return ready > 0 ? 1 : 0;
}

bool wouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

}  // namespace

bool TcpSocket::open(int* error) {
    close();
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (s < 0) {
        if (error != nullptr) {
            *error = errno;
        }
        return false;
    }
    m_handle = s;
    return true;
}

TcpResult TcpSocket::connect(const NetAddress& to, int timeoutMs) {
    const sockaddr_in sa = toSockaddr(to);
    if (::connect(nativeSocket(m_handle), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) {
        return {TcpStatus::Done, 0, 0};
    }
    const int error = errno;
    if (error != EINPROGRESS && error != EINTR) {
        return {TcpStatus::Failed, 0, error};
    }
    m_connecting = true;
    return finishConnect(timeoutMs);
}

TcpResult TcpSocket::finishConnect(int timeoutMs) {
    if (!m_connecting) {
        return {TcpStatus::Done, 0, 0};
    }
    const int ready = waitWritable(timeoutMs);
    if (ready == 0) {
        return {TcpStatus::WouldBlock, 0, 0};
    }
    m_connecting = false;
    if (ready < 0) {
        return {TcpStatus::Failed, 0, errno};
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(nativeSocket(m_handle), SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
        error = errno;
    }
    return error == 0 ? TcpResult{TcpStatus::Done, 0, 0} : TcpResult{TcpStatus::Failed, 0, error};
}

TcpResult TcpSocket::write(std::span<const uint8_t> bytes, int timeoutMs) {
    const int ready = waitWritable(timeoutMs);
    if (ready < 0) {
        return {TcpStatus::Failed, 0, errno};
    }
    if (ready == 0) {
        return {TcpStatus::WouldBlock, 0, 0};
    }
    const ssize_t sent = ::send(nativeSocket(m_handle), bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0) {
        const int error = errno;
        return wouldBlock(error) ? TcpResult{TcpStatus::WouldBlock, 0, 0}
                                 : TcpResult{TcpStatus::Failed, 0, error};
    }
    return {TcpStatus::Done, static_cast<int>(sent), 0};
}

TcpResult TcpSocket::read(std::span<uint8_t> buffer, int timeoutMs) {
    if (buffer.empty()) {
        return {TcpStatus::Done, 0, 0};
    }
    const int ready = waitReadable(timeoutMs);
    if (ready < 0) {
        return {TcpStatus::Failed, 0, errno};
    }
    if (ready == 0) {
        return {TcpStatus::WouldBlock, 0, 0};
    }
    const ssize_t received = ::recv(nativeSocket(m_handle), buffer.data(), buffer.size(), 0);
    if (received < 0) {
        const int error = errno;
        return wouldBlock(error) ? TcpResult{TcpStatus::WouldBlock, 0, 0}
                                 : TcpResult{TcpStatus::Failed, 0, error};
    }
    if (received == 0) {
        return {TcpStatus::Closed, 0, 0};
    }
    return {TcpStatus::Done, static_cast<int>(received), 0};
}

bool TcpSocket::accept(TcpSocket& connection, int timeoutMs) {
    if (waitReadable(timeoutMs) != 1) {
        return false;
    }
    const int s = ::accept4(nativeSocket(m_handle), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (s < 0) {
        return false;
    }
    connection.close();
    connection.m_handle = s;
    return true;
}

void TcpSocket::close() {
    if (m_handle != kInvalidHandle) {
        ::close(nativeSocket(m_handle));
        m_handle = kInvalidHandle;
    }
    m_connecting = false;
}

int TcpSocket::waitReadable(int timeoutMs) const {
    return waitFor(m_handle, POLLIN, timeoutMs);
}

int TcpSocket::waitWritable(int timeoutMs) const {
    return waitFor(m_handle, POLLOUT, timeoutMs);
}
