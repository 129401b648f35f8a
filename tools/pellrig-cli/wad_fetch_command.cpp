#include "wad_fetch_command.h"

#include <cstdio>
#include <optional>

#include "cli_preferences.h"
#include "error_output.h"
#include "latin1_text.h"
#include "launch/wad_fetch.h"

void addWadSiteOption(CLI::App& command, std::vector<std::string>& sites) {
    command.add_option("--site", sites, "A WAD site's address, {name} standing for the file name")
        ->take_all()
        ->expected(1)
        ->allow_extra_args(false);
}

ExitCode fetchMissingWads(const std::vector<std::string>& names, std::vector<std::string> sites) {
    const std::optional<std::filesystem::path> folder = wadFetchFolder();
    if (!folder) {
        printFailure("there is no WAD directory to put the files in");
        return ExitCode::FetchFailed;
    }
    if (sites.empty()) {
        sites = loadCliPreferences().wadSites;
    }
    if (sites.empty()) {
        printFailure(
            "no WAD site to fetch from: give one with --site, or in the program's WAD Download Sites");
        return ExitCode::FetchFailed;
    }
    const auto progress = [](const WadFetchProgress& p) {
        std::fprintf(stderr, "\r%s (%d of %d): %llu bytes", p.name.c_str(), p.file, p.files,
                     static_cast<unsigned long long>(p.bytes));
    };
    const WadFetchResult result = fetchWads(names, sites, *folder, {}, progress, {});
    std::fprintf(stderr, "\n");
    if (result.status != WadFetchResult::Status::Fetched) {
        printFailure(utf8FromLatin1(wadFetchFailureText(result)));
        return ExitCode::FetchFailed;
    }
    for (const std::string& name : names) {
        std::printf("%s\n", utf8FromLatin1((*folder / name).string()).c_str());
    }
    return ExitCode::Done;
}
