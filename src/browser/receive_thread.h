#pragma once

#include <chrono>
#include <stop_token>
#include <thread>

#include "browser/dispatcher.h"

// The receive thread: waits for datagrams and hands each one to the dispatcher,
// from its construction until it is stopped.
//
// Start it after NET_Init; stop it (or destroy it) before NET_Shutdown and before
// the dispatcher goes. It holds NET_LockReceive() while it drains the socket.
class ReceiveThread {
  public:
    // `waitSlice` bounds each wait for the socket, and so how long a stop takes.
    explicit ReceiveThread(Dispatcher& dispatcher,
                           std::chrono::milliseconds waitSlice = std::chrono::milliseconds{100});
    ~ReceiveThread();
    ReceiveThread(const ReceiveThread&) = delete;
    ReceiveThread& operator=(const ReceiveThread&) = delete;

    // Stops the thread and waits for it; from any thread but its own.
    void stop();

  private:
    void BV_RunTics(const std::stop_token& stop);

    Dispatcher& m_dispatcher;
    int m_waitMs;
    std::jthread m_thread;
};
