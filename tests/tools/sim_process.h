#pragma once

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "child_process.h"

// pellrig-sim started for one test: its master on a free port, a time limit,
// and no game servers unless the options name a scenario or a count. Reads up
// to the ready line; `master` stays empty when none came.
//
// A simulator that came up is stopped when the object goes, if stop() has not
// stopped it before, and the test fails unless it exits with status 0. That is
// how a sanitizer's report inside the simulator reaches the test: the report
// makes it exit otherwise.
struct SimProcess {
    std::unique_ptr<ChildProcess> process;
    std::string master;                // "127.0.0.1:port"
    std::vector<std::string> servers;  // the game servers --print-servers printed
    std::vector<std::string> output;   // every line read so far

    explicit SimProcess(std::vector<std::string> options,
                        ChildProcess::Output streams = ChildProcess::Output::StdoutOnly) {
        const auto given = [&options](const char* option) {
            return std::find(options.begin(), options.end(), option) != options.end();
        };
        if (!given("--scenario") && !given("--generate")) {
            options.insert(options.end(), {"--generate", "0"});
        }
        options.insert(options.end(), {"--master-port", "0", "--exit-after-ms", "60000"});
        std::string error;
        process = ChildProcess::start(PELLRIG_SIM_PATH, options, error, streams);
        EXPECT_NE(process, nullptr) << error;
        std::string line;
        while (process != nullptr && process->readLine(line, std::chrono::seconds(10))) {
            output.push_back(line);
            if (line.rfind("server ", 0) == 0) {
                servers.push_back(line.substr(7));
            } else if (line.rfind("ready master=", 0) == 0) {
                master = line.substr(13, line.find(' ', 13) - 13);
                break;
            }
        }
    }

    ~SimProcess() {
        if (!m_stopped && !master.empty()) {
            stop();
        }
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Stops the simulator with SIGTERM, expects it to exit with status 0, and
    // returns everything it printed.
    std::vector<std::string> stop() {
        m_stopped = true;
        if (process == nullptr) {
            return output;
        }
        const size_t printed = output.size();
        process->terminate();
        const std::optional<int> status = process->wait(std::chrono::seconds(10));
        std::string line;
        while (process->readLine(line, std::chrono::seconds(1))) {
            output.push_back(line);
        }
        std::string after;
        for (size_t i = printed; i < output.size(); ++i) {
            after += output[i] + "\n";
        }
        EXPECT_EQ(status, 0) << "pellrig-sim did not stop cleanly; it printed after the start:\n" << after;
        return output;
    }

  private:
    bool m_stopped = false;
};
