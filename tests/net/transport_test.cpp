#include "net/transport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <future>
#include <numeric>
#include <thread>

#include "loopback_peer.h"

namespace {

// exit(-10) as the parent sees it: POSIX keeps the low byte, Windows the whole value.
#ifdef _WIN32
constexpr int kFatalExitCode = -10;
#else
constexpr int kFatalExitCode = 246;
#endif

class Transport : public testing::Test {
  protected:
    static void SetUpTestSuite() { NET_Init(loopbackConfig()); }
    static void TearDownTestSuite() { NET_Shutdown(); }
};

TEST_F(Transport, SendsCodedMessagesAndSkipsEmptyOnes) {
    Peer master;
    {
        const auto lock = NET_LockOutMessage();
        SZ_Clear(net_outmessage);
        NET_SendPacket(net_outmessage, master.address());
        MSG_WriteLong(net_outmessage, 777123);
        MSG_WriteByte(net_outmessage, 104);
        NET_SendPacket(net_outmessage, master.address());
    }
    // Had the empty message gone out, it would have come first.
    EXPECT_EQ(master.requests(1), (std::vector<Bytes>{{0xA3, 0xDB, 0x0B, 0x00, 0x68}}));
}

TEST_F(Transport, ReceivesEachMessageWithItsSenderAndDropsTheUndecodable) {
    Peer server;
    {
        // A query to a closed port; on loopback its port-unreachable report is
        // back before the answer below, and must not hide it.
        const NetAddress closed = Peer().address();
        const auto lock = NET_LockOutMessage();
        SZ_Clear(net_outmessage);
        MSG_WriteLong(net_outmessage, 777123);
        NET_SendPacket(net_outmessage, closed);
    }
    const Bytes answer{0xD4, 0xD6, 0x54, 0x00, 'h', 'i', 0, 7};
    const uint32_t sentAt = Sys_Milliseconds();
    server.send(answer, launcherAddress());
    ASSERT_EQ(NET_Wait(10000), 1);
    // Read well after it arrived, the datagram keeps its arrival time where the
    // platform stamps it.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    [[maybe_unused]] const uint32_t readAt = Sys_Milliseconds();
    {
        const auto lock = NET_LockReceive();
        ASSERT_EQ(BV_GetPackets(), 8);
        EXPECT_GE(net_arrival_time, sentAt);
#ifndef _WIN32
        EXPECT_LT(net_arrival_time, readAt);
#endif
        EXPECT_EQ(net_from, server.address());
        EXPECT_EQ(contents(net_message), answer);
        EXPECT_EQ(MSG_ReadLong(net_message), 5560020);  // read from its start
    }
    for (const Bytes& datagram : {Bytes{}, Bytes{0xFF}, Bytes{0x00}, Bytes{0x08, 0x01}}) {
        server.send(datagram, launcherAddress(), false);
        ASSERT_EQ(NET_Wait(10000), 1);
        const auto lock = NET_LockReceive();
        testing::internal::CaptureStdout();
        EXPECT_EQ(BV_GetPackets(), 0);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    }
}

TEST_F(Transport, ConcurrentSendsNeverCorruptAReceivedMessage) {
    // One thread floods sends while a peer sends to the launcher: every received
    // message must be exactly what the peer sent.
    Peer echo;
    const std::jthread flood([](const std::stop_token& stop) {
        const Peer sink;
        SizeBuffer out;
        SZ_Init(out, 8192);
        for (int i = 0; i < 2000 && !stop.stop_requested(); ++i) {
            SZ_Clear(out);
            for (int j = 0; j < 100; ++j) {
                MSG_WriteLong(out, i);
            }
            NET_SendPacket(out, sink.address());
        }
    });
    Bytes expected(1200);
    std::iota(expected.begin(), expected.end(), uint8_t{7});
    for (int round = 0; round < 20; ++round) {
        echo.send(expected, launcherAddress());
        Bytes received;
        for (int tries = 0; tries < 100 && received.empty(); ++tries) {
            NET_Wait(100);
            const auto lock = NET_LockReceive();
            received = BV_GetPackets() > 0 ? contents(net_message) : Bytes{};
        }
        ASSERT_EQ(received, expected) << round;
    }
}

TEST(TransportStart, GoesOnWhenTheHostsOwnNameDoesNotResolve) {
    // A resolver that hangs, as a broken one does, until the test lets it answer.
    std::promise<void> over;
    NetConfig config = loopbackConfig();
    config.resolveLocalName = [stalled = over.get_future().share()](const std::string&, NetAddress& out) {
        stalled.wait();
        out.ip = {10, 9, 8, 7};
        return true;
    };
    NET_Init(config);
    EXPECT_EQ(net_local_adr.ip, (std::array<uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_NE(NET_Port(net_local_adr), 0);
    NET_Shutdown();

    over.set_value();  // now it answers at once
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
    NetConfig config = loopbackConfig();
    config.port = NET_Port(held);
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);  // the banner goes to standard output
            NET_Init(config);
        },
        testing::ExitedWithCode(kFatalExitCode),
        "FATAL ERROR\n---------------------\nBindToPort: error\n\n---------------------\n\n");
}

}  // namespace
