// pellrig-cli wads and config: the WAD directories and the settings file of the
// working directory, as the program keeps them.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "common_options.h"
#include "error_output.h"
#include "latin1_text.h"
#include "launch/config_file.h"
#include "launch/settings.h"
#include "launch/unattended_settings.h"
#include "launch/wad_directory_editor.h"
#include "wad_fetch_command.h"

namespace {

// The automatic scan over `roots` instead of the fixed drives; with `save`, the
// settings file's directory list is replaced by the result, as Auto does.
ExitCode scanWads(const std::vector<std::string>& roots, bool save) {
    if (save) {
        BV_LoadConfig();
    }
    MemoryWadDirectoryView view;
    MemoryModalMessageView sink;
    WadDirectoryEditor editor(view, sink, {});
    editor.scan(roots);
    {
        const auto lock = lockSettings();
        for (const WadDirectory& directory : wad_directories) {
            std::printf("%s\n", utf8FromLatin1(directory.path).c_str());
        }
    }
    if (!save) {
        return ExitCode::Done;
    }
    return reportSave(BV_SaveConfig(sink), sink);
}

#ifdef PELLRIG_WAD_FETCH
struct FetchOptions {
    std::vector<std::string> names;
    std::vector<std::string> sites;
};

ExitCode fetchCommand(const FetchOptions& options) {
    BV_LoadConfig();
    return fetchMissingWads(options.names, options.sites);
}
#endif

ExitCode showConfig() {
    BV_LoadConfig();
    const auto lock = lockSettings();
    std::printf("bv_rememberpassword=%d\n", bv_rememberpassword);
    std::printf("bv_username=%s\n", utf8FromLatin1(bv_username).c_str());
    std::printf("bv_password=%s\n", bv_password.empty() ? "" : "***");
    std::printf("bv_extraparams=%s\n", utf8FromLatin1(bv_extraparams).c_str());
    std::printf("bv_serverpassword=%s\n", utf8FromLatin1(bv_serverpassword).c_str());
    std::printf("bv_lastarticleno=%d\n", bv_lastarticleno);
    std::printf("bv_shownews=%d\n", bv_shownews);
    std::printf("bv_autologin=%d\n", bv_autologin);
    std::printf("bv_firstrun=%d\n", bv_firstrun);
    for (const WadDirectory& directory : wad_directories) {
        std::printf("wad_directory=%s\n", utf8FromLatin1(directory.path).c_str());
    }
    return ExitCode::Done;
}

ExitCode makeUnattended(const Credentials& credentials) {
    MemoryModalMessageView sink;
    return reportSave(writeUnattendedSettings({}, credentials.user, credentials.password, sink), sink);
}

}  // namespace

void addLaunchCommands(CLI::App& app, std::vector<Command>& commands) {
    CLI::App* wads = app.add_subcommand("wads", "WAD directories");
    wads->require_subcommand(1);
    struct ScanOptions {
        std::vector<std::string> roots;
        bool save = false;
    };
    auto scan = std::make_shared<ScanOptions>();
    CLI::App* scanCommand = wads->add_subcommand("scan", "Find the folders that hold WAD files under ROOTs");
    scanCommand->add_option("roots", scan->roots, "Folders to search, in order")->required();
    scanCommand->add_flag("--save", scan->save,
                          "Replace the directory list of pellrig32.cfg with the result");
    commands.push_back({scanCommand, [scan] { return scanWads(scan->roots, scan->save); }});
#ifdef PELLRIG_WAD_FETCH
    auto fetch = std::make_shared<FetchOptions>();
    CLI::App* fetchApp = wads->add_subcommand(
        "fetch", "Fetch PWADs from WAD sites into the first WAD directory of pellrig32.cfg");
    fetchApp->add_option("names", fetch->names, "PWAD file names")->required();
    addWadSiteOption(*fetchApp, fetch->sites);
    commands.push_back({fetchApp, [fetch] { return fetchCommand(*fetch); }});
#endif

    CLI::App* config = app.add_subcommand("config", "The settings file pellrig32.cfg");
    config->require_subcommand(1);
    CLI::App* show =
        config->add_subcommand("show", "Print every setting of pellrig32.cfg in the working directory");
    commands.push_back({show, [] { return showConfig(); }});

    auto credentials = std::make_shared<Credentials>();
    CLI::App* unattended = config->add_subcommand(
        "unattended", "Make pellrig32.cfg log USER in automatically, with no welcome and no news check");
    addCredentialOptions(*unattended, *credentials, CredentialsUse::Required);
    commands.push_back({unattended, [credentials] { return makeUnattended(*credentials); }});
}
