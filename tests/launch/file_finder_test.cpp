#include "launch/file_finder.h"

#include <gtest/gtest.h>

#include "launch_test_support.h"

namespace launch_test {
namespace {

FindOptions wadSearch(const std::string& base) {
    FindOptions options;
    options.baseFolder = base;
    options.fileMask = "*.wad";
    options.subfolders = 1;
    return options;
}

// The results' paths, sorted.
std::vector<std::string> results(const FileFinder& finder) {
    std::vector<std::string> paths;
    for (int32_t i = 0; i < finder.GetFileCount(); ++i) {
        paths.push_back(finder.GetFilePath(i));
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

TEST(LaunchFileFinder, ReportsEachFolderAfterItsSubfolders) {
    TempDir dir;
    for (const std::string folder : {"A/", "A/B/", "A/B/C/"}) {
        writeText(dir.file(folder + "x.wad"), "x");
        writeText(dir.file(folder + "notes.txt"), "not a wad");
    }
    const std::string a = dir.folder("A");
    const std::string b = a + "B/";
    const std::string c = b + "C/";

    // Each report's code (2: a folder, 0: a result), and what the finder shows at the time.
    std::vector<std::string> reports;
    FileFinder finder;
    finder.SetCallback(
        [&reports](FileFinder& f, FinderCode code, void*) {
            reports.push_back(std::to_string(code) + " " + f.GetSearchingFolder() + "|" +
                              f.GetFilePath(f.GetFileCount() - 1));
        },
        nullptr);
    // The base is given without its separator.
    EXPECT_EQ(finder.Find(wadSearch(dir.file("A"))), 3);
    EXPECT_EQ(reports,
              (std::vector<std::string>{"2 " + c + "|", "0 " + c + "|" + c + "x.wad",
                                        "2 " + b + "|" + c + "x.wad", "0 " + b + "|" + b + "x.wad",
                                        "2 " + a + "|" + b + "x.wad", "0 " + a + "|" + a + "x.wad"}));
}

TEST(LaunchFileFinder, MaskIgnoresCaseAndMatchingFoldersEndInASeparator) {
    TempDir dir;
    writeText(dir.file("base/DOOM2.WAD"), "x");
    writeText(dir.file("base/a.wadx"), "x");
    fs::create_directory(dir.path() / "base" / "maps.wad");
    // Links to folders are listed but not entered.
    fs::create_directory_symlink(dir.path() / "base", dir.path() / "base" / "loop");
    fs::create_directory_symlink(dir.path() / "base", dir.path() / "base" / "loop.wad");

    FileFinder finder;
    EXPECT_EQ(finder.Find(wadSearch(dir.folder("base"))), 3);
    EXPECT_EQ(results(finder),
              (std::vector<std::string>{dir.file("base/DOOM2.WAD"), dir.folder("base/loop.wad"),
                                        dir.folder("base/maps.wad")}));
}

TEST(LaunchAddBackslash, AppendsASeparatorOnlyWhenMissing) {
    EXPECT_EQ(AddBackslash("C:", false), "C:\\");
    EXPECT_EQ(AddBackslash("C:\\", false), "C:\\");
    EXPECT_EQ(AddBackslash("D:/data/", false), "D:/data/");
    EXPECT_EQ(AddBackslash("/data", true), "/data/");
    EXPECT_EQ(AddBackslash("", true), "");
}

}  // namespace
}  // namespace launch_test
