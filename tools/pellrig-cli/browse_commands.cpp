// pellrig-cli list and query: the server browser run as in the program.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "browser/ping_sweep.h"
#include "browser/server_table.h"
#include "browser_session.h"
#include "commands.h"

namespace {

struct BrowseOptions {
    std::string master{kDefaultMasterHost};
    uint16_t localPort = 0;
    int timeoutMs = 0;
    bool json = false;
    std::string target;  // query: HOST:PORT
};

void printServers(BrowserSession& session, bool json) {
    const std::vector<ListedServer> servers = session.servers();
    if (json) {
        std::printf("%s\n", serversJson(servers).dump(2).c_str());
    } else {
        printServerTable(stdout, servers);
    }
}

// Asks the master for its list, sweeps the servers as the program does after
// every list, and prints the table once the sweep has marked the silent ones.
int listServers(const BrowseOptions& options) {
    BrowserSession session(options.master, options.localPort);
    uint64_t generation = 0;
    {
        const auto lock = lockBrowser();
        generation = serverTableGeneration();
    }
    session.browser().QueryMaster();
    if (!session.waitForMasterList(generation, std::chrono::milliseconds(options.timeoutMs))) {
        std::fprintf(stderr, "pellrig-cli: no answer from the master server %s\n", options.master.c_str());
        return kExitNoMaster;
    }
    int count = 0;
    {
        const auto lock = lockBrowser();
        count = server_count;
    }
    // The sweep gives each server at most 100 ms plus 71 ms after a late answer.
    session.waitForSweep(std::chrono::milliseconds(count * 200 + 2000));
    printServers(session, options.json);
    return 0;
}

// Queries one server typed in by hand, as the custom server query does.
int queryServer(const BrowseOptions& options) {
    const size_t colon = options.target.rfind(':');
    if (colon == std::string::npos) {
        std::fprintf(stderr, "pellrig-cli: expected HOST:PORT, got %s\n", options.target.c_str());
        return kExitUsage;
    }
    BrowserSession session(options.master, options.localPort);
    if (!session.browser().CustomServerQuery(options.target.substr(0, colon),
                                             options.target.substr(colon + 1))) {
        return kExitUsage;
    }
    if (!session.waitForAnswer(std::chrono::milliseconds(options.timeoutMs))) {
        const auto lock = lockBrowser();
        markSilentServers(session.serverList());
    }
    printServers(session, options.json);
    return 0;
}

}  // namespace

void addBrowseCommands(CLI::App& app, std::vector<Command>& commands) {
    auto list = std::make_shared<BrowseOptions>();
    list->timeoutMs = 5000;
    CLI::App* listCommand =
        app.add_subcommand("list", "List the master server's game servers with their pings");
    listCommand->add_option("--master", list->master, "Master server HOST[:PORT]");
    listCommand->add_option("--local-port", list->localPort, "Local UDP port (0 = any free port)");
    listCommand->add_option("--timeout-ms", list->timeoutMs, "How long to wait for the master's list");
    listCommand->add_flag("--json", list->json, "Print JSON");
    commands.push_back({listCommand, [list] { return listServers(*list); }});

    auto query = std::make_shared<BrowseOptions>();
    query->timeoutMs = 2000;
    CLI::App* queryCommand = app.add_subcommand("query", "Query one game server");
    queryCommand->add_option("address", query->target, "Game server HOST:PORT")->required();
    queryCommand->add_option("--local-port", query->localPort, "Local UDP port (0 = any free port)");
    queryCommand->add_option("--timeout-ms", query->timeoutMs, "How long to wait for the answer");
    queryCommand->add_flag("--json", query->json, "Print JSON");
    commands.push_back({queryCommand, [query] { return queryServer(*query); }});
}
