// pellrig-sim: a master server and any number of game servers on loopback,
// for tests, benchmarks and demonstrations of the launcher. README.md beside
// this file describes the options and the scenario format.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "net/net_address.h"
#include "net/socket.h"
#include "news_server.h"
#include "scenario.h"
#include "scenario_generator.h"
#include "simulator.h"

namespace {

std::atomic<Simulator*> running_simulator{nullptr};

extern "C" void onStopSignal(int /*signal*/) {
    if (Simulator* simulator = running_simulator.load()) {
        simulator->requestStop();
    }
}

struct CommandLine {
    std::string scenarioPath;
    GeneratorOptions generator;
    std::string bindAddress = "127.0.0.1";
    int masterPort = kMasterPort;
    int basePort = 0;
    size_t masterListBytes = kLauncherMessageSize;
    int64_t exitAfterMs = 0;
    bool printServers = false;
    bool verbose = false;
    AccountOptions accounts;
    std::string versionRefusal = "rejected";
    double accountDelayMs = 0;
    int newsPort = -1;  // no news server unless given
    NewsOptions news;
};

// Exit codes, listed in README.md.
constexpr int kExitStartFailed = 1;  // the scenario, the accounts file or a port
constexpr int kExitUsage = 2;
constexpr int kExitInternalError = 70;

int fail(const std::string& message, int exitCode = kExitStartFailed) {
    std::fprintf(stderr, "pellrig-sim: %s\n", message.c_str());
    return exitCode;
}

// Plays the scenario until a signal or the time limit; the socket layer is up.
int serve(Scenario scenario, const SimulatorOptions& simulatorOptions, const CommandLine& options) {
    const size_t serverCount = scenario.servers.size();
    Simulator simulator(std::move(scenario), simulatorOptions);
    std::string error;
    if (!simulator.start(error)) {
        return fail(error);
    }
    if (simulator.listedServers() < serverCount) {
        std::fprintf(stderr, "pellrig-sim: the master lists %zu of %zu servers (--master-list-bytes %zu)\n",
                     simulator.listedServers(), serverCount, options.masterListBytes);
    }

    std::optional<NewsServer> news;
    if (options.newsPort >= 0 || options.news.wadFolder) {
        news.emplace(options.news);
        if (!news->start(simulatorOptions.bindIp, static_cast<uint16_t>(std::max(options.newsPort, 0)),
                         error)) {
            return fail(error);
        }
    }

    running_simulator.store(&simulator);
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);

    if (options.printServers) {
        for (const NetAddress& address : simulator.serverAddresses()) {
            std::printf("server %s\n", NET_AdrToString(address).c_str());
        }
    }
    std::printf("ready master=%s servers=%zu", NET_AdrToString(simulator.masterAddress()).c_str(),
                serverCount);
    if (news) {
        std::printf(" news=%s", NET_AdrToString(news->address()).c_str());
    }
    std::printf("\n");
    std::fflush(stdout);

    std::optional<std::chrono::steady_clock::time_point> until;
    if (options.exitAfterMs > 0) {
        until = std::chrono::steady_clock::now() + std::chrono::milliseconds(options.exitAfterMs);
    }
    simulator.run(until);

    // Stopping already: a second signal must not cut short the exit, whose
    // status (and, in sanitized builds, leak check) tells a test how the run went.
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGTERM, SIG_IGN);
    running_simulator.store(nullptr);

    const SimulatorStats& stats = simulator.stats();
    std::printf("stopped master_requests=%llu server_queries=%llu replies=%llu garbage=%llu dropped=%llu\n",
                static_cast<unsigned long long>(stats.masterRequests),
                static_cast<unsigned long long>(stats.serverQueries),
                static_cast<unsigned long long>(stats.repliesSent),
                static_cast<unsigned long long>(stats.garbage),
                static_cast<unsigned long long>(stats.dropped));
    std::fflush(stdout);
    return 0;
}

int run(int argc, char** argv) {
    CommandLine options;
    CLI::App app{"Plays a Brumvek master server and its game servers over UDP."};
    auto* scenarioOption =
        app.add_option("--scenario", options.scenarioPath, "JSON scenario file")->check(CLI::ExistingFile);
    auto* generateOption = app.add_option("--generate", options.generator.count, "Make up N servers instead")
                               ->check(CLI::Range(0, 100000))
                               ->excludes(scenarioOption);
    app.add_option("--seed", options.generator.seed, "Seed of the generated servers")->needs(generateOption);
    app.add_option("--silent-fraction", options.generator.silentFraction,
                   "Share of generated servers that never answer")
        ->check(CLI::Range(0.0, 1.0))
        ->needs(generateOption);
    app.add_option("--delay-min-ms", options.generator.delayMinMs, "Shortest generated reply delay")
        ->check(CLI::Range(0.0, kMaxDelayMs))
        ->needs(generateOption);
    app.add_option("--delay-max-ms", options.generator.delayMaxMs, "Longest generated reply delay")
        ->check(CLI::Range(0.0, kMaxDelayMs))
        ->needs(generateOption);
    app.add_option("--bind", options.bindAddress, "Dotted IPv4 address to bind every socket to")
        ->capture_default_str();
    auto* masterPortOption =
        app.add_option("--master-port", options.masterPort, "Master server port; 0 = any free port")
            ->check(CLI::Range(0, 65535))
            ->capture_default_str();
    app.add_option("--base-port", options.basePort,
                   "First game server port, then consecutive; 0 = any free port")
        ->check(CLI::Range(0, 65535));
    app.add_option("--master-list-bytes", options.masterListBytes,
                   "Largest master list message; servers past it are not listed")
        ->check(CLI::Range(size_t{5}, static_cast<size_t>(kMaxDatagramMessage)))
        ->capture_default_str();
    app.add_option("--exit-after-ms", options.exitAfterMs,
                   "Stop by itself after this long; 0 = run until a signal")
        ->check(CLI::NonNegativeNumber);
    app.add_flag("--print-servers", options.printServers,
                 "Print each game server's address before the ready line");
    app.add_flag("--verbose", options.verbose, "Log every datagram and account request to standard error");
    app.add_option("--accounts", options.accounts.path,
                   "Accounts file, read at start and written after every change; default: in memory");
    app.add_option("--protocol-version", options.accounts.protocolVersion,
                   "The launcher version the account service accepts")
        ->capture_default_str();
    app.add_option("--version-refusal", options.versionRefusal,
                   "How other versions are refused: rejected (VersionRejected) or refused (AccountRefused)")
        ->check(CLI::IsMember({"rejected", "refused"}))
        ->capture_default_str();
    app.add_flag("--compact-accept", options.accounts.compactAccept,
                 "Accept log-ins with AccountAcceptedCompact instead of AccountAccepted");
    app.add_option("--recent-limit", options.accounts.recentLimit, "Most names in a recent players reply")
        ->check(CLI::Range(size_t{0}, size_t{1000}))
        ->capture_default_str();
    app.add_option("--account-delay-ms", options.accountDelayMs, "Delay of every account reply")
        ->check(CLI::Range(0.0, kMaxDelayMs));
    app.add_option("--news-port", options.newsPort,
                   "Serve the news stamp over HTTP on this port; 0 = any free port")
        ->check(CLI::Range(0, 65535));
    app.add_option("--news-article", options.news.articleNo, "ARTICLENO of the news stamp");
    app.add_option(
           "--wad-site", options.news.wadFolder,
           "Serve this folder's WADs at /wads/NAME (and faulty answers at /faulty/KIND/NAME) over the "
           "news port, 0 unless given")
        ->check(CLI::ExistingDirectory);
    app.add_option("--news-subject", options.news.subject, "SUBJECT of the news stamp");
    app.add_option("--news-date", options.news.dateStamp, "DATESTAMP of the news stamp");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : kExitUsage;
    }

    Scenario scenario;
    std::string error;
    if (!options.scenarioPath.empty()) {
        if (!loadScenarioFile(options.scenarioPath, scenario, error)) {
            return fail(error);
        }
    } else if (generateOption->count() > 0) {
        if (options.generator.delayMinMs > options.generator.delayMaxMs) {
            return fail("--delay-min-ms is greater than --delay-max-ms", kExitUsage);
        }
        scenario = generateScenario(options.generator);
    } else {
        return fail("give --scenario FILE or --generate N", kExitUsage);
    }

    SimulatorOptions simulatorOptions;
    simulatorOptions.masterPort = masterPortOption->count() > 0 ? static_cast<uint16_t>(options.masterPort)
                                                                : scenario.master.port.value_or(kMasterPort);
    if (!NET_ParseDotted(options.bindAddress, simulatorOptions.bindIp)) {
        return fail("--bind: not a dotted IPv4 address: " + options.bindAddress, kExitUsage);
    }
    simulatorOptions.basePort = static_cast<uint16_t>(options.basePort);
    simulatorOptions.masterListLimit = options.masterListBytes;
    simulatorOptions.verbose = options.verbose;
    simulatorOptions.accounts = options.accounts;
    simulatorOptions.accounts.versionReply =
        options.versionRefusal == "refused" ? VersionReply::Refused : VersionReply::Rejected;
    simulatorOptions.accounts.delay =
        std::chrono::microseconds(std::llround(options.accountDelayMs * 1000.0));
    simulatorOptions.accounts.verbose = options.verbose;

    if (!SOCK_Startup()) {
        return fail("cannot start the socket layer");
    }
    const int status = serve(std::move(scenario), simulatorOptions, options);
    SOCK_Cleanup();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    // The expected failures are return values; whatever else is thrown is a
    // fault, reported with its own code rather than as an abort.
    try {
        return run(argc, argv);
    } catch (const std::exception& exception) {
        std::fprintf(stderr, "pellrig-sim: internal error: %s\n", exception.what());
    } catch (...) {
        std::fprintf(stderr, "pellrig-sim: internal error\n");
    }
    return kExitInternalError;
}
