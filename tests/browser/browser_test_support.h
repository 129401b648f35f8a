#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "browser/browser_views.h"
#include "browser/memory_row_view.h"
#include "browser/messages.h"
#include "browser/server_table.h"
#include "net/huffman.h"
#include "net/socket.h"
#include "net/transport.h"

// Shared by the browser tests: messages built in the test, the two lists and the
// message sink, and fake servers on loopback.

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

inline NetAddress loopback(uint16_t port) {
    NetAddress address;
    address.ip = {127, 0, 0, 1};
    NET_SetPort(address, port);
    return address;
}

// A message as the transport would load it: written by `write`, ready to read.
inline SizeBuffer messageOf(const std::function<void(SizeBuffer&)>& write) {
    SizeBuffer buffer;
    SZ_Init(buffer, kMessageSize);
    write(buffer);
    MSG_BeginReading(buffer);
    return buffer;
}

inline SizeBuffer masterListOf(const std::vector<MasterListEntry>& entries) {
    return messageOf([&](SizeBuffer& b) { writeMasterListReply(b, entries); });
}

inline SizeBuffer serverInfoOf(const ServerInfo& info) {
    return messageOf([&](SizeBuffer& b) { writeServerInfoReply(b, info); });
}

// The text of a cell in the first row that carries `itemData`; "(no row)" without one.
inline std::string cellOf(const MemoryRowView& view, int itemData, ServerColumn c) {
    for (const auto& row : view.rows()) {
        if (row.itemData == itemData) {
            return row.cell(column(c));
        }
    }
    return "(no row)";
}

struct TestViews {
    MemoryRowView servers;
    MemoryRowView players;
    MemoryQueuedMessageView messages;
    BrowserViews views{servers, players, messages};
};

// The table is process-wide; each test starts from an empty one.
inline void clearServerTable() {
    const auto lock = lockBrowser();
    resetServerTable();
    server_table.fill(ServerRecord{});
    master_adr = NetAddress{};
}

// A master or game server on 127.0.0.1: answers every datagram with the message
// `writeReply` builds, after `delay`, unless it has none. Keeps the time of each
// request and of each answer (taken before sending, so the launcher cannot have
// seen the answer earlier).
class FakePeer {
  public:
    struct Exchange {
        std::vector<uint8_t> request;
        Clock::time_point received;
        std::optional<Clock::time_point> answered;
    };

    explicit FakePeer(std::function<void(SizeBuffer&)> writeReply, std::chrono::milliseconds delay = 0ms)
        : m_writeReply(std::move(writeReply)), m_delay(delay) {
        EXPECT_TRUE(m_socket.open());
        EXPECT_TRUE(m_socket.bind(loopback(0)));
        EXPECT_TRUE(m_socket.localAddress(m_address));
        m_thread = std::jthread([this](const std::stop_token& stop) { run(stop); });
    }

    uint16_t port() const { return NET_Port(m_address); }
    std::string address() const { return NET_AdrToString(m_address); }
    std::vector<Exchange> exchanges() const {
        const std::scoped_lock lock(m_mutex);
        return m_exchanges;
    }

  private:
    void run(const std::stop_token& stop) {
        std::vector<uint8_t> packet(65536);
        std::vector<uint8_t> message(kMessageSize);
        while (!stop.stop_requested()) {
            if (m_socket.waitReadable(10) != 1) {
                continue;
            }
            NetAddress from;
            const ReceiveResult r = m_socket.receiveFrom(packet, from);
            if (r.status != ReceiveStatus::Received) {
                continue;
            }
            Exchange exchange{{}, Clock::now(), std::nullopt};
            const size_t length = HUFF_Decode({packet.data(), static_cast<size_t>(r.length)}, message);
            exchange.request.assign(message.begin(), message.begin() + static_cast<std::ptrdiff_t>(length));
            std::vector<uint8_t> coded;
            if (m_writeReply) {
                std::this_thread::sleep_for(m_delay);
                const SizeBuffer reply = messageOf(m_writeReply);
                coded.resize(static_cast<size_t>(reply.cursize) + 1);
                coded.resize(HUFF_Encode({reply.data.get(), static_cast<size_t>(reply.cursize)}, coded));
                exchange.answered = Clock::now();
            }
            {
                const std::scoped_lock lock(m_mutex);
                m_exchanges.push_back(std::move(exchange));
            }
            if (!coded.empty()) {
                m_socket.sendTo(coded, from);
            }
        }
    }

    std::function<void(SizeBuffer&)> m_writeReply;
    std::chrono::milliseconds m_delay;
    UdpSocket m_socket;
    NetAddress m_address;
    mutable std::mutex m_mutex;
    std::vector<Exchange> m_exchanges;
    std::jthread m_thread;  // last: stops before the members it uses go
};

inline std::function<void(SizeBuffer&)> replyWith(const ServerInfo& info) {
    return [info](SizeBuffer& b) { writeServerInfoReply(b, info); };
}
