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

// Shared by the net, browser, account and news tests: messages built in the test,
// the Huffman coder's round trip, and a fake peer on loopback that stands in for
// a master or game server.

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

// How long a test waits for something it expects on loopback; it never waits this long.
inline constexpr std::chrono::milliseconds kEventWait = 10s;

inline NetAddress loopback(uint16_t port, uint8_t host = 1) {
    NetAddress address;
    address.ip = {127, 0, 0, host};
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

inline Bytes contents(const SizeBuffer& buffer) {
    return {buffer.data.get(), buffer.data.get() + buffer.cursize};
}

inline Bytes bytesOf(const std::function<void(SizeBuffer&)>& write) {
    return contents(messageOf(write));
}

// A message Huffman-coded as a datagram, and a datagram decoded into at most
// `capacity` bytes.
inline Bytes huffEncoded(const Bytes& message) {
    Bytes coded(message.size() + 1);
    coded.resize(HUFF_Encode(message, coded));
    return coded;
}

inline Bytes huffDecoded(const Bytes& coded, size_t capacity = kMessageSize) {
    Bytes message(capacity);
    message.resize(HUFF_Decode(coded, message));
    return message;
}

// A UDP socket on 127.0.0.1 that keeps every message it receives and answers
// each with the messages `answer` gives for it (none: silent).
class Peer {
  public:
    using Answer = std::function<std::vector<Bytes>(const Bytes& request)>;

    explicit Peer(Answer answer = nullptr) : m_answer(std::move(answer)) {
        EXPECT_TRUE(m_socket.open() && m_socket.bind(loopback(0)) && m_socket.localAddress(m_address));
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
        const Bytes datagram = coded ? huffEncoded(message) : message;
        const std::scoped_lock lock(m_mutex);
        m_socket.sendTo(datagram, to);
    }

    // The messages received, once at least `count` have come or kEventWait has passed.
    std::vector<Bytes> requests(size_t count = 0) const {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, kEventWait, [&] { return m_requests.size() >= count; });
        return m_requests;
    }

  private:
    void run(const std::stop_token& stop) {
        Bytes packet(65536);
        while (!stop.stop_requested()) {
            NetAddress from;
            const ReceiveResult r =
                m_socket.waitReadable(10) == 1 ? m_socket.receiveFrom(packet, from) : ReceiveResult{};
            if (r.status != ReceiveStatus::Received) {
                continue;
            }
            const Bytes request = huffDecoded(Bytes(packet.begin(), packet.begin() + r.length));
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
