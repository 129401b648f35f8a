#pragma once

#include <filesystem>
#include <string>

#include "launch/user_messages.h"

// Writes a settings file at `location` with which the program starts on its
// own: the credentials remembered, automatic log-in on, the first run over and
// no news check. For demonstrations and benchmarks that run without a user.
// Leaves the settings in memory reset.
void writeUnattendedSettings(const std::filesystem::path& location, const std::string& user,
                             const std::string& password, UserMessageSink& messages);
