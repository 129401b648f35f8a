#pragma once

#include <filesystem>
#include <string>

#include "launch/user_messages.h"

// Makes the settings file at `location` one with which the program starts on
// its own: the credentials remembered, automatic log-in on, the first run over
// and no news check. The file's other settings (the WAD directories, the extra
// parameters) stay. For demonstrations, tests and benchmarks that run without
// a user. Returns whether the file was written; leaves the settings in memory
// reset.
bool writeUnattendedSettings(const std::filesystem::path& location, const std::string& user,
                             const std::string& password, ModalMessageView& messages);
