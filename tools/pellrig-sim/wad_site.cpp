#include "wad_site.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <thread>

namespace {

constexpr int kWriteTimeoutMs = 2000;
constexpr std::string_view kWadsPrefix = "/wads/";
constexpr std::string_view kFaultyPrefix = "/faulty/";
constexpr uint64_t kClaimedLength = uint64_t{1} << 30;
constexpr std::chrono::milliseconds kSlowByteGap{200};
constexpr size_t kTrickleBytes = 2048;
constexpr std::chrono::milliseconds kTrickleGap{100};

std::string header(std::string_view status, std::optional<uint64_t> length, std::string_view extra = {}) {
    std::string text = "HTTP/1.0 " + std::string(status) + "\r\nContent-Type: application/octet-stream\r\n";
    if (length) {
        text += "Content-Length: " + std::to_string(*length) + "\r\n";
    }
    return text + std::string(extra) + "Connection: close\r\n\r\n";
}

bool plainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\:") == std::string_view::npos;
}

std::optional<std::string> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool sendZeros(TcpSocket& connection) {
    const std::string zeros(64 * 1024, '\0');
    for (uint64_t sent = 0; sent < kClaimedLength; sent += zeros.size()) {
        if (!writeAll(connection, zeros)) {
            return false;
        }
    }
    return true;
}

void answerFaulty(std::string_view kind, std::string_view name, const std::string& file,
                  TcpSocket& connection) {
    if (kind == "truncated") {
        writeAll(connection, header("200 OK", file.size()) + file.substr(0, file.size() / 2));
    } else if (kind == "too-large") {
        writeAll(connection, header("200 OK", kClaimedLength)) && sendZeros(connection);
    } else if (kind == "endless") {
        writeAll(connection, header("200 OK", std::nullopt)) && sendZeros(connection);
    } else if (kind == "not-a-wad") {
        const std::string page = "<html><body>" + std::string(name) + " is here no more</body></html>\n";
        writeAll(connection, header("200 OK", page.size()) + page);
    } else if (kind == "redirect-loop") {
        const std::string self = "Location: /faulty/redirect-loop/" + std::string(name) + "\r\n";
        writeAll(connection, header("302 Found", 0, self));
    } else if (kind == "redirect-ftp") {
        writeAll(connection,
                 header("302 Found", 0, "Location: ftp://127.0.0.1/" + std::string(name) + "\r\n"));
    } else if (kind == "slow" || kind == "trickle") {
        if (!writeAll(connection, header("200 OK", file.size()))) {
            return;
        }
        const bool slow = kind == "slow";
        const size_t step = slow ? 1 : kTrickleBytes;
        for (size_t at = 0; at < file.size(); at += step) {
            std::this_thread::sleep_for(slow ? kSlowByteGap : kTrickleGap);
            if (!writeAll(connection, std::string_view(file).substr(at, step))) {
                return;
            }
        }
    } else {
        writeAll(connection, header("404 Not Found", 0));
    }
}

}  // namespace

bool writeAll(TcpSocket& connection, std::string_view bytes) {
    while (!bytes.empty()) {
        const TcpResult r =
            connection.write({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, kWriteTimeoutMs);
        if (r.status != TcpStatus::Done) {
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(r.length));
    }
    return true;
}

WadSite::WadSite(std::filesystem::path folder) : m_folder(std::move(folder)) {}

bool WadSite::answer(const std::string& path, TcpSocket& connection) const {
    const std::string_view request = path;
    std::string_view kind;
    std::string_view name;
    if (request.rfind(kWadsPrefix, 0) == 0) {
        name = request.substr(kWadsPrefix.size());
    } else if (request.rfind(kFaultyPrefix, 0) == 0) {
        const std::string_view rest = request.substr(kFaultyPrefix.size());
        const size_t slash = rest.find('/');
        if (slash == std::string_view::npos) {
            return false;
        }
        kind = rest.substr(0, slash);
        name = rest.substr(slash + 1);
    } else {
        return false;
    }
    const std::optional<std::string> file =
        plainName(name) ? readFile(m_folder / std::string(name)) : std::nullopt;
    if (!file && kind != "not-a-wad" && !kind.starts_with("redirect")) {
        writeAll(connection, header("404 Not Found", 0));
        return true;
    }
    if (kind.empty()) {
        writeAll(connection, header("200 OK", file->size()) + *file);
    } else {
        answerFaulty(kind, name, file.value_or(std::string()), connection);
    }
    return true;
}
