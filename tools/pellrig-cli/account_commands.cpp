// pellrig-cli login, lookup and recent: the account service run as in the program.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "account_session.h"
#include "accounts/account_records.h"
#include "commands.h"
#include "common_options.h"
#include "json_output.h"
#include "latin1_text.h"

namespace {

using json = nlohmann::ordered_json;

constexpr const char* kWaitsFor = "How long to wait for the master's answer";

struct AccountCommandOptions {
    CommonOptions common;
    Credentials credentials;  // login
    bool create = false;      // login
    std::string name;         // lookup
};

ExchangeTimings timingsOf(const CommonOptions& options) {
    ExchangeTimings timings;
    timings.window = std::chrono::milliseconds(options.timeoutMs);
    return timings;
}

// `fields` holds its texts in UTF-8 already, for either form.
void printFields(const json& fields, bool asJson) {
    if (asJson) {
        printJson(fields);
        return;
    }
    for (const auto& [key, value] : fields.items()) {
        const std::string text = value.is_string() ? value.get<std::string>() : value.dump();
        std::printf("%-13s %s\n", key.c_str(), text.c_str());
    }
}

// The log-in dialog's exchange, with the dialog's checks first.
ExitCode logIn(const AccountCommandOptions& options) {
    const Credentials& credentials = options.credentials;
    if (const char* error = loginFieldsError(credentials.user, credentials.password)) {
        printCoreMessage(error);
        return ExitCode::Usage;
    }
    const CommonOptions& common = options.common;
    AccountSession session(common.master, common.localPort, timingsOf(common));
    const LoginResult result =
        session.service().logIn(options.create ? LoginRequestKind::CreateAccount : LoginRequestKind::LogIn,
                                credentials.user, credentials.password, false);
    if (const ExitCode refused = loginExitCode(result); refused != ExitCode::Done) {
        return refused;
    }
    const OwnAccount& own = result.account;
    printFields(json{{"rank", own.rank},
                     {"level", own.level},
                     {"experience", own.experience},
                     {"highestRank", own.highestRank},
                     {"accountLevel", own.accountLevel}},
                common.json);
    return ExitCode::Done;
}

// A look-up from the Recent Players dialog; no log-in is needed, since the
// protocol carries no session.
ExitCode lookUp(const AccountCommandOptions& options) {
    const CommonOptions& common = options.common;
    AccountSession session(common.master, common.localPort, timingsOf(common));
    session.startReceiving();
    // A master that does not resolve gets nothing sent, and so no answer.
    if (!session.service().lookUpPlayer(options.name) && options.name.empty()) {
        return ExitCode::Usage;
    }
    const bool answered = session.views().waitUntil(
        [](const MemoryAccountViews::Shown& shown) {
            return !shown.profiles.empty() || !shown.messages.empty();
        },
        std::chrono::milliseconds(common.timeoutMs));
    if (!answered) {
        return reportNoMaster(common.master);
    }
    const MemoryAccountViews::Shown shown = session.views().shown();
    if (shown.profiles.empty()) {
        return ExitCode::Refused;  // "No information found for %s", already on standard error
    }
    const ProfileShowing& showing = shown.profiles.front();
    const PlayerProfile& profile = showing.profile;
    printFields(json{{"name", utf8FromLatin1(recordText(profile.name))},
                     {"bio", utf8FromLatin1(recordText(profile.bio))},
                     {"rank", profile.rank},
                     {"highestRank", profile.highestRank},
                     {"level", profile.level},
                     {"experience", profile.experience},
                     {"accountLevel", profile.accountLevel},
                     {"rankPicture", profile.rankPicture},
                     {"avatar", profile.avatar},
                     {"levelFloor", showing.levelFloor},
                     {"levelCeiling", showing.levelCeiling}},
                common.json);
    return ExitCode::Done;
}

// What the Recent Players dialog asks for as it opens.
ExitCode recentPlayers(const CommonOptions& options) {
    AccountSession session(options.master, options.localPort, timingsOf(options));
    session.startReceiving();
    session.service().requestRecentPlayers();
    const bool answered = session.views().waitUntil(
        [](const MemoryAccountViews::Shown& shown) { return !shown.recentPlayers.empty(); },
        std::chrono::milliseconds(options.timeoutMs));
    if (!answered) {
        return reportNoMaster(options.master);
    }
    std::vector<std::string> names = session.views().shown().recentPlayers.front();
    for (std::string& name : names) {
        name = utf8FromLatin1(name);
    }
    if (options.json) {
        printJson(json(names));
        return ExitCode::Done;
    }
    for (const std::string& name : names) {
        std::printf("%s\n", name.c_str());
    }
    return ExitCode::Done;
}

}  // namespace

void addAccountCommands(CLI::App& app, std::vector<Command>& commands) {
    auto login = std::make_shared<AccountCommandOptions>();
    CLI::App* loginCommand = app.add_subcommand(
        "login", "Log in to the master server (or create an account) and print the player's statistics");
    addCredentialOptions(*loginCommand, login->credentials, CredentialsUse::Required);
    loginCommand->add_flag("--create", login->create, "Create a new account");
    addMasterCommandOptions(*loginCommand, login->common, kWaitsFor);
    commands.push_back({loginCommand, [login] { return logIn(*login); }});

    auto lookup = std::make_shared<AccountCommandOptions>();
    CLI::App* lookupCommand = app.add_subcommand("lookup", "Print a player's profile");
    lookupCommand->add_option("name", lookup->name, "Player name")->required()->transform(latin1Argument());
    addMasterCommandOptions(*lookupCommand, lookup->common, kWaitsFor);
    commands.push_back({lookupCommand, [lookup] { return lookUp(*lookup); }});

    auto recent = std::make_shared<CommonOptions>();
    CLI::App* recentCommand = app.add_subcommand("recent", "List the players that logged in last");
    addMasterCommandOptions(*recentCommand, *recent, kWaitsFor);
    commands.push_back({recentCommand, [recent] { return recentPlayers(*recent); }});
}
