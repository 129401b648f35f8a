// The ping sweep over 512 simulated game servers (a tenth silent, reply delays
// spread from 1 to 150 ms), against the time its pacing allows: the next query
// 70 ms after an answer, 100 ms after a silent query. Also prints the ping
// error against the injected delays and the client's CPU time during the sweep.
//
// Usage: sweep_bench PELLRIG_SIM [SERVERS]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "browser/dispatcher.h"
#include "browser/memory_row_view.h"
#include "browser/message_sink.h"
#include "browser/ping_sweep.h"
#include "browser/receive_thread.h"
#include "browser/server_table.h"
#include "child_process.h"
#include "net/transport.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Server {
    double delayMs;
    bool silent;
};

std::vector<Server> makeServers(int count) {
    std::mt19937 rng(512);
    std::uniform_real_distribution<double> delay(1.0, 150.0);
    std::vector<Server> servers;
    for (int i = 0; i < count; ++i) {
        servers.push_back({delay(rng), i % 10 == 9});
    }
    return servers;
}

std::string writeScenario(const std::vector<Server>& servers) {
    nlohmann::json list = nlohmann::json::array();
    for (size_t i = 0; i < servers.size(); ++i) {
        list.push_back({{"name", "Bench " + std::to_string(i)},
                        {"map", "MAP01"},
                        {"delay_ms", servers[i].delayMs},
                        {"silent", servers[i].silent}});
    }
    const auto path = std::filesystem::temp_directory_path() / "pellrig_sweep_bench.json";
    std::ofstream(path) << nlohmann::json{{"servers", list}}.dump();
    return path.string();
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: sweep_bench PELLRIG_SIM [SERVERS]\n");
        return 2;
    }
    const int count = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, kMaxServers) : kMaxServers;
    const std::vector<Server> servers = makeServers(count);
    std::string error;
    auto sim = ChildProcess::start(argv[1],
                                   {"--scenario", writeScenario(servers), "--master-port", "0",
                                    "--print-servers", "--exit-after-ms", "600000"},
                                   error);
    if (sim == nullptr) {
        std::fprintf(stderr, "cannot start the simulator: %s\n", error.c_str());
        return 1;
    }
    std::vector<std::string> addresses;
    std::string line;
    while (sim->readLine(line, std::chrono::seconds(10)) && line.rfind("ready", 0) != 0) {
        if (line.rfind("server ", 0) == 0) {
            addresses.push_back(line.substr(7));
        }
    }
    if (addresses.size() != servers.size()) {
        std::fprintf(stderr, "the simulator listed %zu servers\n", addresses.size());
        return 1;
    }

    NET_Init({0, "127.0.0.1"});
    {
        MemoryRowView serverList;
        MemoryRowView playerList;
        MemoryMessageSink messages;
        PingSweeps sweeps(serverList);
        Dispatcher dispatcher({serverList, playerList, messages}, &sweeps);
        ReceiveThread receiver(dispatcher);

        uint64_t generation = 0;
        {
            const auto lock = lockBrowser();
            resetServerTable();
            generation = serverTableGeneration();
            for (int i = 0; i < count; ++i) {
                ServerRecord& record = server_table[static_cast<size_t>(i)];
                record = ServerRecord{};
                copyText(record.address, addresses[static_cast<size_t>(i)]);
                serverList.insertRow(0, i, 0);
                ++server_count;
            }
        }
        const double cpuBefore = cpuSeconds();
        const Clock::time_point start = Clock::now();
        sweeps.restart(generation);
        sweeps.waitIdle(std::chrono::minutes(10));
        const double elapsedMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        const double cpu = cpuSeconds() - cpuBefore;

        double idealMs = 0;
        double errorSum = 0;
        double worstError = 0;
        int answered = 0;
        int wrong = 0;
        const auto lock = lockBrowser();
        for (int i = 0; i < count; ++i) {
            const Server& server = servers[static_cast<size_t>(i)];
            const ServerRecord& record = server_table[static_cast<size_t>(i)];
            // An answer later than 100 ms no longer holds the sweep back.
            const bool paced = !server.silent && server.delayMs < 100.0;
            idealMs += paced ? server.delayMs + 70.0 : 100.0;
            if (!paced) {
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
        std::printf("sweep time              %.0f ms\n", elapsedMs);
        std::printf("ideal time              %.0f ms\n", idealMs);
        std::printf("sweep / ideal           %.4f   (target <= 1.02)\n", elapsedMs / idealMs);
        std::printf("ping error mean         %.3f ms (target <= 1; %d servers answering within 100 ms)\n",
                    errorSum / std::max(answered, 1), answered);
        std::printf("ping error worst        %.3f ms (target <= 3)\n", worstError);
        std::printf("client CPU              %.2f %% of one core (target < 5)\n",
                    100.0 * cpu / (elapsedMs / 1000));
        std::printf("misjudged servers       %d\n", wrong);
    }
    NET_Shutdown();
    sim->terminate();
    sim->wait(std::chrono::seconds(10));
    return 0;
}
