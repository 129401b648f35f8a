#pragma once

#include "net/transport.h"

// The launcher's socket for the life of its owner: opened by the constructor
// (NET_Init, where a port that cannot be bound ends the process) and closed
// once, by close() or the destructor. Declare it before every member that sends
// or receives, so it opens first and closes last.
class NetworkSession {
  public:
    explicit NetworkSession(const NetConfig& config) { NET_Init(config); }
    ~NetworkSession() { close(); }
    NetworkSession(const NetworkSession&) = delete;
    NetworkSession& operator=(const NetworkSession&) = delete;

    // Closes the socket now; stop every thread that sends or receives first.
    void close() {
        if (m_open) {
            m_open = false;
            NET_Shutdown();
        }
    }

  private:
    bool m_open = true;
};
