// pellrig-cli join: log in, query one server and start the game on it exactly
// as a double click in the program does.
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "account_session.h"
#include "browser/server_launch_target.h"
#include "browser/server_table.h"
#include "browser_session.h"
#include "commands.h"
#include "common_options.h"
#include "host_port.h"
#include "latin1_text.h"
#include "launch/config_file.h"
#include "launch/game_launch.h"
#include "launch/settings.h"
#ifdef PELLRIG_WAD_FETCH
#include "launch/wad_fetch.h"
#include "wad_fetch_command.h"
#endif

namespace {

struct JoinOptions {
    std::string address;  // HOST:PORT
    std::string master{kDefaultMasterHost};
    Credentials credentials;
    uint16_t localPort = 0;
    bool dryRun = false;
    bool fetch = false;  // missing PWADs are fetched from `sites` first
    std::vector<std::string> sites;
};

// Logs in with the given or the remembered credentials; the account's level on
// success, else the exit code after the program's text.
std::optional<int32_t> logIn(const JoinOptions& options, ExitCode& exitCode) {
    Credentials credentials = options.credentials;
    if (credentials.user.empty()) {
        const auto lock = lockSettings();
        credentials = {bv_username, bv_password};
    }
    // Joining is no first run: the settings file says so, and the master list
    // that follows a log-in would only replace the one server asked for.
    AccountSession session(options.master, options.localPort, {});
    const LoginResult result =
        session.service().logIn(LoginRequestKind::LogIn, credentials.user, credentials.password, true);
    exitCode = loginExitCode(result);
    if (exitCode != ExitCode::Done) {
        return std::nullopt;
    }
    const auto lock = lockSettings();
    bv_username = credentials.user;
    bv_password = credentials.password;
    return result.account.level;
}

// The server's record from one custom query; none, with the exit code after
// its message, when the address is incomplete or the server stays silent.
std::optional<ServerRecord> queryServer(const JoinOptions& options, const HostPort& address,
                                        ExitCode& exitCode) {
    BrowserSession session(options.master, options.localPort);
    if (!session.browser().CustomServerQuery(address.host, address.port)) {
        exitCode = ExitCode::Usage;
        return std::nullopt;
    }
    if (!session.waitForAnswer(std::chrono::seconds(2))) {
        printFailure("no answer from the game server " + options.address);
        exitCode = ExitCode::NoGameServer;
        return std::nullopt;
    }
    const auto lock = lockBrowser();
    return server_table[0];
}

ExitCode launch(const LaunchTarget& server, int32_t level, bool dryRun) {
    MemoryModalMessageView sink;
    if (dryRun) {
        const std::optional<GameCommand> command = prepareLaunch(server, level, sink);
        if (!command) {
            printCoreMessages(sink);
            return ExitCode::LaunchFailed;
        }
        std::printf("%s\n", utf8FromLatin1(command->commandLine).c_str());
        return ExitCode::Done;
    }
    LaunchGame(server, level, sink);
    printCoreMessages(sink);
    return sink.messages().empty() ? ExitCode::Done : ExitCode::LaunchFailed;
}

ExitCode join(const JoinOptions& options) {
    const std::optional<HostPort> address = splitHostPort(options.address);
    if (!address) {
        return ExitCode::Usage;
    }
    BV_LoadConfig();
    ExitCode exitCode = ExitCode::Done;
    const std::optional<int32_t> level = logIn(options, exitCode);
    if (!level) {
        return exitCode;
    }
    const std::optional<ServerRecord> server = queryServer(options, *address, exitCode);
    if (!server) {
        return exitCode;
    }
    const LaunchTarget target = launchTargetOf(*server);
#ifdef PELLRIG_WAD_FETCH
    if (options.fetch) {
        const std::vector<std::string> missing = pwadsToFetch(target);
        if (!missing.empty() && fetchMissingWads(missing, options.sites) != ExitCode::Done) {
            return ExitCode::FetchFailed;
        }
    }
#endif
    return launch(target, *level, options.dryRun);
}

}  // namespace

void addJoinCommand(CLI::App& app, std::vector<Command>& commands) {
    auto options = std::make_shared<JoinOptions>();
    CLI::App* joinCommand = app.add_subcommand("join", "Log in and start the game on one server");
    joinCommand->add_option("address", options->address, "Game server HOST:PORT")->required();
    addMasterOption(*joinCommand, options->master);
    addCredentialOptions(*joinCommand, options->credentials, CredentialsUse::RememberedByDefault);
    addLocalPortOption(*joinCommand, options->localPort);
    joinCommand->add_flag("--dry-run", options->dryRun,
                          "Print the command line instead of starting the game");
#ifdef PELLRIG_WAD_FETCH
    joinCommand->add_flag("--fetch", options->fetch, "Fetch missing PWADs from the WAD sites first");
    addWadSiteOption(*joinCommand, options->sites);
#endif
    commands.push_back({joinCommand, [options] { return join(*options); }});
}
