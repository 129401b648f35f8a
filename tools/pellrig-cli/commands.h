#pragma once

#include <functional>
#include <vector>

#include <CLI/CLI.hpp>

// Each group of pellrig-cli commands adds its subcommands to the application and
// says how to run each one; main() runs the one that was parsed.

struct Command {
    CLI::App* subcommand;
    std::function<int()> run;
};

inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoMaster = 3;

// list, query
void addBrowseCommands(CLI::App& app, std::vector<Command>& commands);
