#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

#include "net/net_address.h"
#include "net/size_buffer.h"

// Where an exchange waits for its answer while another thread may be the one
// that reads the socket. Whoever takes a datagram offers it here first; the
// answer is read once, by the thread that took it, while it holds the receive
// lock. At most one exchange waits at a time.
class AwaitedReply {
  public:
    // Whether a message code is one the waiting exchange takes.
    using Takes = std::function<bool(int32_t code)>;
    // Reads the answer's fields after its code. Runs on the thread that took the
    // datagram, with the receive lock held; must not block.
    using Read = std::function<void(int32_t code, SizeBuffer& message)>;

    // Starts waiting for a message from `from` whose code `takes` accepts.
    void open(const NetAddress& from, Takes takes, Read read);
    // Stops waiting and forgets the answer; later offers are declined.
    void close();

    // Reads the message and returns true when it is the awaited answer, else
    // leaves it alone. The cursor is just after the code. Any thread.
    bool offer(int32_t code, SizeBuffer& message, const NetAddress& from);

    // Waits until the answer has been read or `timeout` passes; returns whether
    // it has been.
    bool waitAnswered(std::chrono::milliseconds timeout);
    // Whether the answer has been read since open().
    bool answered();

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = false;
    bool m_answered = false;
    NetAddress m_from;
    Takes m_takes;
    Read m_read;
};
