#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include "net/net_address.h"
#include "net/tcp_socket.h"
#include "wad_site.h"

// The simulator's web server: answers GET of the news check's stamp path with
// the stamp's KEY=value lines, GET of the news page with a small HTML page and,
// with a WAD folder, the paths of the WAD site (wad_site.h); one request per
// connection (HTTP/1.0), on its own thread.
struct NewsOptions {
    int articleNo = 1;
    std::string dateStamp = "2026-12-06";
    std::string subject = "Welcome to Pellrig";
    std::optional<std::filesystem::path> wadFolder;  // the WAD site's files, when it is served
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
    std::optional<WadSite> m_wads;
    TcpSocket m_listener;
    NetAddress m_address;
    std::jthread m_thread;  // last, so it stops and joins before the listener closes
};
