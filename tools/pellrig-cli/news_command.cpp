// pellrig-cli news: the start-up news check, run in the working directory.
#include <cstdio>
#include <memory>
#include <string>

#include "commands.h"
#include "error_output.h"
#include "launch/config_file.h"
#include "launch/settings.h"
#include "news/news_check.h"

namespace {

struct NewsOptions {
    std::string host{kNewsHost};
    bool save = false;
};

ExitCode checkNews(const NewsOptions& options) {
    BV_LoadConfig();
    int lastArticleNo = 0;
    {
        const auto lock = lockSettings();
        lastArticleNo = bv_lastarticleno;
    }
    NewsConfig config;
    config.host = options.host;
    config.headerEcho = nullptr;
    RecordingNewsView ui(false);
    const NewsOutcome outcome = runNewsCheck(config, lastArticleNo, ui);
    switch (outcome.status) {
        case NewsStatus::Failed:
        case NewsStatus::Stopped:
            printCoreMessage(outcome.errorText);
            return ExitCode::NewsFailed;
        case NewsStatus::NothingToAnnounce:
            std::printf("nothing to announce\n");
            return ExitCode::Done;
        case NewsStatus::Announced:
            break;
    }
    std::printf("announce %d\n", outcome.lastArticleNo);
    if (!options.save) {
        return ExitCode::Done;
    }
    {
        const auto lock = lockSettings();
        bv_lastarticleno = outcome.lastArticleNo;
    }
    MemoryModalMessageView sink;
    return reportSave(BV_SaveConfig(sink), sink);
}

}  // namespace

void addNewsCommand(CLI::App& app, std::vector<Command>& commands) {
    auto options = std::make_shared<NewsOptions>();
    CLI::App* news = app.add_subcommand("news", "Check the news stamp as the program does at start-up");
    news->add_option("--news", options->host, "News server HOST[:PORT]");
    news->add_flag("--save", options->save, "Store the announced article number in pellrig32.cfg");
    commands.push_back({news, [options] { return checkNews(*options); }});
}
