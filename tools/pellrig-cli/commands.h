#pragma once

#include <functional>
#include <vector>

#include <CLI/CLI.hpp>

#include "launch/user_messages.h"

// Each group of pellrig-cli commands adds its subcommands to the application and
// says how to run each one; main() runs the one that was parsed.

struct Command {
    CLI::App* subcommand;
    std::function<int()> run;
};

// Exit codes; README.md lists which command returns which. A network command
// whose local UDP port cannot be opened ends with the core's fatal-error code
// instead (-10, seen as 246).
inline constexpr int kExitSaveFailed = 1;  // pellrig32.cfg could not be written
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoMaster = 3;
inline constexpr int kExitRefused = 4;  // the master said no, or a log-in found no master
inline constexpr int kExitLaunchFailed = 5;
inline constexpr int kExitNewsFailed = 6;
inline constexpr int kExitNoGameServer = 7;
inline constexpr int kExitVersionRefused = 10;
inline constexpr int kExitInternalError = 70;  // an exception reached main(): a fault of pellrig-cli

// The messages that the settings, WAD, launch and news code showed, one a line
// on standard error.
void printMessages(const MemoryUserMessageSink& sink);

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
