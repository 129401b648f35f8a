// The ping sweep over 512 simulated game servers (a tenth silent, reply delays
// spread from 1 to 150 ms), against the time its pacing allows: the next query
// 70 ms after an answer, 100 ms after a silent query. Also prints the ping
// error against the injected delays and the client's CPU time during the sweep.
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
    {
        const CoreSweepRun sweep = runCoreSweep(sim.addresses);
        const double idealMs = idealSweepMs(servers);
        double errorSum = 0;
        double worstError = 0;
        int answered = 0;
        int wrong = 0;
        const auto lock = lockBrowser();
        for (int i = 0; i < count; ++i) {
            const BenchServer& server = servers[static_cast<size_t>(i)];
            const ServerRecord& record = server_table[static_cast<size_t>(i)];
            if (!pacedByAnswer(server)) {
                wrong += server.silent && record.answered ? 1 : 0;
                continue;
            }
            wrong += record.answered ? 0 : 1;
            const double err = std::abs(record.ping - server.delayMs);
            errorSum += err;
            worstError = std::max(worstError, err);
            ++answered;
        }
        std::printf("servers                 %d (%d silent)\n", count, count / 10);
        std::printf("sweep time              %.0f ms\n", sweep.elapsedMs);
        std::printf("ideal time              %.0f ms\n", idealMs);
        std::printf("sweep / ideal           %.4f   (target <= 1.02)\n", sweep.elapsedMs / idealMs);
        std::printf("ping error mean         %.3f ms (target <= 1; %d servers answering within 100 ms)\n",
                    errorSum / std::max(answered, 1), answered);
        std::printf("ping error worst        %.3f ms (target <= 3)\n", worstError);
        std::printf("client CPU              %.2f %% of one core (target < 5)\n",
                    100.0 * sweep.cpuSeconds / (sweep.elapsedMs / 1000));
        std::printf("misjudged servers       %d\n", wrong);
    }
    NET_Shutdown();
    sim.stop();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return benchMain(run, argc, argv);
}
