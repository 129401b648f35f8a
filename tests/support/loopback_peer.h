#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "net/huffman.h"
#include "net/socket.h"
#include "net/transport.h"

// Shared by the net, browser and account tests: messages built in the test and a
// fake peer on loopback that stands in for a master or game server.

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

// How long a test waits for something it expects on loopback; it never waits this long.
inline constexpr std::chrono::milliseconds kEventWait = 10s;

inline NetAddress loopback(uint16_t port) {
    NetAddress address;
    address.ip = {127, 0, 0, 1};
    NET_SetPort(address, port);
    return address;
}

// The launcher's socket on 127.0.0.1, any free port; this host's own name is
// never looked up.
inline NetConfig loopbackConfig() {
    NetConfig config{0, "127.0.0.1"};
    config.resolveLocalName = [](const std::string&, NetAddress&) { return false; };
    return config;
}

// The launcher's socket as a peer on loopback reaches it.
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

inline SizeBuffer messageOf(const Bytes& bytes) {
    return messageOf([&](SizeBuffer& b) { SZ_Write(b, bytes.data(), static_cast<int32_t>(bytes.size())); });
}

inline Bytes bytesOf(const std::function<void(SizeBuffer&)>& write) {
    const SizeBuffer message = messageOf(write);
    return {message.data.get(), message.data.get() + message.cursize};
}

// A UDP socket on 127.0.0.1 that keeps every message it receives and answers
// each with the messages `answer` gives for it (none: silent).
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

    // Sends `message` Huffman-coded, or as it is.
    void send(const Bytes& message, const NetAddress& to, bool coded = true) {
        Bytes datagram(message.size() + 1);
        datagram.resize(coded ? HUFF_Encode(message, datagram) : 0);
        const std::scoped_lock lock(m_mutex);
        m_socket.sendTo(coded ? datagram : message, to);
    }

    std::vector<Bytes> requests() const {
        const std::scoped_lock lock(m_mutex);
        return m_requests;
    }

    // Waits until `count` messages have come; false after kEventWait.
    bool waitForRequests(size_t count) const {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, kEventWait, [&] { return m_requests.size() >= count; });
    }

  private:
    void run(const std::stop_token& stop) {
        Bytes packet(65536);
        Bytes message(kMessageSize);
        while (!stop.stop_requested()) {
            NetAddress from;
            const ReceiveResult r =
                m_socket.waitReadable(10) == 1 ? m_socket.receiveFrom(packet, from) : ReceiveResult{};
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
            for (const Bytes& reply : answer ? answer(request) : std::vector<Bytes>{}) {
                send(reply, from);
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
