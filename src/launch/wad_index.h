#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "launch/launch_target.h"

// The files of the WAD directories by lower-case name, read once, so that
// whether the player has a server's WADs is told for every row without
// touching the disk. It finds what the launch finds (FindWadFile): a plain file
// name directly inside a WAD directory, its case matched as the platform's
// file systems match it.
class WadIndex {
  public:
    // An index of no files.
    WadIndex() = default;
    // Lists the files of `folders` (each ending in a separator), subfolders left out.
    explicit WadIndex(const std::vector<std::string>& folders);
    // The index of the WAD directories of the settings. Takes lockSettings().
    static WadIndex ofWadDirectories();

    bool has(std::string_view name) const;
    // The IWAD and the PWADs of `server` that are not at hand, in that order.
    std::vector<std::string> missing(const LaunchTarget& server) const;

  private:
    // Lower-case name to the names as the folders spell them.
    std::unordered_map<std::string, std::vector<std::string>> m_files;
};
