// Both ping sweeps over 512 simulated game servers (a tenth silent, reply
// delays spread from 1 to 150 ms), one after the other on the same servers:
// the paced sweep against the time its pacing allows (the next query 70 ms
// after an answer, 100 ms after a silent query), and the fast refresh against
// its targets. For each: the time, the ping error against the injected delays,
// the servers misjudged, and the client's CPU time during the sweep.
//
// Usage: sweep_bench PELLRIG_SIM [SERVERS]

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "net/transport.h"
#include "sweep_scenario.h"

namespace {

struct PingFigures {
    double errorMean = 0;
    double errorWorst = 0;
    int measured = 0;
    int misjudged = 0;
};

// Compares the table with the injected delays. `measured` says whose ping
// counts, and whose silence is a misjudgement; a silent server that answered
// is always one.
template <typename Measured>
PingFigures judgePings(const std::vector<BenchServer>& servers, Measured measured) {
    PingFigures figures;
    double errorSum = 0;
    const auto lock = lockBrowser();
    for (size_t i = 0; i < servers.size(); ++i) {
        const BenchServer& server = servers[i];
        const ServerRecord& record = server_table[i];
        if (!measured(server)) {
            figures.misjudged += server.silent && record.answered ? 1 : 0;
            continue;
        }
        figures.misjudged += record.answered ? 0 : 1;
        const double error = std::abs(record.ping - server.delayMs);
        errorSum += error;
        figures.errorWorst = std::max(figures.errorWorst, error);
        ++figures.measured;
    }
    figures.errorMean = errorSum / std::max(figures.measured, 1);
    return figures;
}

void printFigures(const CoreSweepRun& sweep, const PingFigures& pings, const char* measured,
                  const char* cpuTarget) {
    std::printf("  ping error mean        %.3f ms (target <= 1; %d servers %s)\n", pings.errorMean,
                pings.measured, measured);
    std::printf("  ping error worst       %.3f ms (target <= 3)\n", pings.errorWorst);
    std::printf("  client CPU             %.2f %% of one core (target < %s)\n",
                100.0 * sweep.cpuSeconds / (sweep.elapsedMs / 1000), cpuTarget);
    std::printf("  misjudged servers      %d (target 0)\n", pings.misjudged);
}

int run(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: sweep_bench PELLRIG_SIM [SERVERS]\n");
        return 2;
    }
    const int count = argc > 2 ? benchServerCount(argv[2]) : kMaxServers;
    const std::vector<BenchServer> servers = makeBenchServers(count);
    const auto scenario = std::filesystem::temp_directory_path() / "pellrig_sweep_bench.json";
    writeBenchScenario(servers, scenario);
    BenchSimulator sim;
    std::string error;
    if (!sim.start(argv[1], scenario.string(), error)) {
        std::fprintf(stderr, "cannot start the simulator: %s\n", error.c_str());
        return 1;
    }
    if (sim.addresses.size() != servers.size()) {
        std::fprintf(stderr, "the simulator listed %zu servers\n", sim.addresses.size());
        return 1;
    }

    NET_Init({0, "127.0.0.1"});
    std::printf("servers                  %d (%d silent)\n", count, count / 10);
    {
        const CoreSweepRun sweep = runCoreSweep(sim.addresses);
        const double idealMs = idealSweepMs(servers);
        std::printf("paced sweep\n");
        std::printf("  sweep time             %.0f ms\n", sweep.elapsedMs);
        std::printf("  ideal time             %.0f ms\n", idealMs);
        std::printf("  sweep / ideal          %.4f   (target <= 1.02)\n", sweep.elapsedMs / idealMs);
        printFigures(sweep, judgePings(servers, pacedByAnswer), "answering within 100 ms", "5");
    }
    {
        const CoreSweepRun sweep = runCoreSweep(sim.addresses, true);
        std::printf("fast refresh\n");
        std::printf("  sweep time             %.0f ms (target <= 2500)\n", sweep.elapsedMs);
        printFigures(sweep, judgePings(servers, [](const BenchServer& server) { return !server.silent; }),
                     "answering", "25");
    }
    NET_Shutdown();
    sim.stop();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return benchMain(run, argc, argv);
}
