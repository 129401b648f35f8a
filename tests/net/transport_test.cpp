#include "net/transport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "net/huffman.h"
#include "net/socket.h"

namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

// exit(-10) as the parent sees it: POSIX keeps the low byte, Windows the whole value.
#ifdef _WIN32
constexpr int kFatalExitCode = -10;
#else
constexpr int kFatalExitCode = 246;
#endif

NetAddress loopback(uint16_t port) {
    NetAddress address;
    address.ip = {127, 0, 0, 1};
    NET_SetPort(address, port);
    return address;
}

// A plain socket on 127.0.0.1 standing in for a master or game server.
struct Peer {
    UdpSocket socket;
    NetAddress address;

    Peer() {
        EXPECT_TRUE(socket.open());
        EXPECT_TRUE(socket.bind(loopback(0)));
        EXPECT_TRUE(socket.localAddress(address));
    }

    // The next datagram as it came off the wire, or empty after the time-out.
    Bytes receive(int timeoutMs = 2000) {
        if (socket.waitReadable(timeoutMs) != 1) {
            return {};
        }
        Bytes packet(65536);
        NetAddress from;
        const ReceiveResult r = socket.receiveFrom(packet, from);
        packet.resize(r.status == ReceiveStatus::Received ? static_cast<size_t>(r.length) : 0);
        return packet;
    }

    void sendCoded(const Bytes& message, const NetAddress& to) {
        Bytes coded(message.size() + 1);
        coded.resize(HUFF_Encode(message, coded));
        socket.sendTo(coded, to);
    }
};

class Transport : public testing::Test {
  protected:
    static void SetUpTestSuite() { NET_Init({0, "127.0.0.1"}); }
    static void TearDownTestSuite() { NET_Shutdown(); }

    static NetAddress self() { return loopback(NET_Port(net_local_adr)); }

    // Waits for one datagram and returns the message it decoded to.
    static Bytes receiveMessage() {
        for (int tries = 0; tries < 20; ++tries) {
            NET_Wait(100);
            const auto lock = NET_LockReceive();
            const int length = BV_GetPackets();
            if (length > 0) {
                return {net_message.data.get(), net_message.data.get() + length};
            }
        }
        return {};
    }
};

TEST_F(Transport, SendsCodedMessagesAndSkipsEmptyOnes) {
    Peer master;
    {
        const auto lock = NET_LockOutMessage();
        SZ_Clear(net_outmessage);
        NET_SendPacket(net_outmessage, master.address);
        MSG_WriteLong(net_outmessage, 777123);
        MSG_WriteByte(net_outmessage, 104);
        NET_SendPacket(net_outmessage, master.address);
    }
    // The empty message was never sent, so the request is the first datagram.
    EXPECT_EQ(master.receive(), (Bytes{0xFF, 0xA3, 0xDB, 0x0B, 0x00, 0x68}));
    EXPECT_TRUE(master.receive(200).empty());
}

TEST_F(Transport, ReceivesIntoTheCurrentMessageWithItsSender) {
    Peer server;
    server.sendCoded({0xD4, 0xD6, 0x54, 0x00, 'h', 'i', 0, 7}, self());
    const Bytes message = receiveMessage();
    ASSERT_EQ(message.size(), 8u);
    EXPECT_EQ(net_from, server.address);
    const auto lock = NET_LockReceive();
    EXPECT_EQ(MSG_ReadLong(net_message), 5560020);
    EXPECT_EQ(MSG_ReadString(net_message), "hi");
    EXPECT_EQ(MSG_ReadByte(net_message), 7);
    EXPECT_EQ(MSG_ReadByte(net_message), -1);
}

TEST_F(Transport, AQueryToAClosedPortHidesNoLaterDatagram) {
    NetAddress closed;
    {
        const Peer gone;
        closed = gone.address;
    }
    Peer server;
    {
        const auto lock = NET_LockOutMessage();
        SZ_Clear(net_outmessage);
        MSG_WriteLong(net_outmessage, 777123);
        NET_SendPacket(net_outmessage, closed);
    }
    // On loopback the port-unreachable report is back before this answer.
    server.sendCoded({0xD4, 0xD6, 0x54, 0x00, 'h', 'i', 0, 7}, self());
    ASSERT_EQ(NET_Wait(2000), 1);
    const auto lock = NET_LockReceive();
    EXPECT_EQ(BV_GetPackets(), 8);
    EXPECT_EQ(net_from, server.address);
}

TEST_F(Transport, EmptyAndUndecodableDatagramsAreNoMessage) {
    Peer peer;
    for (const Bytes& datagram : {Bytes{}, Bytes{0xFF}, Bytes{0x00}, Bytes{0x08, 0x01}}) {
        peer.socket.sendTo(datagram, self());
        ASSERT_EQ(NET_Wait(2000), 1);
        const auto lock = NET_LockReceive();
        testing::internal::CaptureStdout();
        EXPECT_EQ(BV_GetPackets(), 0);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    }
}

TEST_F(Transport, WaitTimesOutQuietlyWithNothingToRead) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(NET_Wait(150), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 140ms);
    const auto lock = NET_LockReceive();
    testing::internal::CaptureStdout();
    EXPECT_EQ(BV_GetPackets(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(Transport, ConcurrentSendsNeverCorruptAReceivedMessage) {
    // One thread echoes requests while another floods sends: every received
    // message must be exactly what the peer sent.
    Peer echo;
    std::atomic<bool> stop{false};
    std::thread flood([&] {
        Peer sink;
        SizeBuffer out;
        SZ_Init(out, 8192);
        for (int i = 0; i < 2000 && !stop; ++i) {
            SZ_Clear(out);
            for (int j = 0; j < 100; ++j) {
                MSG_WriteLong(out, i);
            }
            NET_SendPacket(out, sink.address);
        }
    });
    Bytes expected(1200);
    for (size_t i = 0; i < expected.size(); ++i) {
        expected[i] = static_cast<uint8_t>(i * 7);
    }
    for (int round = 0; round < 20; ++round) {
        echo.sendCoded(expected, self());
        ASSERT_EQ(receiveMessage(), expected) << round;
    }
    stop = true;
    flood.join();
}

TEST(TransportClock, MillisecondsStartAtZeroAndAdvance) {
    const uint32_t first = Sys_Milliseconds();
    std::this_thread::sleep_for(20ms);
    const uint32_t later = Sys_Milliseconds();
    EXPECT_GE(later - first, 19u);
    EXPECT_LT(later - first, 1000u);
}

TEST(TransportStart, GoesOnWhenTheHostsOwnNameDoesNotResolve) {
    // A resolver that hangs until the test is over, as a broken one does.
    struct Stall {
        std::mutex mutex;
        std::condition_variable released;
        bool over = false;
    };
    const auto stall = std::make_shared<Stall>();
    NetConfig config{0, "127.0.0.1"};
    config.resolveLocalName = [stall](const std::string&, NetAddress& out) {
        std::unique_lock lock(stall->mutex);
        stall->released.wait(lock, [&] { return stall->over; });
        out.ip = {10, 9, 8, 7};
        return true;
    };
    NET_Init(config);
    EXPECT_EQ(net_local_adr.ip, (std::array<uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_NE(NET_Port(net_local_adr), 0);
    NET_Shutdown();
    {
        const std::scoped_lock lock(stall->mutex);
        stall->over = true;
    }
    stall->released.notify_all();

    config.resolveLocalName = [](const std::string&, NetAddress& out) {
        out.ip = {10, 9, 8, 7};
        return true;
    };
    NET_Init(config);
    EXPECT_EQ(net_local_adr.ip, (std::array<uint8_t, 4>{10, 9, 8, 7}));
    NET_Shutdown();
}

TEST(TransportFatal, SecondBindToAPortEndsWithTheBannerAndCode) {
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    ASSERT_TRUE(SOCK_Startup());  // the holder's socket comes before NET_Init
    UdpSocket holder;
    ASSERT_TRUE(holder.open());
    ASSERT_TRUE(holder.bind(loopback(0)));
    NetAddress held;
    ASSERT_TRUE(holder.localAddress(held));
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);  // the banner goes to standard output
            NET_Init({NET_Port(held), "127.0.0.1"});
        },
        testing::ExitedWithCode(kFatalExitCode),
        "FATAL ERROR\n---------------------\nBindToPort: error\n\n---------------------\n\n");
}

}  // namespace
