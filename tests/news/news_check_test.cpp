#include "news/news_check.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/socket.h"
#include "net/tcp_socket.h"
#include "news/news_check_thread.h"
#include "news_test_support.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Events = std::vector<std::string>;

#ifdef _WIN32
constexpr int kConnectionRefused = 10061;  // WSAECONNREFUSED
#else
constexpr int kConnectionRefused = ECONNREFUSED;
#endif

NetAddress loopback() {
    NetAddress address;
    address.ip = {127, 0, 0, 1};
    return address;
}

std::string hostOf(const TcpSocket& socket) {
    NetAddress address;
    EXPECT_TRUE(socket.localAddress(address));
    return "127.0.0.1:" + std::to_string(NET_Port(address));
}

// A one-connection web server on 127.0.0.1 that reads the request and answers
// with its chunks, pausing between them so that each arrives in a read of its own.
// Every wait is bounded; the destructor stops and joins it.
class StampServer {
  public:
    enum class Ending { Close, HoldOpen, SendForever };

    explicit StampServer(std::vector<std::string> chunks, Ending ending = Ending::Close)
        : m_chunks(std::move(chunks)), m_ending(ending) {
        EXPECT_TRUE(m_listener.open());
        EXPECT_TRUE(m_listener.bind(loopback()));
        EXPECT_TRUE(m_listener.listen());
        m_host = hostOf(m_listener);
        m_thread = std::jthread([this](const std::stop_token& stop) { serve(stop); });
    }

    const std::string& host() const { return m_host; }

    // The request as received, once it is complete or after `timeout`.
    std::string request(std::chrono::milliseconds timeout = 5s) {
        std::unique_lock lock(m_mutex);
        m_requestDone.wait_for(lock, timeout, [this] { return m_requestComplete; });
        return m_request;
    }

  private:
    void serve(const std::stop_token& stop) {
        TcpSocket connection;
        if (!m_listener.accept(connection, 5000)) {
            return;
        }
        const auto deadline = Clock::now() + 10s;
        readRequest(connection, stop, deadline);
        for (size_t i = 0; i < m_chunks.size(); ++i) {
            if (i > 0) {
                std::this_thread::sleep_for(100ms);
            }
            if (!writeAll(connection, m_chunks[i], stop, deadline)) {
                return;
            }
        }
        // "Forever" is 1 MiB here, far past any limit a test sets.
        const std::string filler(1024, 'x');
        for (int i = 0; m_ending == Ending::SendForever && i < 1024; ++i) {
            if (!writeAll(connection, filler, stop, deadline)) {
                break;
            }
        }
        while (m_ending == Ending::HoldOpen && !stop.stop_requested() && Clock::now() < deadline) {
            uint8_t scratch[64];
            if (connection.read(scratch, 20).status == TcpStatus::Closed) {
                break;
            }
        }
    }

    void readRequest(TcpSocket& connection, const std::stop_token& stop, Clock::time_point deadline) {
        std::string received;
        while (received.find("\r\n\r\n") == std::string::npos && !stop.stop_requested() &&
               Clock::now() < deadline) {
            uint8_t buffer[256];
            const TcpResult r = connection.read(buffer, 20);
            if (r.status == TcpStatus::Done) {
                received.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(r.length));
            } else if (r.status != TcpStatus::WouldBlock) {
                break;
            }
        }
        const std::scoped_lock lock(m_mutex);
        m_request = received;
        m_requestComplete = true;
        m_requestDone.notify_all();
    }

    static bool writeAll(TcpSocket& connection, std::string_view bytes, const std::stop_token& stop,
                         Clock::time_point deadline) {
        while (!bytes.empty() && !stop.stop_requested() && Clock::now() < deadline) {
            const TcpResult r =
                connection.write(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 20);
            if (r.status == TcpStatus::Failed || r.status == TcpStatus::Closed) {
                return false;
            }
            bytes.remove_prefix(static_cast<size_t>(r.length));
        }
        return bytes.empty();
    }

    std::vector<std::string> m_chunks;
    Ending m_ending;
    TcpSocket m_listener;
    std::string m_host;
    std::mutex m_mutex;
    std::condition_variable m_requestDone;
    bool m_requestComplete = false;
    std::string m_request;
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
        config.stampDirectory = m_dir.path;
        config.waitSlice = 20ms;
        config.headerEcho = nullptr;
        return config;
    }
    std::string stamp() const { return m_dir.read("nstamp.txt"); }

    TempDir m_dir;
};

TEST_F(NewsCheck, SendsTheRequestAndStoresTheBodyOnItsThread) {
    // The header ends exactly at the end of the first read; the body comes next.
    StampServer server({"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n",
                        "DATESTAMP=2024-05-01\nARTICLENO=5\nSUBJECT=Hi\n"});
    NewsConfig config = configFor(server.host());
    std::FILE* echo = std::tmpfile();
    ASSERT_NE(echo, nullptr);
    config.headerEcho = echo;
    RecordingNewsView ui(true);
    {
        NewsCheckThread check(config, 4, ui);
        ASSERT_TRUE(check.waitFinished(10s));
        EXPECT_EQ(check.outcome().status, NewsStatus::Announced);
        EXPECT_EQ(check.outcome().lastArticleNo, 5);
    }
    EXPECT_EQ(server.request(), "GET /news/stamp.asp HTTP/1.0\r\nHost:" + server.host() +
                                    "\nAccept: *//*\r\nUser-Agent: HawkNL sample program Getfile\r\n\r\n");
    EXPECT_EQ(stamp(), "DATESTAMP=2024-05-01\r\nARTICLENO=5\r\nSUBJECT=Hi\r\n");
    EXPECT_EQ(ui.events(), (Events{"raised 5", "ask There are important news updates. View now?",
                                   "open http://" + server.host() + "/news"}));

    std::rewind(echo);
    char header[128] = {};
    EXPECT_EQ(std::string(header, std::fread(header, 1, sizeof header, echo)),
              "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n");
    std::fclose(echo);
}

TEST_F(NewsCheck, StoresWhateverFollowsTheHeader) {
    const struct {
        std::vector<std::string> reply;
        std::string stamp;
        NewsStatus status;
    } cases[] = {
        {{"HTTP/1.0 200 OK\nServer: x\n\nARTICLENO=7\n"}, "ARTICLENO=7\r\n", NewsStatus::Announced},
        {{"HTTP/1.0 200 OK\r\n\r", "\nARTICLENO=7\n"}, "ARTICLENO=7\r\n", NewsStatus::Announced},
        {{"HTTP/1.0 200 OK\r\nARTICLENO=7\r\n", "ARTICLENO=8\r\n"}, "", NewsStatus::NothingToAnnounce},
        {{"HTTP/1.0 404 Not Found\r\n\r\n", "<html>Not here</html>\n"},
         "<html>Not here</html>\r\n",
         NewsStatus::NothingToAnnounce},
        {{"HTTP/1.0 200 OK\r\n\r\nSUBJECT=", std::string(300, 'y') + "\narticleno=9\nARTICLENO 10\n"},
         "SUBJECT=" + std::string(300, 'y') + "\r\narticleno=9\r\nARTICLENO 10\r\n",
         NewsStatus::Announced},
    };
    for (const auto& c : cases) {
        StampServer server(c.reply);
        RecordingNewsView ui;
        const NewsOutcome outcome = runNewsCheck(configFor(server.host()), 6, ui);
        EXPECT_EQ(outcome.status, c.status) << c.reply.front();
        EXPECT_EQ(stamp(), c.stamp) << c.reply.front();
        EXPECT_EQ(ui.events().empty(), c.status != NewsStatus::Announced);
    }
}

TEST_F(NewsCheck, ConnectionFailuresAreShownAndChangeNothing) {
    TcpSocket closedPort;  // bound but not listening: connections to it are refused
    ASSERT_TRUE(closedPort.open());
    ASSERT_TRUE(closedPort.bind(loopback()));
    const struct {
        std::string host;
        std::string text;
    } cases[] = {
        {hostOf(closedPort), "System error: " + SOCK_ErrorText(kConnectionRefused) + "\n"},
        {"127.0.0.1:", "HawkNL error # 267: Host not found or address not valid\n"},
    };
    for (const auto& c : cases) {
        RecordingNewsView ui;
        const NewsOutcome outcome = runNewsCheck(configFor(c.host), 4, ui);
        EXPECT_EQ(outcome.status, NewsStatus::Failed);
        EXPECT_EQ(outcome.lastArticleNo, 4);
        EXPECT_EQ(outcome.errorText, c.text);
        EXPECT_EQ(ui.events(), Events{"error " + c.text});
    }
}

TEST_F(NewsCheck, EndlessServersMeetTheTransferLimits) {
    {
        StampServer server({"HTTP/1.0 200 OK\r\n\r\n"}, StampServer::Ending::SendForever);
        NewsConfig config = configFor(server.host());
        config.bodyLimit = 10000;
        RecordingNewsView ui;
        const NewsOutcome outcome = runNewsCheck(config, 4, ui);
        EXPECT_EQ(outcome.status, NewsStatus::Failed);
        EXPECT_EQ(outcome.errorText, "HawkNL error # 289: Transfer too large\n");
        EXPECT_LE(stamp().size(), 10000u);
    }
    {
        StampServer server({"HTTP/1.0 200 OK\r\n\r\nARTICLENO=9\n"}, StampServer::Ending::HoldOpen);
        NewsConfig config = configFor(server.host());
        config.transferLimit = 300ms;
        RecordingNewsView ui;
        const auto start = Clock::now();
        const NewsOutcome outcome = runNewsCheck(config, 4, ui);
        EXPECT_LT(Clock::now() - start, 3s);
        EXPECT_EQ(outcome.status, NewsStatus::Failed);
        EXPECT_EQ(outcome.lastArticleNo, 4);
        EXPECT_EQ(ui.events(), Events{"error HawkNL error # 288: Transfer timed out\n"});
    }
}

TEST_F(NewsCheck, StoppingEndsARunningCheckQuietly) {
    StampServer server({}, StampServer::Ending::HoldOpen);
    RecordingNewsView ui;
    NewsCheckThread check(configFor(server.host()), 4, ui);
    EXPECT_FALSE(server.request().empty());
    EXPECT_FALSE(check.waitFinished(100ms));
    const auto start = Clock::now();
    check.stop();
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_EQ(check.outcome().status, NewsStatus::Stopped);
    EXPECT_TRUE(ui.events().empty());
}

}  // namespace
