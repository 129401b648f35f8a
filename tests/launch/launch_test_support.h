#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "launch/settings.h"
#include "temp_dir.h"

namespace launch_test {

namespace fs = std::filesystem;

// Puts a link to a real WAD of the freedoom package at `path`.
inline void placeWad(const fs::path& path, const std::string& freedoomName = "freedoom2.wad") {
    const fs::path wad = fs::path("/usr/share/games/doom") / freedoomName;
    ASSERT_TRUE(fs::exists(wad)) << wad << " is missing: install the Debian package freedoom";
    fs::create_directories(path.parent_path());
    fs::create_symlink(wad, path);
}

inline std::vector<std::string> directoryPaths() {
    std::vector<std::string> paths;
    for (const WadDirectory& directory : wad_directories) {
        paths.push_back(directory.path);
    }
    return paths;
}

// Every test starts from the settings of a fresh program start.
class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { resetSettings(); }
    void TearDown() override { resetSettings(); }
};

}  // namespace launch_test
