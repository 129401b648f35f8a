#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cstdint>
#include <cstring>

#include "net/net_address.h"

// What the UDP and TCP sockets share below their interfaces: the platform's
// socket type, and NetAddress to and from its socket address. Winsock and POSIX
// have the same calls for binding, naming and resolving; they differ in the
// handle's type and the length's.

#ifdef _WIN32
using NativeSocket = SOCKET;
using SocketLength = int;
#else
using NativeSocket = int;
using SocketLength = socklen_t;
#endif

inline NativeSocket nativeSocket(intptr_t handle) {
    return static_cast<NativeSocket>(handle);
}

inline sockaddr_in toSockaddr(const NetAddress& address) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    std::memcpy(&sa.sin_addr, address.ip.data(), 4);
    sa.sin_port = address.port;
    return sa;
}

inline NetAddress fromSockaddr(const sockaddr_in& sa) {
    NetAddress address;
    std::memcpy(address.ip.data(), &sa.sin_addr, 4);
    address.port = sa.sin_port;
    return address;
}

// Binds `handle` to `local`.
bool bindSocket(intptr_t handle, const NetAddress& local);
// The address `handle` is bound to.
bool socketLocalAddress(intptr_t handle, NetAddress& out);
