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
inline constexpr int kExitRefused = 4;  // the master said no, or a log-in found no master
inline constexpr int kExitVersionRefused = 10;

// list, query
void addBrowseCommands(CLI::App& app, std::vector<Command>& commands);
// login, lookup, recent
void addAccountCommands(CLI::App& app, std::vector<Command>& commands);
// wads scan, config show
void addLaunchCommands(CLI::App& app, std::vector<Command>& commands);
// join
void addJoinCommand(CLI::App& app, std::vector<Command>& commands);
// news
void addNewsCommand(CLI::App& app, std::vector<Command>& commands);
