#pragma once

#include <cstdint>
#include <string>

#include <CLI/CLI.hpp>

#include "accounts/account_service.h"
#include "browser/browser_ops.h"

// The options that several pellrig-cli commands take, each declared once here.

// What the commands that talk to the servers share; each takes the ones it needs.
struct CommonOptions {
    std::string master{kDefaultMasterHost};
    uint16_t localPort = 0;
    int timeoutMs = 5000;
    bool json = false;
};

// --master HOST[:PORT]
void addMasterOption(CLI::App& command, std::string& master);
// --local-port PORT, 0 for any free one
void addLocalPortOption(CLI::App& command, uint16_t& localPort);
// --timeout-ms, with `description` saying what it waits for; up to ten
// minutes, as anything longer or below zero is a slip of the keyboard
void addTimeoutOption(CLI::App& command, int& timeoutMs, const std::string& description);
// --json
void addJsonFlag(CLI::App& command, bool& json);

// --master, --local-port, --timeout-ms (`timeoutDescription`) and --json: a
// command that asks the master server.
void addMasterCommandOptions(CLI::App& command, CommonOptions& options,
                             const std::string& timeoutDescription);

// For an argument that goes to the master server as typed (a user name, a
// password, a player to look up): turns the UTF-8 text into its Latin-1 bytes,
// and refuses one that has none as a usage error.
CLI::Validator latin1Argument();

enum class CredentialsUse {
    Required,
    RememberedByDefault,  // left out, the settings file's remembered ones serve
};

// --user and --password, each a Latin-1 argument
void addCredentialOptions(CLI::App& command, Credentials& credentials, CredentialsUse use);
