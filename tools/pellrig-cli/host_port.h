#pragma once

#include <optional>
#include <string>

// A game server's address as typed, for the custom server query, which checks
// and resolves each part itself.
struct HostPort {
    std::string host;
    std::string port;
};

// "HOST:PORT" split at its last colon; none, after saying so, without a colon.
std::optional<HostPort> splitHostPort(const std::string& address);
