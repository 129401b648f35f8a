#pragma once

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

// How every test starts pellrig-sim, whichever way it runs the program: the
// options added unless the test gave its own, and the line that says it is up.

// Unless `options` say otherwise: the master on a free port, no game servers,
// a time limit, and the game servers' addresses printed ("server ADDRESS").
inline std::vector<std::string> simArguments(std::vector<std::string> options) {
    const auto lacks = [&options](std::initializer_list<const char*> names) {
        return std::none_of(names.begin(), names.end(), [&options](const char* name) {
            return std::find(options.begin(), options.end(), name) != options.end();
        });
    };
    if (lacks({"--scenario", "--generate"})) {
        options.insert(options.end(), {"--generate", "0"});
    }
    if (lacks({"--master-port"})) {
        options.insert(options.end(), {"--master-port", "0"});
    }
    if (lacks({"--exit-after-ms"})) {
        options.insert(options.end(), {"--exit-after-ms", "120000"});
    }
    if (lacks({"--print-servers"})) {
        options.push_back("--print-servers");
    }
    return options;
}

struct SimReady {
    std::string master;  // "127.0.0.1:port"
    std::string news;    // the news server's "127.0.0.1:port", with --news-port
};

// The addresses in a "ready master=ADDRESS [news=ADDRESS]" line; nullopt for
// any other line.
inline std::optional<SimReady> simReadyLine(const std::string& line) {
    const std::string prefix = "ready master=";
    if (line.rfind(prefix, 0) != 0) {
        return std::nullopt;
    }
    const size_t news = line.find(" news=");
    return SimReady{line.substr(prefix.size(), line.find(' ', prefix.size()) - prefix.size()),
                    news == std::string::npos ? std::string() : line.substr(news + 6)};
}
