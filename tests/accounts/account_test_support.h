#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "accounts/account_messages.h"
#include "net/huffman.h"
#include "net/socket.h"
#include "net/transport.h"

// Shared by the account tests: messages built in the test and peers on loopback
// that stand in for the master server or for someone pretending to be it.

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

inline NetAddress loopback(uint16_t port) {
    NetAddress address;
    address.ip = {127, 0, 0, 1};
    NET_SetPort(address, port);
    return address;
}

// The launcher's socket as a peer on loopback reaches it (NET_Init bound 127.0.0.1).
inline NetAddress launcherAddress() {
    return loopback(NET_Port(net_local_adr));
}

// A message as the transport would load it: written by `write`, ready to read.
inline SizeBuffer messageOf(const std::function<void(SizeBuffer&)>& write) {
    SizeBuffer buffer;
    SZ_Init(buffer, kMessageSize);
    write(buffer);
    MSG_BeginReading(buffer);
    return buffer;
}

inline Bytes bytesOf(const std::function<void(SizeBuffer&)>& write) {
    const SizeBuffer message = messageOf(write);
    return {message.data.get(), message.data.get() + message.cursize};
}

// A UDP socket on 127.0.0.1. As the master it answers each request with the
// messages `answer` gives for it (none: silent) and keeps every request; any
// peer can also send on its own.
class Peer {
  public:
    using Answer = std::function<std::vector<Bytes>(const Bytes& request)>;

    explicit Peer(Answer answer = nullptr) : m_answer(std::move(answer)) {
        EXPECT_TRUE(m_socket.open());
        EXPECT_TRUE(m_socket.bind(loopback(0)));
        EXPECT_TRUE(m_socket.localAddress(m_address));
        m_thread = std::jthread([this](const std::stop_token& stop) { run(stop); });
    }

    NetAddress address() const { return m_address; }
    std::string text() const { return NET_AdrToString(m_address); }

    void answerWith(Answer answer) {
        const std::scoped_lock lock(m_mutex);
        m_answer = std::move(answer);
    }

    void send(const Bytes& message, const NetAddress& to) {
        Bytes coded(message.size() + 1);
        coded.resize(HUFF_Encode(message, coded));
        const std::scoped_lock lock(m_mutex);
        m_socket.sendTo(coded, to);
    }

    std::vector<Bytes> requests() const {
        const std::scoped_lock lock(m_mutex);
        return m_requests;
    }

    // Waits until `count` requests have come; false after `timeout`.
    bool waitForRequests(size_t count, std::chrono::milliseconds timeout = 2s) const {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] { return m_requests.size() >= count; });
    }

  private:
    void run(const std::stop_token& stop) {
        Bytes packet(65536);
        Bytes message(kMessageSize);
        while (!stop.stop_requested()) {
            if (m_socket.waitReadable(10) != 1) {
                continue;
            }
            NetAddress from;
            const ReceiveResult r = m_socket.receiveFrom(packet, from);
            if (r.status != ReceiveStatus::Received) {
                continue;
            }
            const size_t length = HUFF_Decode({packet.data(), static_cast<size_t>(r.length)}, message);
            const Bytes request(message.begin(), message.begin() + static_cast<std::ptrdiff_t>(length));
            Answer answer;
            {
                const std::scoped_lock lock(m_mutex);
                m_requests.push_back(request);
                answer = m_answer;
            }
            m_changed.notify_all();
            if (answer) {
                for (const Bytes& reply : answer(request)) {
                    send(reply, from);
                }
            }
        }
    }

    UdpSocket m_socket;
    NetAddress m_address;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    Answer m_answer;
    std::vector<Bytes> m_requests;
    std::jthread m_thread;  // last: stops before the members it uses go
};

// An answer that is always the same messages.
inline Peer::Answer always(std::vector<Bytes> replies) {
    return [replies = std::move(replies)](const Bytes&) { return replies; };
}

// The code long at the front of a request.
inline int32_t codeOf(const Bytes& message) {
    if (message.size() < 4) {
        return -1;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(message[0]) | static_cast<uint32_t>(message[1]) << 8 |
                                static_cast<uint32_t>(message[2]) << 16 |
                                static_cast<uint32_t>(message[3]) << 24);
}

// The one report a worker thread gives at its end, as text.
class OneReport {
  public:
    // Waits for the report; none after `timeout`.
    std::optional<std::string> wait(std::chrono::milliseconds timeout) {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, timeout, [this] { return m_end.has_value(); });
        return m_end;
    }

  protected:
    void record(std::string end) {
        {
            const std::scoped_lock lock(m_mutex);
            EXPECT_FALSE(m_end.has_value()) << "reported twice";
            m_end = std::move(end);
        }
        m_changed.notify_all();
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<std::string> m_end;
};
