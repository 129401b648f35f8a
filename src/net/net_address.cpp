#include "net/net_address.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "net/socket.h"

namespace {

// The port after a colon, read like atoi: optional blanks and sign, then digits,
// kept to the low 16 bits as a port is.
uint16_t parsePort(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])) != 0) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + static_cast<uint32_t>(text[i] - '0');
    }
    return static_cast<uint16_t>(negative ? 0u - value : value);
}

}  // namespace

bool NET_ParseDotted(std::string_view text, std::array<uint8_t, 4>& ip) {
    std::array<uint8_t, 4> parsed{};
    size_t i = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (i >= text.size() || text[i] != '.') {
                return false;
            }
            ++i;
        }
        const size_t start = i;
        unsigned value = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 3) {
            value = value * 10 + static_cast<unsigned>(text[i] - '0');
            ++i;
        }
        if (i == start || value > 255) {
            return false;
        }
        parsed[part] = static_cast<uint8_t>(value);
    }
    if (i != text.size()) {
        return false;
    }
    ip = parsed;
    return true;
}

bool NET_StringToAdr(std::string_view text, NetAddress& out) {
    if (text.size() > kMaxAddressText) {
        return false;
    }
    NetAddress address;
    const size_t firstColon = text.find(':');
    const std::string_view host = text.substr(0, firstColon);
    for (size_t colon = firstColon; colon != std::string_view::npos; colon = text.find(':', colon + 1)) {
        NET_SetPort(address, parsePort(text.substr(colon + 1)));
    }
    // A text that only looks numeric ("1abc", "10.0.0.300") is tried as a name
    // rather than read as a broadcast address.
    const bool numeric = !host.empty() && host[0] >= '0' && host[0] <= '9';
    if (!(numeric && NET_ParseDotted(host, address.ip)) && !SOCK_ResolveHost(std::string(host), address.ip)) {
        return false;
    }
    out = address;
    return true;
}

std::string NET_AdrToString(const NetAddress& address) {
    char text[32];
    std::snprintf(text, sizeof text, "%i.%i.%i.%i:%i", address.ip[0], address.ip[1], address.ip[2],
                  address.ip[3], NET_Port(address));
    return text;
}

void NET_SetPort(NetAddress& address, uint16_t hostPort) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(hostPort >> 8), static_cast<uint8_t>(hostPort)};
    std::memcpy(&address.port, bytes, 2);
}

uint16_t NET_Port(const NetAddress& address) {
    uint8_t bytes[2];
    std::memcpy(bytes, &address.port, 2);
    return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
}
