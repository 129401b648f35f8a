#include "news/news_stamp.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "news/news_check.h"
#include "news_test_support.h"

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
        {"articleno=6\n", 6},
        {"ArticleNo=7", 7},
        {"ARTICLENO 6\n", std::nullopt},
        {"ARTICLENO = 6\n", std::nullopt},
        {"DATESTAMP=x\nSUBJECT=y\n", std::nullopt},
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

TEST(NewsHeaderEnd, FindsTheBlankLineWhereverTheReadsSplit) {
    const struct {
        std::string response;
        std::string header;  // before the final line break
        std::string body;
    } cases[] = {
        {"HTTP/1.0 200 OK\r\nX: y\r\n\r\nARTICLENO=5\n", "HTTP/1.0 200 OK\r\nX: y\r\n", "ARTICLENO=5\n"},
        {"HTTP/1.0 200 OK\nX: y\n\nbody\n\n", "HTTP/1.0 200 OK\nX: y\n", "body\n\n"},
        {"HTTP/1.0 200 OK\n\r\r\n\r\n", "HTTP/1.0 200 OK\n\r", "\r\n"},
        {"HTTP/1.0 200 OK\r\n\r\n", "HTTP/1.0 200 OK\r\n", ""},
    };
    for (const auto& c : cases) {
        for (size_t split = 0; split <= c.response.size(); ++split) {
            NewsHeaderEnd header;
            std::string body;
            for (const std::string_view chunk : {std::string_view(c.response).substr(0, split),
                                                 std::string_view(c.response).substr(split)}) {
                const bool wasOpen = !header.ended();
                const auto found = header.feed(bytesOf(chunk));
                if (!found) {
                    continue;
                }
                body += chunk.substr(found->bodyStart);
                if (wasOpen && split == 0) {
                    EXPECT_EQ(chunk.substr(0, found->headerLength), c.header);
                }
            }
            EXPECT_TRUE(header.ended());
            EXPECT_EQ(body, c.body) << c.response << " split at " << split;
        }
    }

    NewsHeaderEnd endless;
    for (const std::string_view chunk : {"HTTP/1.0 200 OK\r\n", "ARTICLENO=5\r\n", "\r", "x\n"}) {
        EXPECT_FALSE(endless.feed(bytesOf(chunk)));
    }
    EXPECT_FALSE(endless.ended());
}

TEST(NewsSplitHost, TakesAnOptionalPortAfterTheName) {
    std::string name;
    uint16_t port = 0;
    ASSERT_TRUE(NewsSplitHost(kNewsHost, name, port));
    EXPECT_EQ(name, "news.pellrig.example");
    EXPECT_EQ(port, 80);
    ASSERT_TRUE(NewsSplitHost("127.0.0.1:8080", name, port));
    EXPECT_EQ(name, "127.0.0.1");
    EXPECT_EQ(port, 8080);
    for (const char* bad : {"", ":80", "host:", "host:0", "host:65536", "host:8a", "host:1:2"}) {
        EXPECT_FALSE(NewsSplitHost(bad, name, port)) << bad;
    }
}

TEST(NewsCheckStamp, AnnouncesOnlyANewerArticleAndRaisesItBeforeAsking) {
    TempDir dir;
    NewsConfig config;
    config.stampDirectory = dir.path;
    const std::string ask = "ask There are important news updates. View now?";

    RecordingNewsView missing;
    EXPECT_EQ(NewsCheckStamp(config, 0, missing), std::nullopt);
    EXPECT_TRUE(missing.events().empty());

    dir.write("nstamp.txt", encoded("DATESTAMP=1\nARTICLENO=5\nSUBJECT=s\n"));
    RecordingNewsView yes(true);
    EXPECT_EQ(NewsCheckStamp(config, 4, yes), 5);
    EXPECT_EQ(yes.events(),
              (std::vector<std::string>{"raised 5", ask, "open http://news.pellrig.example/news"}));

    RecordingNewsView no(false);
    EXPECT_EQ(NewsCheckStamp(config, 4, no), 5);
    EXPECT_EQ(no.events(), (std::vector<std::string>{"raised 5", ask}));
    EXPECT_EQ(NewsCheckStamp(config, 5, no), std::nullopt);
    EXPECT_EQ(NewsCheckStamp(config, 6, no), std::nullopt);
    EXPECT_EQ(no.events().size(), 2u);

    // The settings file keeps the number in one byte, so 300 comes back as 44
    // and is announced again at every start.
    dir.write("nstamp.txt", encoded("ARTICLENO=300\n"));
    for (int start = 0; start < 2; ++start) {
        RecordingNewsView ui;
        const auto raised = NewsCheckStamp(config, static_cast<uint8_t>(300), ui);
        EXPECT_EQ(raised, 300);
        EXPECT_EQ(ui.events().front(), "raised 300");
    }
}

}  // namespace
