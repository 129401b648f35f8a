#include "launch/file_finder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>

#include "launch_test_support.h"

namespace launch_test {
namespace {

// Records each report's code and, as "folder|newest result", what the finder
// showed at the time; `onReport` may act on it.
struct RecordingFinder {
    RecordingFinder() {
        finder.SetCallback(
            [](FileFinder& f, FinderCode code, void* self) {
                auto& recorder = *static_cast<RecordingFinder*>(self);
                recorder.codes.push_back(code);
                recorder.reports.push_back(f.GetSearchingFolder() + "|" +
                                           f.GetFilePath(f.GetFileCount() - 1));
                if (recorder.onReport) {
                    recorder.onReport(f, code);
                }
            },
            this);
    }
    long count(FinderCode code) const { return std::count(codes.begin(), codes.end(), code); }

    FileFinder finder;
    std::vector<FinderCode> codes;
    std::vector<std::string> reports;
    std::function<void(FileFinder&, FinderCode)> onReport;
};

FindOptions wadSearch(const std::string& base, int32_t subfolders = 1) {
    FindOptions options;
    options.baseFolder = base;
    options.fileMask = "*.wad";
    options.subfolders = subfolders;
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

    RecordingFinder recorder;
    // The base is given without its separator.
    EXPECT_EQ(recorder.finder.Find(wadSearch(dir.file("A"))), 3);
    EXPECT_EQ(recorder.codes,
              (std::vector<FinderCode>{FF_FOLDER, FF_FOUND, FF_FOLDER, FF_FOUND, FF_FOLDER, FF_FOUND}));
    EXPECT_EQ(recorder.reports, (std::vector<std::string>{c + "|", c + "|" + c + "x.wad",
                                                          b + "|" + c + "x.wad", b + "|" + b + "x.wad",
                                                          a + "|" + b + "x.wad", a + "|" + a + "x.wad"}));

    // Without subfolders only the base's own entries are examined.
    RecordingFinder flat;
    EXPECT_EQ(flat.finder.Find(wadSearch(a, 0)), 1);
    EXPECT_EQ(flat.codes, (std::vector<FinderCode>{FF_FOLDER, FF_FOUND}));
}

TEST(LaunchFileFinder, MaskIgnoresCaseAndMatchingFoldersEndInASeparator) {
    TempDir dir;
    writeText(dir.file("DOOM2.WAD"), "x");
    writeText(dir.file("README"), "x");
    writeText(dir.file("a.wadx"), "x");
    fs::create_directory(dir.path() / "maps.wad");
    // Links to folders are listed but not entered.
    writeText(dir.file("top/x.wad"), "x");
    fs::create_directory_symlink(dir.path() / "top", dir.path() / "top" / "loop");
    fs::create_directory_symlink(dir.path() / "top", dir.path() / "top" / "loop.wad");

    FileFinder finder;
    FindOptions options = wadSearch(dir.folder(), 0);
    EXPECT_EQ(finder.Find(options), 2);
    EXPECT_EQ(results(finder), (std::vector<std::string>{dir.file("DOOM2.WAD"), dir.folder("maps.wad")}));
    EXPECT_EQ(finder.GetFilePath(-1), "");
    EXPECT_EQ(finder.GetFilePath(2), "");

    // Results stay until RemoveAll; "*.*" also matches a name without a dot.
    options.fileMask = "*.*";
    EXPECT_EQ(finder.Find(options), 2 + 5);
    finder.RemoveAll();
    EXPECT_EQ(finder.Find(wadSearch(dir.folder("top"))), 2);
    EXPECT_EQ(results(finder), (std::vector<std::string>{dir.folder("top/loop.wad"), dir.file("top/x.wad")}));
}

TEST(LaunchFileFinder, FiltersRejectInTheirOrder) {
    TempDir dir;
    writeText(dir.file("small.wad"), std::string(100, 'a'));
    writeText(dir.file("large.wad"), std::string(5000, 'b') + "Needle");
    ASSERT_EQ(::mkfifo(dir.file("pipe.wad").c_str(), 0600), 0);
    for (const char* name : {"small.wad", "large.wad", "pipe.wad"}) {
        const std::time_t written = name[0] == 's' ? 1000000 : 2000000;
        const timespec times[2] = {{written, 0}, {written, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, dir.file(name).c_str(), times, 0), 0);
    }

    std::vector<std::pair<FindOptions, std::vector<std::string>>> cases;
    FindOptions options = wadSearch(dir.folder(), 0);
    // Regular files carry the archive attribute.
    options.optionFlags = FIND_ATTRIBUTES;
    options.fileAttributes = kAttributeArchive;
    cases.push_back({options, {"large.wad", "small.wad"}});
    // Size bounds are inclusive.
    options.optionFlags |= FIND_SIZE;
    options.minSize = options.maxSize = 100;
    cases.push_back({options, {"small.wad"}});
    options = wadSearch(dir.folder(), 0);
    options.optionFlags = FIND_MODIFIED;
    options.minModified = options.maxModified = 2000000;  // inclusive too
    cases.push_back({options, {"large.wad", "pipe.wad"}});
    // The pipe fails the attribute test before its text would be read (opening
    // it would block): the text test comes last.
    options.optionFlags = FIND_ATTRIBUTES | FIND_TEXT;
    options.fileAttributes = kAttributeArchive;
    options.findText = "needle";
    cases.push_back({options, {"large.wad"}});

    for (const auto& [caseOptions, found] : cases) {
        SCOPED_TRACE(found.front());
        RecordingFinder recorder;
        recorder.finder.Find(caseOptions);
        std::vector<std::string> expected;
        for (const std::string& name : found) {
            expected.push_back(dir.file(name));
        }
        EXPECT_EQ(results(recorder.finder), expected);
        EXPECT_EQ(recorder.count(FF_FOUND), static_cast<long>(found.size()));
        EXPECT_EQ(recorder.count(FF_DISCARDED), static_cast<long>(3 - found.size()));
    }
}

TEST(LaunchFileFinder, StopEndsTheWholeSearchAndTheNextStartsAfresh) {
    TempDir dir;
    for (const std::string folder : {"a/", "a/b/", "a/b/c/", "a/b/c/d/"}) {
        writeText(dir.file(folder + "1.wad"), "x");
        writeText(dir.file(folder + "2.wad"), "x");
        writeText(dir.file(folder + "e/3.wad"), "x");
    }
    RecordingFinder recorder;
    recorder.onReport = [](FileFinder& finder, FinderCode code) {
        if (code == FF_FOUND) {
            finder.StopSearch();
        }
    };
    EXPECT_EQ(recorder.finder.Find(wadSearch(dir.folder("a"))), 1);
    // After the stop each enclosing folder still reports itself, and nothing else.
    const auto found = std::find(recorder.codes.begin(), recorder.codes.end(), FF_FOUND);
    ASSERT_NE(found, recorder.codes.end());
    EXPECT_TRUE(
        std::all_of(found + 1, recorder.codes.end(), [](FinderCode code) { return code == FF_FOLDER; }));
    EXPECT_EQ(recorder.reports.back(), dir.folder("a") + "|" + recorder.finder.GetFilePath(0));

    recorder.onReport = nullptr;
    recorder.finder.RemoveAll();
    EXPECT_EQ(recorder.finder.Find(wadSearch(dir.folder("a"))), 12);
}

TEST(LaunchFindTextInFile, FindsTextAcrossChunksWithoutCaseOrZeroBytes) {
    TempDir dir;
    // Five characters: chunks of 123 bytes. The text straddles the first two.
    writeText(dir.file("spans"),
              std::string(120, '.') + std::string("he\0Ll", 5) + "O" + std::string(123u * 25, '.'));
    writeText(dir.file("far"), std::string(123u * 24, '.') + "hello");

    RecordingFinder recorder;
    FileFinder& finder = recorder.finder;
    EXPECT_TRUE(finder.FindTextInFile(dir.file("spans"), "HELLO"));
    EXPECT_TRUE(recorder.codes.empty());
    // Found in the 25th chunk: two progress reports on the way.
    EXPECT_TRUE(finder.FindTextInFile(dir.file("far"), "hello"));
    EXPECT_EQ(recorder.codes, (std::vector<FinderCode>{FF_FINDTEXT, FF_FINDTEXT}));
    EXPECT_FALSE(finder.FindTextInFile(dir.file("far"), "absent"));
    EXPECT_FALSE(finder.FindTextInFile(dir.file("far"), ""));
    EXPECT_FALSE(finder.FindTextInFile(dir.file("missing"), "hello"));
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
