// The Windows side of the launch layer's platform seam, against the real system
// calls: drive roots, replacing a file whole, enumerating a folder, short path
// names and starting the game with its command line as it stands.
#include <sys/stat.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "launch/drives.h"
#include "launch/file_replace.h"
#include "launch/folder_reader.h"
#include "launch/process.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(LaunchWindowsDrives, RootsAreFixedDrivesInLetterOrder) {
    const std::vector<std::string> roots = fixedDriveRoots();
    EXPECT_NE(std::find(roots.begin(), roots.end(), "C:\\"), roots.end());
    EXPECT_EQ(std::adjacent_find(roots.begin(), roots.end(), std::greater_equal<>()), roots.end());
    for (const std::string& root : roots) {
        EXPECT_EQ(root.substr(1), ":\\");
        EXPECT_EQ(GetDriveTypeA(root.c_str()), static_cast<UINT>(DRIVE_FIXED)) << root;
        EXPECT_FALSE(isNetworkFolder(root));
    }
    // Shares are refused by their \\ name, so no folder counts as a network one.
    EXPECT_FALSE(isNetworkFolder("\\\\server\\doom\\"));
}

TEST(LaunchWindowsFileReplace, ReplacesWholeOrLeavesEverythingAsItWas) {
    TempDir dir;
    writeText(dir.path() / "pellrig32.cfg", "old contents");
    const std::vector<uint8_t> fresh = {'n', 'e', 'w', 0, '\r', '\n', 0xff};
    const std::string freshText(fresh.begin(), fresh.end());
    ASSERT_TRUE(replaceFileContents(dir.path() / "pellrig32.cfg", fresh));
    ASSERT_TRUE(replaceFileContents(dir.path() / "created.cfg", fresh));
    EXPECT_EQ(readText(dir.path() / "pellrig32.cfg"), freshText);
    EXPECT_EQ(readText(dir.path() / "created.cfg"), freshText);

    // A folder in the file's place cannot be replaced; one that is missing
    // cannot take the new file. Neither leaves a stray file behind.
    fs::create_directory(dir.path() / "taken");
    EXPECT_FALSE(replaceFileContents(dir.path() / "taken", fresh));
    EXPECT_FALSE(replaceFileContents(dir.path() / "missing" / "pellrig32.cfg", fresh));
    EXPECT_TRUE(fs::is_directory(dir.path() / "taken"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
}

TEST(LaunchWindowsFolderReader, ListsEveryEntryWithAttributesAndDetails) {
    TempDir dir;
    writeText(dir.path() / "doom2.wad", std::string(1234, 'w'));
    fs::create_directory(dir.path() / "PWADS");
    struct _stat64 status {};
    ASSERT_EQ(_stat64((dir.folder() + "doom2.wad").c_str(), &status), 0);

    FolderReader reader(dir.folder(), true);
    std::map<std::string, FolderEntry> entries;
    FolderEntry entry;
    for (int guard = 0; guard < 100 && reader.next(entry); ++guard) {
        entries[entry.name] = entry;
    }
    ASSERT_EQ(entries.size(), 4u);
    for (const char* folder : {".", "..", "PWADS"}) {
        EXPECT_EQ(entries[folder].kind, EntryKind::Directory) << folder;
        EXPECT_NE(entries[folder].attributes & kAttributeDirectory, 0u) << folder;
        EXPECT_FALSE(entries[folder].throughLink) << folder;
    }
    const FolderEntry& wad = entries["doom2.wad"];
    EXPECT_EQ(wad.kind, EntryKind::File);
    EXPECT_EQ(wad.attributes & kAttributeDirectory, 0u);
    ASSERT_TRUE(wad.hasDetails);
    EXPECT_EQ(wad.details.size, 1234);
    EXPECT_EQ(wad.details.modified, status.st_mtime);

    EntryDetails details;
    ASSERT_TRUE(readEntryDetails(dir.folder() + "doom2.wad", details));
    EXPECT_EQ(details.size, 1234);
    EXPECT_EQ(details.modified, status.st_mtime);
    EXPECT_FALSE(readEntryDetails(dir.folder() + "missing.wad", details));
    FolderReader missing(dir.folder() + "missing\\", false);
    EXPECT_FALSE(missing.isOpen());
    EXPECT_FALSE(missing.next(entry));
}

TEST(LaunchWindowsShortPath, ShortensExistingPathsAndKeepsOthersAsGiven) {
    TempDir dir;
    const std::string wad = dir.folder("Long Folder Name") + "a long wad name.wad";
    writeText(wad, "PWAD");
    const std::string shortened = shortPathName(wad);
    EXPECT_EQ(shortened.find(' '), std::string::npos) << shortened;
    EXPECT_EQ(readText(shortened), "PWAD");
    const std::string missing = dir.folder("Long Folder Name") + "not here.wad";
    EXPECT_EQ(shortPathName(missing), missing);
}

TEST(LaunchWindowsStart, GameGetsTheCommandLineTextAsItStands) {
    TempDir dir;
    fs::copy_file(PELLRIG_STAND_IN_GAME, dir.path() / "brumvekgl.exe");
    const fs::path previous = fs::current_path();
    fs::current_path(dir.path());
    const std::string commandLine =
        "brumvekgl.exe -connect 10.0.0.5:10666 -iwad C:\\My Games\\doom2.wad -llevel 3 -file  "
        "C:\\DOOM\\PWADS\\DWANGO5.WAD  +name \"player one\"";

    std::string error;
    EXPECT_TRUE(startProgram("brumvekgl.exe", commandLine, error)) << error;
    const fs::path written = dir.path() / "args.txt";
    for (int i = 0; i < 400 && !fs::exists(written); ++i) {
        std::this_thread::sleep_for(50ms);
    }
    const std::string report = readText(written);
    EXPECT_EQ(report.substr(0, report.find('\n')), commandLine);

    // A relative program is never searched for outside the working directory.
    EXPECT_FALSE(startProgram("brumvek.exe", "brumvek.exe -connect 10.0.0.5:10666", error));
    EXPECT_FALSE(error.empty());
    fs::current_path(previous);
}

}  // namespace
