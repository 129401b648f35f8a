#pragma once

// What the sweep benchmarks share: the simulated servers (reply delays spread
// from 1 to 150 ms, every tenth silent, the same for a given count), the
// simulator playing them, the core's sweep on its own, and the time the
// sweep's pacing allows.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "browser/dispatcher.h"
#include "browser/memory_row_view.h"
#include "browser/ping_sweep.h"
#include "browser/queued_message_view.h"
#include "browser/receive_thread.h"
#include "browser/server_table.h"
#include "child_process.h"

struct BenchServer {
    double delayMs;
    bool silent;
};

// The SERVERS argument of the benchmarks: 1 to kMaxServers.
inline int benchServerCount(const char* text) {
    return static_cast<int>(std::clamp(std::strtol(text, nullptr, 10), 1L, static_cast<long>(kMaxServers)));
}

inline std::vector<BenchServer> makeBenchServers(int count) {
    std::mt19937 rng(512);
    std::uniform_real_distribution<double> delay(1.0, 150.0);
    std::vector<BenchServer> servers;
    servers.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        servers.push_back({delay(rng), i % 10 == 9});
    }
    return servers;
}

inline void writeBenchScenario(const std::vector<BenchServer>& servers, const std::filesystem::path& path) {
    nlohmann::json list = nlohmann::json::array();
    for (size_t i = 0; i < servers.size(); ++i) {
        list.push_back({{"name", "Bench " + std::to_string(i)},
                        {"map", "MAP01"},
                        {"delay_ms", servers[i].delayMs},
                        {"silent", servers[i].silent}});
    }
    std::ofstream(path) << nlohmann::json{{"servers", list}}.dump();
}

// Whether the server's answer sets when the next query goes: one later than
// 100 ms no longer holds the sweep back.
inline bool pacedByAnswer(const BenchServer& server) {
    return !server.silent && server.delayMs < 100.0;
}

// The sweep as its pacing allows it: the next query 70 ms after an answer,
// 100 ms after a query that got none in time.
inline double idealSweepMs(std::span<const BenchServer> servers) {
    double ideal = 0;
    for (const BenchServer& server : servers) {
        ideal += pacedByAnswer(server) ? server.delayMs + 70.0 : 100.0;
    }
    return ideal;
}

// pellrig-sim playing a scenario, its master on a free port.
struct BenchSimulator {
    std::unique_ptr<ChildProcess> process;
    std::string master;
    std::vector<std::string> addresses;  // every game server, in scenario order
    size_t listed = 0;                   // how many of them, from the first, the master lists

    // Returns false with a reason when the simulator did not come up.
    bool start(const std::string& program, const std::string& scenario, std::string& error) {
        process = ChildProcess::start(
            program,
            {"--scenario", scenario, "--master-port", "0", "--print-servers", "--exit-after-ms", "600000"},
            error, ChildProcess::Output::StdoutAndStderr);
        if (process == nullptr) {
            return false;
        }
        // The master list holds one datagram; the simulator says so when the
        // servers do not all fit.
        constexpr std::string_view kCut = "pellrig-sim: the master lists ";
        std::optional<size_t> fitting;
        std::string line;
        while (process->readLine(line, std::chrono::seconds(10))) {
            if (line.rfind("server ", 0) == 0) {
                addresses.push_back(line.substr(7));
            } else if (line.rfind("ready master=", 0) == 0) {
                master = line.substr(13, line.find(' ', 13) - 13);
                listed = fitting.value_or(addresses.size());
                return true;
            } else {
                std::fprintf(stderr, "%s\n", line.c_str());
                if (line.rfind(kCut, 0) == 0) {
                    fitting = std::strtoul(line.c_str() + kCut.size(), nullptr, 10);
                }
            }
        }
        error = "no ready line";
        return false;
    }

    // Its exit status, or none when it did not end in time.
    std::optional<int> stop() {
        process->terminate();
        return process->wait(std::chrono::seconds(10));
    }
};

inline double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct CoreSweepRun {
    double elapsedMs;
    double cpuSeconds;  // the whole process's, during the sweep
};

// Sweeps `addresses` with the browser core alone, its rows kept in memory, the
// table filled as a master list fills it: the fast refresh when `fast`, else the
// paced sweep. The network must be up; the results stay in server_table.
inline CoreSweepRun runCoreSweep(const std::vector<std::string>& addresses, bool fast = false) {
    using Clock = std::chrono::steady_clock;
    MemoryRowView serverList;
    MemoryRowView playerList;
    MemoryQueuedMessageView messages;
    PingSweeps sweeps(serverList);
    sweeps.setFast(fast);
    Dispatcher dispatcher({serverList, playerList, messages}, &sweeps);
    ReceiveThread receiver(dispatcher);

    uint64_t generation = 0;
    {
        const auto lock = lockBrowser();
        resetServerTable();
        generation = serverTableGeneration();
        for (size_t i = 0; i < addresses.size(); ++i) {
            ServerRecord& record = server_table[i];
            record = ServerRecord{};
            copyText(record.address, addresses[i]);
            serverList.insertRow(0, static_cast<int>(i), 0);
            ++server_count;
        }
    }
    const double cpuBefore = processCpuSeconds();
    const Clock::time_point start = Clock::now();
    sweeps.restart(generation);
    sweeps.waitIdle(std::chrono::minutes(10));
    const double elapsedMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return {elapsedMs, processCpuSeconds() - cpuBefore};
}

// The sweep benchmarks' main: whatever `run` throws (only an allocation failure
// is expected) is printed and ends the run with status 1.
inline int benchMain(int (*run)(int, char**), int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& exception) {
        std::fprintf(stderr, "%s\n", exception.what());
        return 1;
    }
}
