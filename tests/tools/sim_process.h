#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "child_process.h"
#include "sim_start.h"
#include "temp_dir.h"

// pellrig-sim started for one test, with simArguments' defaults. Reads up to
// the ready line; `master` stays empty when none came (the start failed).
//
// A simulator that came up is stopped when the object goes, if stop() or
// waitForExit() has not ended it before, and the test fails unless it exits
// with status 0. That is how a sanitizer's report inside the simulator reaches
// the test: the report makes it exit otherwise.
struct SimProcess {
    std::unique_ptr<ChildProcess> process;
    std::string master;                // "127.0.0.1:port"
    std::string news;                  // the news server's "127.0.0.1:port", with --news-port
    std::vector<std::string> servers;  // the game servers' addresses, in scenario order
    std::vector<std::string> output;   // every line read so far

    explicit SimProcess(std::vector<std::string> options,
                        ChildProcess::Output streams = ChildProcess::Output::StdoutOnly) {
        std::string error;
        process = ChildProcess::start(PELLRIG_SIM_PATH, simArguments(std::move(options)), error, streams);
        EXPECT_NE(process, nullptr) << error;
        std::string line;
        while (process != nullptr && process->readLine(line, std::chrono::seconds(10))) {
            output.push_back(line);
            if (line.rfind("server ", 0) == 0) {
                servers.push_back(line.substr(7));
            } else if (const std::optional<SimReady> ready = simReadyLine(line)) {
                master = ready->master;
                news = ready->news;
                break;
            }
        }
    }

    ~SimProcess() {
        if (!m_ended && !master.empty()) {
            stop();
        }
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Waits for a simulator that failed to start, or stops by itself, to end:
    // its exit status, or nullopt when it is still running after a generous wait.
    std::optional<int> waitForExit() {
        m_ended = true;
        return process == nullptr ? std::nullopt : process->wait(std::chrono::seconds(10));
    }

    // Stops the simulator with SIGTERM, expects it to exit with status 0, and
    // returns everything it printed.
    std::vector<std::string> stop() {
        m_ended = true;
        if (process == nullptr) {
            return output;
        }
        process->terminate();
        const std::optional<int> status = process->wait(std::chrono::seconds(10));
        std::string line;
        while (process->readLine(line, std::chrono::seconds(1))) {
            output.push_back(line);
        }
        EXPECT_EQ(status, 0) << "pellrig-sim did not stop cleanly; it printed:\n"
                             << testing::PrintToString(output);
        return output;
    }

  private:
    bool m_ended = false;
};
