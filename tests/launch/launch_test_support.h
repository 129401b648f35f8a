#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "launch/settings.h"

namespace launch_test {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// A fresh folder under the system's temporary directory, removed with
// everything in it at the end of the test.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "pellrig-launch-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "cannot create a temporary folder";
        }
        m_path = pattern;
    }
    ~TempDir() {
        std::error_code error;
        fs::remove_all(m_path, error);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return m_path; }
    // The folder, or a path inside it, as text; folders end in '/'.
    std::string folder(const std::string& relative = {}) const {
        std::string text = (m_path / relative).string();
        if (text.back() != '/') {
            text.push_back('/');
        }
        return text;
    }
    std::string file(const std::string& relative) const { return (m_path / relative).string(); }

  private:
    fs::path m_path;
};

inline void writeBytes(const fs::path& path, const Bytes& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void writeText(const fs::path& path, const std::string& text) {
    writeBytes(path, Bytes(text.begin(), text.end()));
}

inline Bytes readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A real WAD of the freedoom package.
inline fs::path freedoom(const std::string& name) {
    fs::path path = fs::path("/usr/share/games/doom") / name;
    EXPECT_TRUE(fs::exists(path)) << path << " is missing: install the Debian package freedoom";
    return path;
}

// Puts a link to a freedoom WAD at `path`.
inline void placeWad(const fs::path& path, const std::string& freedoomName = "freedoom2.wad") {
    fs::create_directories(path.parent_path());
    fs::create_symlink(freedoom(freedoomName), path);
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
