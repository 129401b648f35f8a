#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "launch/launch_target.h"

// Fetching the PWADs a server needs from the player's WAD sites, over HTTP or
// HTTPS. Each site is a URL template in which "{name}" stands for the file
// name; the sites are tried in order, each first for the file itself, then for
// a .zip of the same base name holding it. What arrives is written only into
// the given folder, under the announced name, and only once complete and
// checked (launch/wad_file_check.h); nothing else is ever left behind, and an
// existing file is never overwritten.

struct WadFetchLimits {
    uint64_t maxBytes = uint64_t{256} << 20;  // of a download, and of a WAD taken from a zip
    std::chrono::milliseconds connectTimeout{15000};
    // A transfer slower than `stallBytesPerSecond` for this long is given up.
    std::chrono::milliseconds stallTime{20000};
    long stallBytesPerSecond = 512;
    long maxRedirects = 3;  // followed only to http:// and https://
};

struct WadFetchProgress {
    int file = 0;  // 1 to `files`
    int files = 0;
    std::string name;
    uint64_t bytes = 0;
    uint64_t total = 0;  // 0 while unknown
    double bytesPerSecond = 0;
};

struct WadFetchResult {
    enum class Status { Fetched, Failed, Cancelled };
    Status status = Status::Fetched;
    // When Failed: the file, and each address tried with why it did not serve.
    std::string name;
    std::vector<std::string> attempts;
};

// Fetches each of `names` into `folder`, stopping at the first that cannot be
// had. A name already present in `folder` counts as fetched. Calls `progress`
// on this thread as bytes arrive; returns Cancelled soon after `stop` is
// requested. Blocks: run it on a worker thread.
WadFetchResult fetchWads(const std::vector<std::string>& names, const std::vector<std::string>& sites,
                         const std::filesystem::path& folder, const WadFetchLimits& limits,
                         const std::function<void(const WadFetchProgress&)>& progress,
                         const std::stop_token& stop);

// Where fetched files go: the first WAD directory; none without one.
// Takes lockSettings().
std::optional<std::filesystem::path> wadFetchFolder();

// The PWADs of `server` that are not in the WAD directories, or none at all
// when its IWAD is missing too: the player's own game file is never fetched,
// and the launch's message about it comes first. Takes lockSettings().
std::vector<std::string> pwadsToFetch(const LaunchTarget& server);

// What the user is told of a failed fetch: the file, each address tried and
// why it did not serve.
std::string wadFetchFailureText(const WadFetchResult& result);

// The address of `name` on the site `site`: each "{name}" replaced by the name,
// escaped for a URL.
std::string wadSiteAddress(const std::string& site, const std::string& name);
