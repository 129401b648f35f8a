// pellrig-cli join: log in, query one server and start the game on it exactly
// as a double click in the program does.
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "account_session.h"
#include "ansi_text.h"
#include "browser/server_table.h"
#include "commands.h"
#include "launch/config_file.h"
#include "launch/game_launch.h"
#include "launch/settings.h"

namespace {

struct JoinOptions {
    std::string target;  // HOST:PORT
    std::string master{kDefaultMasterHost};
    std::string user;
    std::string password;
    uint16_t localPort = 0;
    bool dryRun = false;
};

// Logs in with the given or the remembered credentials; the account's level on
// success, else the exit code after the program's text.
std::optional<int32_t> logIn(const JoinOptions& options, int& exitCode) {
    std::string user = options.user;
    std::string password = options.password;
    if (user.empty()) {
        const auto lock = lockSettings();
        user = bv_username;
        password = bv_password;
    }
    // Joining is no first run: the settings file says so, and the master list
    // that follows a log-in would only replace the one server asked for.
    AccountSession session(options.master, options.localPort, {});
    const LoginResult result = session.service().logIn(LoginRequestKind::LogIn, user, password, true);
    if (result.outcome != LoginOutcome::Accepted && result.outcome != LoginOutcome::AcceptedCompact) {
        std::fprintf(stderr, "%s\n", utf8FromAnsi(result.text).c_str());
        exitCode = result.outcome == LoginOutcome::VersionRefused ? kExitVersionRefused : kExitRefused;
        return std::nullopt;
    }
    const auto lock = lockSettings();
    bv_username = user;
    bv_password = password;
    return result.account.level;
}

// The server's record from one custom query; none, with the exit code after
// its message, when the address is incomplete or the server stays silent.
std::optional<ServerRecord> queryServer(const JoinOptions& options, int& exitCode) {
    const size_t colon = options.target.rfind(':');
    BrowserSession session(options.master, options.localPort);
    if (!session.browser().CustomServerQuery(options.target.substr(0, colon),
                                             options.target.substr(colon + 1))) {
        exitCode = kExitUsage;
        return std::nullopt;
    }
    if (!session.waitForAnswer(std::chrono::seconds(2))) {
        std::fprintf(stderr, "pellrig-cli: no answer from the game server %s\n", options.target.c_str());
        exitCode = kExitNoGameServer;
        return std::nullopt;
    }
    const auto lock = lockBrowser();
    return server_table[0];
}

int join(const JoinOptions& options) {
    if (options.target.rfind(':') == std::string::npos) {
        std::fprintf(stderr, "pellrig-cli: expected HOST:PORT, got %s\n", options.target.c_str());
        return kExitUsage;
    }
    BV_LoadConfig();
    int exitCode = 0;
    const std::optional<int32_t> level = logIn(options, exitCode);
    if (!level) {
        return exitCode;
    }
    const std::optional<ServerRecord> server = queryServer(options, exitCode);
    if (!server) {
        return exitCode;
    }
    MemoryUserMessageSink sink;
    if (options.dryRun) {
        const std::optional<GameCommand> command = prepareLaunch(*server, *level, sink);
        if (!command) {
            printMessages(sink);
            return kExitLaunchFailed;
        }
        std::printf("%s\n", utf8FromAnsi(command->commandLine).c_str());
        return 0;
    }
    LaunchGame(server, *level, sink);
    printMessages(sink);
    return sink.messages().empty() ? 0 : kExitLaunchFailed;
}

}  // namespace

void addJoinCommand(CLI::App& app, std::vector<Command>& commands) {
    auto options = std::make_shared<JoinOptions>();
    CLI::App* joinCommand = app.add_subcommand("join", "Log in and start the game on one server");
    joinCommand->add_option("address", options->target, "Game server HOST:PORT")->required();
    joinCommand->add_option("--master", options->master, "Master server HOST[:PORT]");
    joinCommand->add_option("--user", options->user, "Account name (default: the remembered one)")
        ->transform(ansiArgument());
    joinCommand->add_option("--password", options->password, "Account password")->transform(ansiArgument());
    joinCommand->add_option("--local-port", options->localPort, "Local UDP port (0 = any free port)");
    joinCommand->add_flag("--dry-run", options->dryRun,
                          "Print the command line instead of starting the game");
    commands.push_back({joinCommand, [options] { return join(*options); }});
}
