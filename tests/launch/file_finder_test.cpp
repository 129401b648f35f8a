#include "launch/file_finder.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <ctime>

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
    EXPECT_EQ(finder.GetFilePath(-1) + finder.GetFilePath(3), "");  // no read outside the results
}

TEST(LaunchFileFinder, FiltersRejectInTheirOrderAndFindTextAcrossChunks) {
    TempDir dir;
    writeText(dir.file("small.wad"), std::string(100, 'a'));
    // A five-character text is read in chunks of 123 bytes: this one straddles
    // the first two, in another case and with a zero byte inside.
    writeText(dir.file("large.wad"),
              std::string(120, '.') + std::string("he\0Ll", 5) + "O" + std::string(5000, '.'));
    ASSERT_EQ(::mkfifo(dir.file("pipe.wad").c_str(), 0600), 0);
    for (const char* name : {"small.wad", "large.wad", "pipe.wad"}) {
        const std::time_t written = name[0] == 's' ? 1000000 : 2000000;
        const timespec times[2] = {{written, 0}, {written, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, dir.file(name).c_str(), times, 0), 0);
    }
    const auto search = [&dir](uint32_t flags) {
        FindOptions options = wadSearch(dir.folder());
        options.optionFlags = flags;
        options.fileAttributes = kAttributeArchive;  // regular files carry it
        options.minSize = options.maxSize = 100;     // bounds are inclusive
        options.minModified = options.maxModified = 2000000;
        options.findText = "HELLO";
        return options;
    };
    const struct {
        uint32_t flags;
        std::vector<std::string> found;
    } cases[] = {
        {FIND_ATTRIBUTES, {"large.wad", "small.wad"}},
        {FIND_ATTRIBUTES | FIND_SIZE, {"small.wad"}},
        {FIND_MODIFIED, {"large.wad", "pipe.wad"}},
        // The pipe fails the attributes before its text would be read (opening
        // it would block): the text comes last.
        {FIND_ATTRIBUTES | FIND_TEXT, {"large.wad"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        FileFinder finder;
        std::vector<FinderCode> codes;
        finder.SetCallback([&codes](FileFinder&, FinderCode code, void*) { codes.push_back(code); }, nullptr);
        finder.Find(search(c.flags));
        std::vector<std::string> expected;
        for (const std::string& name : c.found) {
            expected.push_back(dir.file(name));
        }
        EXPECT_EQ(results(finder), expected);
        EXPECT_EQ(std::count(codes.begin(), codes.end(), FF_FOUND), static_cast<long>(c.found.size()));
        EXPECT_EQ(std::count(codes.begin(), codes.end(), FF_DISCARDED),
                  static_cast<long>(3 - c.found.size()));
    }
}

TEST(LaunchAddBackslash, AppendsASeparatorOnlyWhenMissing) {
    EXPECT_EQ(AddBackslash("C:", false), "C:\\");
    EXPECT_EQ(AddBackslash("C:\\", false), "C:\\");
    EXPECT_EQ(AddBackslash("D:/data/", false), "D:/data/");
}

}  // namespace
}  // namespace launch_test
