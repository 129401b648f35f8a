#include "common_options.h"

#include <optional>
#include <utility>

#include "latin1_text.h"

void addMasterOption(CLI::App& command, std::string& master) {
    command.add_option("--master", master, "Master server HOST[:PORT]");
}

void addLocalPortOption(CLI::App& command, uint16_t& localPort) {
    command.add_option("--local-port", localPort, "Local UDP port (0 = any free port)");
}

void addTimeoutOption(CLI::App& command, int& timeoutMs, const std::string& description) {
    command.add_option("--timeout-ms", timeoutMs, description)->check(CLI::Range(0, 600000));
}

void addJsonFlag(CLI::App& command, bool& json) {
    command.add_flag("--json", json, "Print JSON");
}

void addMasterCommandOptions(CLI::App& command, CommonOptions& options,
                             const std::string& timeoutDescription) {
    addMasterOption(command, options.master);
    addLocalPortOption(command, options.localPort);
    addTimeoutOption(command, options.timeoutMs, timeoutDescription);
    addJsonFlag(command, options.json);
}

CLI::Validator latin1Argument() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            std::optional<std::string> latin1 = latin1FromUtf8(text);
            if (!latin1) {
                return "must be UTF-8 text of Latin-1 characters, the only ones the master server takes";
            }
            text = std::move(*latin1);
            return {};
        },
        "", "Latin-1");
}

void addCredentialOptions(CLI::App& command, Credentials& credentials, CredentialsUse use) {
    const bool required = use == CredentialsUse::Required;
    command
        .add_option("--user", credentials.user,
                    required ? "User name" : "Account name (default: the remembered one)")
        ->required(required)
        ->transform(latin1Argument());
    command.add_option("--password", credentials.password, required ? "Password" : "Account password")
        ->required(required)
        ->transform(latin1Argument());
}
