#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include "exit_codes.h"

// Fetching WADs as the program does, for `wads fetch` and `join --fetch`.

// --site URL, any number of times: the WAD sites to try, in order.
void addWadSiteOption(CLI::App& command, std::vector<std::string>& sites);

// Fetches `names` from `sites`, or without them from the WAD sites of
// pellrig.json, into the first WAD directory of the loaded settings, with the
// progress on standard error; prints each file's path.
ExitCode fetchMissingWads(const std::vector<std::string>& names, std::vector<std::string> sites);
