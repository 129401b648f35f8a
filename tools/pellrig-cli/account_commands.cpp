// pellrig-cli login, lookup and recent: the account service run as in the program.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "account_session.h"
#include "accounts/account_records.h"
#include "ansi_text.h"
#include "commands.h"

namespace {

using json = nlohmann::ordered_json;

struct AccountCommandOptions {
    std::string master{kDefaultMasterHost};
    uint16_t localPort = 0;
    int timeoutMs = 5000;
    bool json = false;
    std::string user;
    std::string password;
    bool create = false;
    std::string name;  // lookup
};

ExchangeTimings timingsOf(const AccountCommandOptions& options) {
    ExchangeTimings timings;
    timings.window = std::chrono::milliseconds(options.timeoutMs);
    return timings;
}

// `fields` holds its texts in UTF-8 already, for either form.
void printFields(const json& fields, bool asJson) {
    if (asJson) {
        std::printf("%s\n", fields.dump(2).c_str());
        return;
    }
    for (const auto& [key, value] : fields.items()) {
        const std::string text = value.is_string() ? value.get<std::string>() : value.dump();
        std::printf("%-13s %s\n", key.c_str(), text.c_str());
    }
}

int noAnswer(const AccountCommandOptions& options) {
    std::fprintf(stderr, "pellrig-cli: no answer from the master server %s\n", options.master.c_str());
    return kExitNoMaster;
}

// The log-in dialog's exchange, with the dialog's checks first.
int logIn(const AccountCommandOptions& options) {
    if (const char* error = loginFieldsError(options.user, options.password)) {
        std::fputs(error, stderr);
        return kExitUsage;
    }
    AccountSession session(options.master, options.localPort, timingsOf(options));
    const LoginResult result =
        session.service().logIn(options.create ? LoginRequestKind::CreateAccount : LoginRequestKind::LogIn,
                                options.user, options.password, false);
    switch (result.outcome) {
        case LoginOutcome::Accepted:
        case LoginOutcome::AcceptedCompact:
            break;
        case LoginOutcome::VersionRefused:
            std::fprintf(stderr, "%s\n", utf8FromAnsi(result.text).c_str());
            return kExitVersionRefused;
        case LoginOutcome::Failed:
        case LoginOutcome::Stopped:
            std::fprintf(stderr, "%s\n", utf8FromAnsi(result.text).c_str());
            return kExitRefused;
    }
    const OwnAccount& own = result.account;
    printFields(json{{"rank", own.rank},
                     {"level", own.level},
                     {"experience", own.experience},
                     {"highestRank", own.highestRank},
                     {"accountLevel", own.accountLevel}},
                options.json);
    return 0;
}

// A look-up from the Recent Players dialog; no log-in is needed, since the
// protocol carries no session.
int lookUp(const AccountCommandOptions& options) {
    AccountSession session(options.master, options.localPort, timingsOf(options));
    session.startReceiving();
    // A master that does not resolve gets nothing sent, and so no answer.
    if (!session.service().lookUpPlayer(options.name) && options.name.empty()) {
        return kExitUsage;
    }
    const bool answered = session.views().waitUntil(
        [](const MemoryAccountViews::Shown& shown) {
            return !shown.profiles.empty() || !shown.messages.empty();
        },
        std::chrono::milliseconds(options.timeoutMs));
    if (!answered) {
        return noAnswer(options);
    }
    const MemoryAccountViews::Shown shown = session.views().shown();
    if (shown.profiles.empty()) {
        return kExitRefused;  // "No information found for %s", already on standard error
    }
    const ProfileShowing& showing = shown.profiles.front();
    const PlayerProfile& profile = showing.profile;
    printFields(json{{"name", utf8FromAnsi(recordText(profile.name))},
                     {"bio", utf8FromAnsi(recordText(profile.bio))},
                     {"rank", profile.rank},
                     {"highestRank", profile.highestRank},
                     {"level", profile.level},
                     {"experience", profile.experience},
                     {"accountLevel", profile.accountLevel},
                     {"rankPicture", profile.rankPicture},
                     {"avatar", profile.avatar},
                     {"levelFloor", showing.levelFloor},
                     {"levelCeiling", showing.levelCeiling}},
                options.json);
    return 0;
}

// What the Recent Players dialog asks for as it opens.
int recentPlayers(const AccountCommandOptions& options) {
    AccountSession session(options.master, options.localPort, timingsOf(options));
    session.startReceiving();
    session.service().requestRecentPlayers();
    const bool answered = session.views().waitUntil(
        [](const MemoryAccountViews::Shown& shown) { return !shown.recentPlayers.empty(); },
        std::chrono::milliseconds(options.timeoutMs));
    if (!answered) {
        return noAnswer(options);
    }
    std::vector<std::string> names = session.views().shown().recentPlayers.front();
    for (std::string& name : names) {
        name = utf8FromAnsi(name);
    }
    if (options.json) {
        std::printf("%s\n", json(names).dump(2).c_str());
    } else {
        for (const std::string& name : names) {
            std::printf("%s\n", name.c_str());
        }
    }
    return 0;
}

void addCommonOptions(CLI::App& command, AccountCommandOptions& options) {
    command.add_option("--master", options.master, "Master server HOST[:PORT]");
    command.add_option("--local-port", options.localPort, "Local UDP port (0 = any free port)");
    command.add_option("--timeout-ms", options.timeoutMs, "How long to wait for the master's answer")
        ->check(CLI::Range(0, 600000));
    command.add_flag("--json", options.json, "Print JSON");
}

}  // namespace

void addAccountCommands(CLI::App& app, std::vector<Command>& commands) {
    auto login = std::make_shared<AccountCommandOptions>();
    CLI::App* loginCommand = app.add_subcommand(
        "login", "Log in to the master server (or create an account) and print the player's statistics");
    loginCommand->add_option("--user", login->user, "User name")->required()->transform(ansiArgument());
    loginCommand->add_option("--password", login->password, "Password")
        ->required()
        ->transform(ansiArgument());
    loginCommand->add_flag("--create", login->create, "Create a new account");
    addCommonOptions(*loginCommand, *login);
    commands.push_back({loginCommand, [login] { return logIn(*login); }});

    auto lookup = std::make_shared<AccountCommandOptions>();
    CLI::App* lookupCommand = app.add_subcommand("lookup", "Print a player's profile");
    lookupCommand->add_option("name", lookup->name, "Player name")->required()->transform(ansiArgument());
    addCommonOptions(*lookupCommand, *lookup);
    commands.push_back({lookupCommand, [lookup] { return lookUp(*lookup); }});

    auto recent = std::make_shared<AccountCommandOptions>();
    CLI::App* recentCommand = app.add_subcommand("recent", "List the players that logged in last");
    addCommonOptions(*recentCommand, *recent);
    commands.push_back({recentCommand, [recent] { return recentPlayers(*recent); }});
}
