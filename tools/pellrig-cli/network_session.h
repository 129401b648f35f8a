#pragma once

#include <cstdint>

#include "net/transport.h"

// The launcher's socket for the length of one command: opened on construction
// (any interface, `localPort`, 0 for any free port) and closed on destruction.
// Declare it before every object that sends or receives, so it closes last.
class NetworkSession {
  public:
    explicit NetworkSession(uint16_t localPort) { NET_Init({localPort, ""}); }
    ~NetworkSession() { NET_Shutdown(); }
    NetworkSession(const NetworkSession&) = delete;
    NetworkSession& operator=(const NetworkSession&) = delete;
};
