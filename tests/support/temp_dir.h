#pragma once

// The one temporary-folder helper of the tests, Windows build included: a fresh
// folder under the system's temporary folder, removed with everything in it
// when the test leaves.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

inline void writeText(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class TempDir {
  public:
    TempDir() {
        std::random_device random;
        std::error_code error;
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            const auto path =
                std::filesystem::temp_directory_path() / ("pellrig-" + std::to_string(random()));
            m_path = std::filesystem::create_directory(path, error) ? path : m_path;
        }
        EXPECT_FALSE(m_path.empty()) << "cannot create a temporary folder";
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string file(const std::string& relative) const { return (m_path / relative).string(); }
    // A folder inside, or the folder itself, as text ending in a separator.
    std::string folder(const std::string& relative = {}) const {
        std::string text = file(relative);
        const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
        return text.back() == separator ? text : text + separator;
    }

    // Writes `bytes` to `relative` inside, making its folders; returns its path.
    std::string write(const std::string& relative, const std::string& bytes) const {
        writeText(m_path / relative, bytes);
        return file(relative);
    }

  private:
    std::filesystem::path m_path;
};

inline std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
