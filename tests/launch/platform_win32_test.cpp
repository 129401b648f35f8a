// The Windows side of the launch layer's platform seam, against the real system
// calls: drive roots and types, replacing a file whole, enumerating a folder,
// short path names and starting the game with its command line as it stands.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "launch/drives.h"
#include "launch/file_replace.h"
#include "launch/folder_reader.h"
#include "launch/process.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

// A fresh folder under the system's temporary folder, removed at the end.
class TempFolder {
  public:
    TempFolder() {
        m_path = fs::temp_directory_path() / ("pellrig-win32-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return m_path; }
    // The folder as the launch layer takes it: ending in a separator.
    std::string folder() const { return m_path.string() + "\\"; }

  private:
    fs::path m_path;
};

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Restores the working directory when the test leaves.
class WorkingDirectory {
  public:
    explicit WorkingDirectory(const fs::path& path) : m_previous(fs::current_path()) {
        fs::current_path(path);
    }
    ~WorkingDirectory() { fs::current_path(m_previous); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

  private:
    fs::path m_previous;
};

fs::path thisProgramsFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return fs::path(std::string(path, length)).parent_path();
}

TEST(LaunchWindowsDrives, RootsAreFixedDrivesInLetterOrder) {
    const std::vector<std::string> roots = fixedDriveRoots();
    ASSERT_FALSE(roots.empty());
    EXPECT_NE(std::find(roots.begin(), roots.end(), "C:\\"), roots.end());
    for (size_t i = 0; i < roots.size(); ++i) {
        ASSERT_EQ(roots[i].size(), 3u) << roots[i];
        EXPECT_EQ(roots[i].substr(1), ":\\");
        EXPECT_EQ(GetDriveTypeA(roots[i].c_str()), static_cast<UINT>(DRIVE_FIXED)) << roots[i];
        if (i > 0) {
            EXPECT_LT(roots[i - 1], roots[i]);
        }
    }
    // Shares are refused by their \\ name, so no folder counts as a network one.
    EXPECT_FALSE(isNetworkFolder("C:\\"));
    EXPECT_FALSE(isNetworkFolder("\\\\server\\doom\\"));
}

TEST(LaunchWindowsFileReplace, ReplacesWholeOrLeavesEverythingAsItWas) {
    TempFolder dir;
    const fs::path config = dir.path() / "pellrig32.cfg";
    writeBytes(config, "old contents");
    const Bytes fresh = {'n', 'e', 'w', 0, '\r', '\n', 0xff};
    ASSERT_TRUE(replaceFileContents(config, fresh));
    EXPECT_EQ(readBytes(config), std::string(fresh.begin(), fresh.end()));
    ASSERT_TRUE(replaceFileContents(dir.path() / "created.cfg", fresh));
    EXPECT_EQ(fs::file_size(dir.path() / "created.cfg"), fresh.size());

    // A folder in the file's place cannot be replaced; one that is missing
    // cannot take the new file. Neither leaves a stray file behind.
    fs::create_directory(dir.path() / "taken");
    EXPECT_FALSE(replaceFileContents(dir.path() / "taken", fresh));
    EXPECT_TRUE(fs::is_directory(dir.path() / "taken"));
    EXPECT_FALSE(replaceFileContents(dir.path() / "missing" / "pellrig32.cfg", fresh));
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"created.cfg", "pellrig32.cfg", "taken"}));
}

TEST(LaunchWindowsFolderReader, ListsEveryEntryWithAttributesAndDetails) {
    TempFolder dir;
    writeBytes(dir.path() / "doom2.wad", std::string(1234, 'w'));
    fs::create_directory(dir.path() / "PWADS");
    const auto now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();

    FolderReader reader(dir.folder(), true);
    ASSERT_TRUE(reader.isOpen());
    std::map<std::string, FolderEntry> entries;
    FolderEntry entry;
    for (int guard = 0; guard < 100 && reader.next(entry); ++guard) {
        entries[entry.name] = entry;
    }
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries["."].kind, EntryKind::Directory);
    EXPECT_EQ(entries[".."].kind, EntryKind::Directory);

    const FolderEntry& folder = entries["PWADS"];
    EXPECT_EQ(folder.kind, EntryKind::Directory);
    EXPECT_NE(folder.attributes & kAttributeDirectory, 0u);
    EXPECT_FALSE(folder.throughLink);

    const FolderEntry& wad = entries["doom2.wad"];
    EXPECT_EQ(wad.kind, EntryKind::File);
    EXPECT_EQ(wad.attributes & kAttributeDirectory, 0u);
    ASSERT_TRUE(wad.hasDetails);
    EXPECT_EQ(wad.details.size, 1234);
    EXPECT_NEAR(static_cast<double>(wad.details.modified), static_cast<double>(now), 120.0);

    EntryDetails details;
    ASSERT_TRUE(readEntryDetails(dir.folder() + "doom2.wad", details));
    EXPECT_EQ(details.size, 1234);
    EXPECT_EQ(details.modified, wad.details.modified);
    EXPECT_FALSE(readEntryDetails(dir.folder() + "missing.wad", details));

    FolderReader missing(dir.folder() + "missing\\", false);
    EXPECT_FALSE(missing.isOpen());
    EXPECT_FALSE(missing.next(entry));
}

TEST(LaunchWindowsShortPath, ShortensExistingPathsAndKeepsOthersAsGiven) {
    TempFolder dir;
    fs::create_directory(dir.path() / "Long Folder Name");
    const std::string wad = dir.folder() + "Long Folder Name\\a long wad name.wad";
    writeBytes(wad, "PWAD");

    const std::string shortened = shortPathName(wad);
    EXPECT_NE(shortened, wad);
    EXPECT_EQ(shortened.find(' '), std::string::npos) << shortened;
    EXPECT_EQ(readBytes(shortened), "PWAD");

    const std::string missing = dir.folder() + "Long Folder Name\\not here.wad";
    EXPECT_EQ(shortPathName(missing), missing);
}

TEST(LaunchWindowsStart, GameGetsTheCommandLineTextAsItStands) {
    TempFolder dir;
    fs::copy_file(thisProgramsFolder() / "command_line_echo.exe", dir.path() / "brumvekgl.exe");
    WorkingDirectory inGameFolder(dir.path());
    const std::string commandLine =
        "brumvekgl.exe -connect 10.0.0.5:10666 -iwad C:\\My Games\\doom2.wad -llevel 3 -file  "
        "C:\\DOOM\\PWADS\\DWANGO5.WAD  +name \"player one\"";

    std::string error;
    ASSERT_TRUE(startProgram("brumvekgl.exe", commandLine, error)) << error;
    const fs::path written = dir.path() / "command_line.txt";
    for (int i = 0; i < 200 && !fs::exists(written); ++i) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(readBytes(written), commandLine);

    // A relative program is never searched for outside the working directory.
    EXPECT_FALSE(startProgram("brumvek.exe", "brumvek.exe -connect 10.0.0.5:10666", error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
