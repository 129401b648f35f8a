#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <thread>

#include "net/net_address.h"
#include "net/tcp_socket.h"

// The web server of the news check: answers GET of the stamp path with the
// stamp's KEY=value lines and GET of the news page with a small HTML page, one
// request per connection (HTTP/1.0), on its own thread.
struct NewsOptions {
    int articleNo = 1;
    std::string dateStamp = "2026-12-06";
    std::string subject = "Welcome to Pellrig";
};

class NewsServer {
  public:
    explicit NewsServer(NewsOptions options);
    NewsServer(const NewsServer&) = delete;
    NewsServer& operator=(const NewsServer&) = delete;

    // Binds and listens on `ip`:`port` (0 for any free port) and starts serving.
    bool start(const std::array<uint8_t, 4>& ip, uint16_t port, std::string& error);
    NetAddress address() const { return m_address; }

    // The stamp body as served.
    std::string stampBody() const;

  private:
    void serve(std::stop_token stop);
    void answer(TcpSocket& connection) const;

    NewsOptions m_options;
    TcpSocket m_listener;
    NetAddress m_address;
    std::jthread m_thread;  // last, so it stops and joins before the listener closes
};
