#include "news/news_stamp.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

std::span<const uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

std::string encoded(std::string_view text) {
    std::string out;
    TextModeEncode(bytesOf(text), out);
    return out;
}

TEST(NewsStampArticle, ReadsTheLastArticleLineLikeAtoi) {
    using namespace std::string_literals;
    const struct {
        std::string text;
        std::optional<int> article;
    } cases[] = {
        {"ARTICLENO=5\n", 5},
        {"ArticleNo=7", 7},
        {"ARTICLENO 6\n", std::nullopt},
        {"DATESTAMP=x\nARTICLENO = 6\n", std::nullopt},
        {"<html><body>404 Not Found</body></html>\n", std::nullopt},
        {"\n\nSUBJECT=a=b\nARTICLENO=  -12abc\n", -12},
        {"ARTICLENO=+300\n", 300},
        {"ARTICLENO=5=6\n", 5},
        {"ARTICLENO=\n", 0},
        {"ARTICLENO=3\nARTICLENO=9\nARTICLENO=4\n", 4},
        {"ARTICLENO=99999999999\n", INT_MAX},
        {"ARTI\0CLENO=5\nARTICLENO=8\0=9\n"s, 8},
        // Read 255 characters at a time, so a long line's tail is a line of its own.
        {std::string(255, 'x') + "ARTICLENO=7\n", 7},
        {std::string(254, 'x') + "ARTICLENO=7\n", std::nullopt},
        {"ARTICLENO=1" + std::string(244, ' ') + "ARTICLENO=2\n", 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NewsStampArticle(c.text), c.article) << c.text;
    }
}

TEST(NewsTextMode, WritesLineFeedsAsCrLfAndReadsThemBack) {
    EXPECT_EQ(encoded("a\nb\r\nc\r"), "a\r\nb\r\r\nc\r");
    EXPECT_EQ(TextModeDecode("a\r\nb\r\r\nc\r"), "a\nb\r\nc\r");
    EXPECT_EQ(TextModeDecode("\r\r\n\n\r"), "\r\n\n\r");

    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(random() % 40, '\0');
        for (char& c : bytes) {
            const char pick[] = {'\r', '\n', 'a', '\0'};
            c = pick[random() % 4];
        }
        ASSERT_EQ(TextModeDecode(encoded(bytes)), bytes);
    }
}

// What the check keeps of the response, whatever the reads: the header up to
// its blank line (echoed), then the body as the stamp file's bytes.
TEST(NewsResponse, KeepsTheBodyAfterTheBlankLineWhereverTheReadsSplit) {
    const struct {
        std::string response;
        std::string header;  // before the final line break
        std::string body;
    } cases[] = {
        {"HTTP/1.0 404 Not Found\r\nX: y\r\n\r\n<p>gone</p>\n", "HTTP/1.0 404 Not Found\r\nX: y\r\n",
         "<p>gone</p>\n"},
        {"HTTP/1.0 200 OK\nX: y\n\nbody\n\n", "HTTP/1.0 200 OK\nX: y\n", "body\n\n"},
        {"HTTP/1.0 200 OK\n\r\r\n\r\n", "HTTP/1.0 200 OK\n\r", "\r\n"},
        {"HTTP/1.0 200 OK\r\n\r\n", "HTTP/1.0 200 OK\r\n", ""},
    };
    for (const auto& c : cases) {
        for (size_t split = 0; split <= c.response.size(); ++split) {
            SCOPED_TRACE(c.response + " split at " + std::to_string(split));
            NewsResponse response(1000);
            std::string kept;
            for (const std::string_view chunk : {std::string_view(c.response).substr(0, split),
                                                 std::string_view(c.response).substr(split)}) {
                std::string disk;
                const NewsResponse::Read read = response.take(bytesOf(chunk), disk);
                EXPECT_FALSE(read.tooLarge);
                kept += disk;
                if (split == 0 && !chunk.empty()) {
                    EXPECT_EQ(std::string(read.header.begin(), read.header.end()), c.header);
                }
            }
            EXPECT_EQ(kept, encoded(c.body));
        }
    }

    // A header that never ends keeps nothing.
    NewsResponse endless(1000);
    for (const std::string_view chunk : {"HTTP/1.0 200 OK\r\n", "ARTICLENO=5\r\n", "\r", "x\n"}) {
        std::string disk = "old";
        EXPECT_TRUE(endless.take(bytesOf(chunk), disk).header.empty());
        EXPECT_EQ(disk, "");
    }

    // Only the body counts against the limit, and the read that passes it is not kept.
    NewsResponse limited(5);
    std::string disk;
    EXPECT_FALSE(limited.take(bytesOf("HTTP/1.0 200 OK\r\n\r\n1\n"), disk).tooLarge);
    EXPECT_EQ(disk, "1\r\n");
    EXPECT_FALSE(limited.take(bytesOf("345"), disk).tooLarge);
    EXPECT_TRUE(limited.take(bytesOf("6"), disk).tooLarge);
    EXPECT_EQ(disk, "");
}

TEST(NewsSplitHost, TakesAnOptionalPortAfterTheName) {
    const auto split = [](const std::string& text) {
        std::string name;
        uint16_t port = 0;
        return NewsSplitHost(text, name, port) ? name + " " + std::to_string(port) : "rejected";
    };
    EXPECT_EQ(split("news.example"), "news.example 80");
    EXPECT_EQ(split("127.0.0.1:8080"), "127.0.0.1 8080");
    for (const char* bad : {"", ":80", "host:", "host:0", "host:65536", "host:8a", "host:1:2"}) {
        EXPECT_EQ(split(bad), "rejected") << bad;
    }
}

}  // namespace
