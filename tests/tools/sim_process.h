#pragma once

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "child_process.h"

// pellrig-sim started for one test: its master on a free port, a time limit,
// and no game servers unless the options name a scenario. Reads up to the
// ready line; `master` stays empty when none came.
struct SimProcess {
    std::unique_ptr<ChildProcess> process;
    std::string master;
    std::vector<std::string> output;  // every line read so far

    explicit SimProcess(std::vector<std::string> options,
                        ChildProcess::Output streams = ChildProcess::Output::StdoutOnly) {
        options.insert(options.end(), {"--master-port", "0", "--exit-after-ms", "60000"});
        if (std::find(options.begin(), options.end(), "--scenario") == options.end()) {
            options.insert(options.end(), {"--generate", "0"});
        }
        std::string error;
        process = ChildProcess::start(PELLRIG_SIM_PATH, options, error, streams);
        EXPECT_NE(process, nullptr) << error;
        std::string line;
        while (process != nullptr && process->readLine(line, std::chrono::seconds(10))) {
            output.push_back(line);
            if (line.rfind("ready master=", 0) == 0) {
                master = line.substr(13, line.find(' ', 13) - 13);
                break;
            }
        }
    }

    // Stops the simulator and returns everything it printed.
    std::vector<std::string> stop() {
        process->terminate();
        EXPECT_EQ(process->wait(std::chrono::seconds(10)), 0);
        std::string line;
        while (process->readLine(line, std::chrono::seconds(1))) {
            output.push_back(line);
        }
        return output;
    }
};
