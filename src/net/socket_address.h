#pragma once

#ifdef _WIN32
#include <winsock2.h>
#else
#include <netinet/in.h>
#endif

#include <cstring>

#include "net_address.h"

// NetAddress to and from the platform's socket address, shared by the UDP and
// TCP sockets; sockaddr_in has the same fields under POSIX and Winsock.

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
