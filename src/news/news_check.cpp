#include "news/news_check.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "news/hawknl_tcp.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kMaxErrorText = 259;

// The parts of one check that every way out has to tidy up.
class Transfer {
  public:
    Transfer(const NewsConfig& config, NewsView& ui, std::stop_token stop)
        : m_config(config), m_ui(ui), m_stop(std::move(stop)) {}

    // Fetches the stamp into its file. Nothing once the server has closed after
    // a complete transfer; otherwise the check's outcome, already shown.
    std::optional<NewsOutcome> run(int lastArticleNo);

  private:
    NewsOutcome failed() {
        m_file.close();
        return {NewsStatus::Failed, m_lastArticleNo, NewsReportError(m_ui)};
    }
    NewsOutcome giveUp(NLenum error) {
        nlSetError(error);
        return failed();
    }
    NewsOutcome stopped() {
        m_file.close();
        nlShutdown();
        return {NewsStatus::Stopped, m_lastArticleNo, {}};
    }
    bool overTime() const { return Clock::now() - m_started > m_config.transferLimit; }

    const NewsConfig& m_config;
    NewsView& m_ui;
    std::stop_token m_stop;
    int m_lastArticleNo = 0;
    Clock::time_point m_started;
    std::ofstream m_file;
    std::string m_disk;  // the stamp file bytes of the last read
};

std::optional<NewsOutcome> Transfer::run(int lastArticleNo) {
    m_lastArticleNo = lastArticleNo;
    if (!nlInit()) {
        return failed();
    }
    nlSetWaitSlice(m_config.waitSlice);
    if (!nlSelectNetwork(NL_IP)) {
        return failed();
    }
    nlEnable(NL_BLOCKING_IO);

    // The lookup's result is not checked: a host that does not resolve, or a
    // malformed host text, leaves the address invalid and the connect reports it.
    NLaddress address;
    std::string name;
    uint16_t port = kNewsPort;
    if (NewsSplitHost(m_config.host, name, port)) {
        nlGetAddrFromName(name.c_str(), &address);
        nlSetAddrPort(&address, port);
    }

    const NLsocket socket = nlOpen(0, NL_RELIABLE);
    if (socket == NL_INVALID) {
        return failed();
    }
    m_started = Clock::now();
    if (!nlConnect(socket, &address)) {
        return failed();
    }
    m_file.open(NewsStampPath(m_config), std::ios::binary | std::ios::trunc);
    if (!m_file) {
        return failed();
    }

    const std::string request = NewsRequest(m_config.host);
    while (nlWrite(socket, request.data(), static_cast<NLint>(request.size())) < 0) {
        if (nlGetError() != NL_CON_PENDING) {
            return failed();
        }
        if (m_stop.stop_requested()) {
            return stopped();
        }
        if (overTime()) {
            return giveUp(NL_TIMED_OUT);
        }
        nlThreadYield();
    }

    std::array<uint8_t, kNewsReceiveBuffer> buffer{};
    NewsResponse response(m_config.bodyLimit);
    for (;;) {
        if (m_stop.stop_requested()) {
            return stopped();
        }
        if (overTime()) {
            return giveUp(NL_TIMED_OUT);
        }
        const NLint read = nlRead(socket, buffer.data(), static_cast<NLint>(buffer.size()));
        if (read < 0) {
            if (nlGetError() == NL_MESSAGE_END) {
                break;
            }
            return failed();
        }
        if (read == 0) {
            continue;
        }
        const NewsResponse::Read taken = response.take({buffer.data(), static_cast<size_t>(read)}, m_disk);
        if (m_config.headerEcho != nullptr && !taken.header.empty()) {
            std::fwrite(taken.header.data(), 1, taken.header.size(), m_config.headerEcho);
        }
        if (taken.tooLarge) {
            return giveUp(NL_TOO_LARGE);
        }
        if (!m_disk.empty() && !m_file.write(m_disk.data(), static_cast<std::streamsize>(m_disk.size()))) {
            return failed();
        }
    }
    m_file.close();
    nlShutdown();
    if (m_stop.stop_requested()) {
        return NewsOutcome{NewsStatus::Stopped, m_lastArticleNo, {}};
    }
    return std::nullopt;
}

}  // namespace

std::filesystem::path NewsStampPath(const NewsConfig& config) {
    return config.stampDirectory / kNewsStampFile;
}

NewsOutcome runNewsCheck(const NewsConfig& config, int lastArticleNo, NewsView& ui,
                         const std::stop_token& stop) {
    if (auto ended = Transfer(config, ui, stop).run(lastArticleNo)) {
        return *std::move(ended);
    }
    if (const auto article = NewsCheckStamp(config, lastArticleNo, ui, stop)) {
        return {NewsStatus::Announced, *article, {}};
    }
    return {NewsStatus::NothingToAnnounce, lastArticleNo, {}};
}

std::optional<int> NewsCheckStamp(const NewsConfig& config, int lastArticleNo, NewsView& ui,
                                  std::stop_token stop) {
    std::ifstream file(NewsStampPath(config), std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    const std::string disk{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::optional<int> article = NewsStampFileArticle(disk);
    if (!article || lastArticleNo >= *article) {
        return std::nullopt;
    }
    ui.lastArticleRaised(*article);
    if (ui.askYesNo(std::string(kNewsQuestion), std::move(stop))) {
        ui.openWebPage(NewsPageUrl(config.host));
    }
    return article;
}

std::string NewsReportError(NewsView& ui) {
    const NLenum error = nlGetError();
    std::string text;
    if (error == NL_SYSTEM_ERROR) {
        text = std::string("System error: ") + nlGetSystemErrorStr(nlGetSystemError()) + "\n";
    } else {
        text = "HawkNL error # " + std::to_string(error) + ": " + nlGetErrorStr(error) + "\n";
    }
    nlShutdown();
    if (text.size() > kMaxErrorText) {
        text.resize(kMaxErrorText);
    }
    ui.showError(text);
    return text;
}
