#include "news/news_stamp.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atoi: leading blanks, an optional sign, then digits up to the first other
// character. Out-of-range values stop at INT_MIN/INT_MAX instead of overflowing.
int atoiLike(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const int64_t limit = negative ? -static_cast<int64_t>(INT_MIN) : INT_MAX;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min(limit, value * 10 + (text[i] - '0'));
    }
    return static_cast<int>(negative ? -value : value);
}

bool isArticleKey(std::string_view key) {
    constexpr std::string_view kArticleKey = "ARTICLENO";
    return std::equal(key.begin(), key.end(), kArticleKey.begin(), kArticleKey.end(), [](char a, char b) {
        return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a) == b;
    });
}

}  // namespace

bool NewsSplitHost(std::string_view text, std::string& name, uint16_t& port) {
    const size_t colon = text.find(':');
    const std::string_view host = text.substr(0, colon);
    if (host.empty()) {
        return false;
    }
    uint16_t parsed = kNewsPort;
    if (colon != std::string_view::npos) {
        const std::string_view digits = text.substr(colon + 1);
        if (digits.empty() || digits.size() > 5 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            return false;
        }
        const int value = atoiLike(digits);
        if (value < 1 || value > 65535) {
            return false;
        }
        parsed = static_cast<uint16_t>(value);
    }
    name = host;
    port = parsed;
    return true;
}

std::string NewsRequest(std::string_view host) {
    std::string request = "GET ";
    request += news_stamp_path;
    request += " HTTP/1.0\r\nHost:";
    request += host;
    request += "\nAccept: *//*\r\nUser-Agent: HawkNL sample program Getfile\r\n\r\n";
    return request;
}

std::string NewsPageUrl(std::string_view host) {
    std::string url = "http://";
    url += host;
    url += kNewsPagePath;
    return url;
}

std::optional<NewsHeaderEnd::Split> NewsHeaderEnd::feed(std::span<const uint8_t> chunk) {
    if (ended()) {
        return Split{0, 0};
    }
    for (size_t i = 0; i < chunk.size(); ++i) {
        if (chunk[i] == '\n') {
            ++m_lineFeeds;
        } else if (chunk[i] != '\r') {
            m_lineFeeds = 0;
        }
        if (m_lineFeeds == 2) {
            const size_t lineBreak = i > 0 && chunk[i - 1] == '\r' ? i - 1 : i;
            return Split{lineBreak, i + 1};
        }
    }
    return std::nullopt;
}

NewsResponse::Read NewsResponse::take(std::span<const uint8_t> read, std::string& disk) {
    disk.clear();
    Read result;
    std::span<const uint8_t> body = read;
    if (!m_header.ended()) {
        const std::optional<NewsHeaderEnd::Split> split = m_header.feed(read);
        if (!split) {
            return result;
        }
        result.header = read.first(split->headerLength);
        body = read.subspan(split->bodyStart);
    }
    m_bodyBytes += body.size();
    if (m_bodyBytes > m_bodyLimit) {
        result.tooLarge = true;
        return result;
    }
    TextModeEncode(body, disk);
    return result;
}

void TextModeEncode(std::span<const uint8_t> bytes, std::string& out) {
    for (const uint8_t byte : bytes) {
        if (byte == '\n') {
            out += '\r';
        }
        out += static_cast<char>(byte);
    }
}

std::string TextModeDecode(std::string_view disk) {
    std::string text;
    text.reserve(disk.size());
    for (size_t i = 0; i < disk.size(); ++i) {
        if (disk[i] == '\r' && i + 1 < disk.size() && disk[i + 1] == '\n') {
            continue;
        }
        text += disk[i];
    }
    return text;
}

std::optional<int> NewsStampArticle(std::string_view text) {
    std::optional<int> article;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t length = std::min(kNewsStampLine, text.size() - pos);
        const size_t lineFeed = text.find('\n', pos);
        if (lineFeed != std::string_view::npos && lineFeed - pos < length) {
            length = lineFeed - pos + 1;
        }
        std::string_view line = text.substr(pos, length);
        pos += length;
        // The line is a C string: a NUL byte ends it.
        line = line.substr(0, line.find('\0'));
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        if (isArticleKey(line.substr(0, equals))) {
            article = atoiLike(line.substr(equals + 1));
        }
    }
    return article;
}

std::optional<int> NewsStampFileArticle(std::string_view disk) {
    return NewsStampArticle(TextModeDecode(disk));
}
