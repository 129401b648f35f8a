#include "news_server.h"

#include <string_view>

#include "news/news_stamp.h"

namespace {

constexpr int kWaitSliceMs = 100;
constexpr int kRequestTimeoutMs = 2000;
constexpr size_t kMaxRequest = 4096;

std::string response(std::string_view status, std::string_view type, const std::string& body) {
    return "HTTP/1.0 " + std::string(status) + "\r\nContent-Type: " + std::string(type) +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

// The path of a request line "GET /path HTTP/1.0"; empty for anything else.
std::string requestPath(const std::string& request) {
    if (request.rfind("GET ", 0) != 0) {
        return {};
    }
    const size_t end = request.find_first_of(" \r\n", 4);
    return request.substr(4, end == std::string::npos ? std::string::npos : end - 4);
}

}  // namespace

NewsServer::NewsServer(NewsOptions options) : m_options(std::move(options)) {
    if (m_options.wadFolder) {
        m_wads.emplace(*m_options.wadFolder);
    }
}

bool NewsServer::start(const std::array<uint8_t, 4>& ip, uint16_t port, std::string& error) {
    NetAddress local;
    local.ip = ip;
    NET_SetPort(local, port);
    if (!m_listener.open() || !m_listener.bind(local) || !m_listener.listen() ||
        !m_listener.localAddress(m_address)) {
        error = "cannot listen for news requests on " + NET_AdrToString(local);
        return false;
    }
    m_thread = std::jthread([this](std::stop_token stop) { serve(std::move(stop)); });
    return true;
}

std::string NewsServer::stampBody() const {
    return "ARTICLENO=" + std::to_string(m_options.articleNo) + "\r\nDATESTAMP=" + m_options.dateStamp +
           "\r\nSUBJECT=" + m_options.subject + "\r\n";
}

void NewsServer::serve(std::stop_token stop) {
    while (!stop.stop_requested()) {
        TcpSocket connection;
        if (m_listener.accept(connection, kWaitSliceMs)) {
            answer(connection);
        }
    }
}

void NewsServer::answer(TcpSocket& connection) const {
    std::string request;
    std::array<uint8_t, 1024> buffer{};
    // The request ends at its blank line, whichever line end the client uses.
    while (request.size() < kMaxRequest && request.find("\r\n\r\n") == std::string::npos &&
           request.find("\n\n") == std::string::npos) {
        const TcpResult r = connection.read(buffer, kRequestTimeoutMs);
        if (r.status != TcpStatus::Done) {
            break;
        }
        request.append(reinterpret_cast<const char*>(buffer.data()), static_cast<size_t>(r.length));
    }
    const std::string path = requestPath(request);
    if (m_wads && m_wads->answer(path, connection)) {
        return;
    }
    std::string reply;
    if (path == news_stamp_path) {
        reply = response("200 OK", "text/plain", stampBody());
    } else if (path == kNewsPagePath) {
        reply = response("200 OK", "text/html",
                         "<html><head><title>Brumvek news</title></head><body><h1>" + m_options.subject +
                             "</h1><p>Article " + std::to_string(m_options.articleNo) + ", " +
                             m_options.dateStamp + ".</p></body></html>\n");
    } else {
        reply = response("404 Not Found", "text/plain", "Not found\n");
    }
    writeAll(connection, reply);
}
