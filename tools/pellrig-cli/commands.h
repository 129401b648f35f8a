#pragma once

#include <functional>
#include <vector>

#include <CLI/CLI.hpp>

#include "exit_codes.h"

// Each group of pellrig-cli commands adds its subcommands to the application and
// says how to run each one; main() runs the one that was parsed.

struct Command {
    CLI::App* subcommand;
    std::function<ExitCode()> run;
};

// list, query
void addBrowseCommands(CLI::App& app, std::vector<Command>& commands);
// login, lookup, recent
void addAccountCommands(CLI::App& app, std::vector<Command>& commands);
// wads scan, config show, config unattended
void addLaunchCommands(CLI::App& app, std::vector<Command>& commands);
// join
void addJoinCommand(CLI::App& app, std::vector<Command>& commands);
// news
void addNewsCommand(CLI::App& app, std::vector<Command>& commands);
