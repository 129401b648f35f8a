// pellrig-cli list and query: the server browser run as in the program.
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "browser/ping_sweep.h"
#include "browser/server_launch_target.h"
#include "browser/server_table.h"
#include "browser_session.h"
#include "cli_preferences.h"
#include "commands.h"
#include "common_options.h"
#include "host_port.h"
#include "json_output.h"
#include "launch/config_file.h"
#include "launch/wad_index.h"

namespace {

struct ListOptions {
    CommonOptions common;
    bool fast = false;        // the fast refresh instead of the paced sweep
    bool ready = false;       // only the servers whose WADs the player has
    bool favourites = false;  // only the favourite servers, in the player's order
};

struct QueryOptions {
    CommonOptions common;
    std::string address;  // HOST:PORT
};

void printServers(const std::vector<ListedServer>& servers, bool json) {
    if (json) {
        printJson(serversJson(servers));
    } else {
        printServerTable(stdout, servers);
    }
}

// Asks the master for its list, sweeps the servers as the program does after
// every list, and prints the table once the sweep has marked the silent ones.
ExitCode listServers(const ListOptions& list) {
    const CommonOptions& options = list.common;
    BrowserSession session(options.master, options.localPort);
    session.setFastRefresh(list.fast);
    const std::vector<std::string> favourites = loadCliPreferences().favourites;
    session.favourites().set(favourites);
    uint64_t generation = 0;
    {
        const auto lock = lockBrowser();
        generation = serverTableGeneration();
    }
    session.browser().QueryMaster();
    if (!session.waitForMasterList(generation, std::chrono::milliseconds(options.timeoutMs))) {
        return reportNoMaster(options.master);
    }
    int count = 0;
    {
        const auto lock = lockBrowser();
        count = server_count;
    }
    // The sweep gives each server at most 100 ms plus 71 ms after a late answer.
    session.waitForSweep(std::chrono::milliseconds(count * 200 + 2000));
    std::vector<ListedServer> servers = session.servers();
    // The WAD directories of the settings in the working directory, as the join finds them.
    BV_LoadConfig();
    const WadIndex wads = WadIndex::ofWadDirectories();
    std::erase_if(servers, [&](ListedServer& server) {
        if (server.record.answered) {
            server.missing = wads.missing(launchTargetOf(server.record));
        }
        const bool favourite =
            std::find(favourites.begin(), favourites.end(), server.record.address) != favourites.end();
        return (list.ready && !(server.missing && server.missing->empty())) ||
               (list.favourites && !favourite);
    });
    if (list.favourites) {
        const auto place = [&favourites](const ListedServer& server) {
            return std::find(favourites.begin(), favourites.end(), server.record.address) -
                   favourites.begin();
        };
        std::stable_sort(servers.begin(), servers.end(),
                         [&](const ListedServer& a, const ListedServer& b) { return place(a) < place(b); });
    }
    printServers(servers, options.json);
    return ExitCode::Done;
}

// Queries one server typed in by hand, as the custom server query does.
ExitCode queryServer(const QueryOptions& options) {
    const std::optional<HostPort> address = splitHostPort(options.address);
    if (!address) {
        return ExitCode::Usage;
    }
    const CommonOptions& common = options.common;
    BrowserSession session(common.master, common.localPort);
    if (!session.browser().CustomServerQuery(address->host, address->port)) {
        return ExitCode::Usage;
    }
    if (!session.waitForAnswer(std::chrono::milliseconds(common.timeoutMs))) {
        const auto lock = lockBrowser();
        markSilentServers(session.serverList());
    }
    printServers(session.servers(), common.json);
    return ExitCode::Done;
}

}  // namespace

void addBrowseCommands(CLI::App& app, std::vector<Command>& commands) {
    auto list = std::make_shared<ListOptions>();
    CLI::App* listCommand =
        app.add_subcommand("list", "List the master server's game servers with their pings");
    addMasterCommandOptions(*listCommand, list->common, "How long to wait for the master's list");
    listCommand->add_flag("--fast", list->fast, "Ping with the fast refresh instead of the paced sweep");
    listCommand->add_flag("--favourites", list->favourites,
                          "Only the favourite servers of pellrig.json, in their order, listed or not");
    listCommand->add_flag(
        "--ready", list->ready,
        "Only the servers whose IWAD and PWADs are in the WAD directories of pellrig32.cfg");
    commands.push_back({listCommand, [list] { return listServers(*list); }});

    auto query = std::make_shared<QueryOptions>();
    query->common.timeoutMs = 2000;
    CLI::App* queryCommand = app.add_subcommand("query", "Query one game server");
    queryCommand->add_option("address", query->address, "Game server HOST:PORT")->required();
    addLocalPortOption(*queryCommand, query->common.localPort);
    addTimeoutOption(*queryCommand, query->common.timeoutMs, "How long to wait for the answer");
    addJsonFlag(*queryCommand, query->common.json);
    commands.push_back({queryCommand, [query] { return queryServer(*query); }});
}
