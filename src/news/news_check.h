#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "news/news_stamp.h"
#include "news/news_view.h"

// The start-up news check: fetch the stamp over HTTP/1.0, store its body in
// "nstamp.txt", and announce an article newer than the last one announced.

inline constexpr std::string_view kNewsQuestion = "There are important news updates. View now?";

struct NewsConfig {
    std::string host{kNewsHost};           // "HOST[:PORT]"; the port is 80 when not given
    std::filesystem::path stampDirectory;  // where "nstamp.txt" goes; empty: the working directory
    // A transfer that lasts longer, from the connection attempt on, or whose body
    // grows larger, fails like a broken connection.
    std::chrono::milliseconds transferLimit{15000};
    size_t bodyLimit = size_t{64} * 1024;
    // The longest single wait on the socket, and so how long a stop can take.
    std::chrono::milliseconds waitSlice{100};
    // Where the response header is echoed; nullptr for nowhere.
    std::FILE* headerEcho = stdout;
};

enum class NewsStatus {
    NothingToAnnounce,  // the transfer ended but no newer article was found
    Announced,          // the question was asked
    Failed,             // the error was shown; `errorText` holds it
    Stopped,            // stopped from outside; nothing shown or announced
};

struct NewsOutcome {
    NewsStatus status = NewsStatus::NothingToAnnounce;
    int lastArticleNo = 0;  // bv_lastarticleno after the check: raised when Announced
    std::string errorText;
};

// Runs one check on the calling thread and returns when it is over: the worker
// thread's body, and the synchronous entry for tools. `lastArticleNo` is the
// current bv_lastarticleno. Every failure is shown through ui.showError and
// returned. Stopping is checked between waits of at most config.waitSlice; a
// host name lookup is the one wait it cannot cut short.
NewsOutcome runNewsCheck(const NewsConfig& config, int lastArticleNo, NewsView& ui,
                         const std::stop_token& stop = {});

// Reads the stamp file in config.stampDirectory and, for an article number above
// `lastArticleNo`, raises it through the ui, asks kNewsQuestion and on Yes opens
// the news page. Returns the announced number; nothing when the file cannot be
// read or holds no newer article.
std::optional<int> NewsCheckStamp(const NewsConfig& config, int lastArticleNo, NewsView& ui,
                                  std::stop_token stop = {});

// Shows this thread's last HawkNL error through `ui` (at most 259 characters)
// after shutting HawkNL down, and returns the text.
std::string NewsReportError(NewsView& ui);

// The stamp file's path for `config`.
std::filesystem::path NewsStampPath(const NewsConfig& config);
