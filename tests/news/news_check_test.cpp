#include "news/news_check.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "loopback_peer.h"
#include "net/socket.h"
#include "net/tcp_socket.h"
#include "news/news_check_thread.h"
#include "temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;
using Events = std::vector<std::string>;

#ifdef _WIN32
constexpr int kConnectionRefused = 10061;  // WSAECONNREFUSED
#else
constexpr int kConnectionRefused = ECONNREFUSED;
#endif

std::string hostOf(const TcpSocket& socket) {
    NetAddress address;
    EXPECT_TRUE(socket.localAddress(address));
    return "127.0.0.1:" + std::to_string(NET_Port(address));
}

// A one-connection web server on 127.0.0.1: it reads the request, sends
// `response`, then closes or holds the connection open. Every wait is bounded;
// the destructor stops and joins it.
class StampServer {
  public:
    explicit StampServer(std::string response, bool holdOpen = false) {
        EXPECT_TRUE(m_listener.open() && m_listener.bind(loopback(0)) && m_listener.listen());
        m_host = hostOf(m_listener);
        m_thread = std::jthread([this, response = std::move(response),
                                 holdOpen](const std::stop_token& stop) { serve(stop, response, holdOpen); });
    }

    const std::string& host() const { return m_host; }

    // The request as received, once it is complete or the server gave up.
    std::string request() const {
        return m_request.wait_for(20s) == std::future_status::ready ? m_request.get() : "";
    }

  private:
    void serve(const std::stop_token& stop, std::string_view response, bool holdOpen) {
        TcpSocket connection;
        const bool accepted = m_listener.accept(connection, 10000);
        const auto deadline = Clock::now() + 10s;
        const auto going = [&] { return accepted && !stop.stop_requested() && Clock::now() < deadline; };
        std::string received;
        while (received.find("\r\n\r\n") == std::string::npos && going()) {
            uint8_t buffer[256];
            const TcpResult r = connection.read(buffer, 20);
            if (r.status == TcpStatus::Done) {
                received.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(r.length));
            } else if (r.status != TcpStatus::WouldBlock) {
                break;
            }
        }
        m_received.set_value(received);
        while (!response.empty() && going()) {
            const TcpResult r = connection.write(
                std::span(reinterpret_cast<const uint8_t*>(response.data()), response.size()), 20);
            if (r.status == TcpStatus::Failed || r.status == TcpStatus::Closed) {
                return;
            }
            response.remove_prefix(static_cast<size_t>(r.length));
        }
        uint8_t scratch[64];
        while (holdOpen && going() && connection.read(scratch, 20).status != TcpStatus::Closed) {
        }
    }

    TcpSocket m_listener;
    std::string m_host;
    std::promise<std::string> m_received;
    std::shared_future<std::string> m_request = m_received.get_future().share();
    std::jthread m_thread;
};

class NewsCheck : public testing::Test {
  protected:
    // The test's own servers open sockets outside the news check's nlInit.
    static void SetUpTestSuite() { ASSERT_TRUE(SOCK_Startup()); }
    static void TearDownTestSuite() { SOCK_Cleanup(); }

    NewsConfig configFor(const std::string& host) const {
        NewsConfig config;
        config.host = host;
        config.stampDirectory = m_dir.path();
        config.waitSlice = 20ms;
        config.headerEcho = nullptr;
        return config;
    }
    std::string stamp() const { return readText(m_dir.path() / "nstamp.txt"); }

    TempDir m_dir;
};

TEST_F(NewsCheck, SendsTheRequestAndStoresTheBodyOnItsThread) {
    StampServer server(
        "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nDATESTAMP=2024-05-01\nARTICLENO=5\nSUBJECT=Hi\n");
    NewsConfig config = configFor(server.host());
    config.headerEcho = std::fopen(m_dir.file("header").c_str(), "wb");
    ASSERT_NE(config.headerEcho, nullptr);
    RecordingNewsView ui(true);
    EXPECT_EQ(NewsCheckStamp(config, 0, ui), std::nullopt);  // no stamp file yet
    {
        NewsCheckThread check(config, 4, ui);
        ASSERT_TRUE(check.waitFinished(20s));
        EXPECT_EQ(check.outcome().status, NewsStatus::Announced);
        EXPECT_EQ(check.outcome().lastArticleNo, 5);
    }
    EXPECT_EQ(server.request(), "GET /news/stamp.asp HTTP/1.0\r\nHost:" + server.host() +
                                    "\nAccept: *//*\r\nUser-Agent: HawkNL sample program Getfile\r\n\r\n");
    EXPECT_EQ(stamp(), "DATESTAMP=2024-05-01\r\nARTICLENO=5\r\nSUBJECT=Hi\r\n");
    EXPECT_EQ(ui.events(), (Events{"raised 5", "ask There are important news updates. View now?",
                                   "open http://" + server.host() + "/news"}));

    // The stored stamp: announced only above the last article; No opens nothing.
    RecordingNewsView no(false);
    EXPECT_EQ(NewsCheckStamp(config, 5, no), std::nullopt);
    EXPECT_EQ(NewsCheckStamp(config, 6, no), std::nullopt);
    EXPECT_EQ(NewsCheckStamp(config, 3, no), 5);
    EXPECT_EQ(no.events(), (Events{"raised 5", "ask There are important news updates. View now?"}));
    std::fclose(config.headerEcho);
    EXPECT_EQ(readText(m_dir.file("header")), "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n");
}

TEST_F(NewsCheck, FailuresAreShownAndAnnounceNothing) {
    TcpSocket closedPort;  // bound but not listening: connections to it are refused
    ASSERT_TRUE(closedPort.open() && closedPort.bind(loopback(0)));
    StampServer endless("HTTP/1.0 200 OK\r\n\r\n" + std::string(20000, 'x'));
    StampServer silent("HTTP/1.0 200 OK\r\n\r\nARTICLENO=9\n", true);
    const struct {
        std::string host;
        std::chrono::milliseconds transferLimit;
        std::string text;
    } cases[] = {
        {hostOf(closedPort), 15s, "System error: " + SOCK_ErrorText(kConnectionRefused) + "\n"},
        // Fails before any look-up.
        {"127.0.0.1:", 15s, "HawkNL error # 267: Host not found or address not valid\n"},
        {endless.host(), 15s, "HawkNL error # 289: Transfer too large\n"},
        {silent.host(), 300ms, "HawkNL error # 288: Transfer timed out\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        NewsConfig config = configFor(c.host);
        config.transferLimit = c.transferLimit;
        config.bodyLimit = 10000;
        RecordingNewsView ui;
        const NewsOutcome outcome = runNewsCheck(config, 4, ui);
        EXPECT_EQ(outcome.status, NewsStatus::Failed);
        EXPECT_EQ(outcome.lastArticleNo, 4);
        EXPECT_EQ(outcome.errorText, c.text);
        EXPECT_EQ(ui.events(), Events{"error " + c.text});
        EXPECT_LE(stamp().size(), 10000u);
    }
}

TEST_F(NewsCheck, StoppingEndsARunningCheckQuietly) {
    StampServer server("", true);
    NewsConfig config = configFor(server.host());
    config.transferLimit = 5s;  // a stop that went unheard would end in a time-out
    RecordingNewsView ui;
    NewsCheckThread check(config, 4, ui);
    EXPECT_FALSE(server.request().empty());
    check.stop();
    EXPECT_EQ(check.outcome().status, NewsStatus::Stopped);
    EXPECT_TRUE(ui.events().empty());
}

}  // namespace
