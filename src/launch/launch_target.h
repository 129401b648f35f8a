#pragma once

#include <string>
#include <vector>

// The game server a launch joins, as much of it as the command line needs.
struct LaunchTarget {
    std::string address;  // a.b.c.d:port
    std::string iwad;
    // Whether the server announced PWADs; the command line then carries "-file",
    // even when the list came empty.
    bool withPwads = false;
    std::vector<std::string> pwads;
};
