#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// An IPv4 address and UDP port, copied by value.
struct NetAddress {
    std::array<uint8_t, 4> ip{};  // first byte is the first number of the dotted form
    uint16_t port = 0;            // network byte order

    friend bool operator==(const NetAddress&, const NetAddress&) = default;
};

// Longest address text accepted; the parser's work buffer holds one more byte.
inline constexpr size_t kMaxAddressText = 127;

// Parses "host[:port]": a dotted a.b.c.d address or a host name to resolve.
// At every ':' the port becomes the number after it (0 without digits), so with
// several colons the last one's number wins. Returns false, leaving `out`
// untouched, when the text is too long or the host does not resolve.
bool NET_StringToAdr(std::string_view text, NetAddress& out);

// "a.b.c.d:port" with the port in host order.
std::string NET_AdrToString(const NetAddress& address);

void NET_SetPort(NetAddress& address, uint16_t hostPort);
uint16_t NET_Port(const NetAddress& address);

// Parses exactly four dot-separated decimal numbers of 0..255.
bool NET_ParseDotted(std::string_view text, std::array<uint8_t, 4>& ip);
