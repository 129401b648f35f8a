#include "launch/file_finder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>

#include "launch_test_support.h"

namespace launch_test {
namespace {

struct Report {
    FinderCode code;
    std::string folder;  // GetSearchingFolder() at the time
    std::string latest;  // the newest result at the time
    friend bool operator==(const Report&, const Report&) = default;
};

std::ostream& operator<<(std::ostream& out, const Report& report) {
    return out << report.code << ' ' << report.folder << ' ' << report.latest;
}

// Records every report; `onReport` may act on it.
class RecordingFinder {
  public:
    RecordingFinder() {
        finder.SetCallback(
            [](FileFinder& f, FinderCode code, void* self) {
                auto& recorder = *static_cast<RecordingFinder*>(self);
                recorder.reports.push_back(
                    {code, f.GetSearchingFolder(), f.GetFilePath(f.GetFileCount() - 1)});
                if (recorder.onReport) {
                    recorder.onReport(f, code);
                }
            },
            this);
    }

    std::vector<FinderCode> codes() const {
        std::vector<FinderCode> result;
        for (const Report& report : reports) {
            result.push_back(report.code);
        }
        return result;
    }

    FileFinder finder;
    std::vector<Report> reports;
    std::function<void(FileFinder&, FinderCode)> onReport;
};

FindOptions wadSearch(const std::string& base, int32_t subfolders = 1) {
    FindOptions options;
    options.baseFolder = base;
    options.fileMask = "*.wad";
    options.subfolders = subfolders;
    return options;
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
    EXPECT_EQ(recorder.reports, (std::vector<Report>{{FF_FOLDER, c, ""},
                                                     {FF_FOUND, c, c + "x.wad"},
                                                     {FF_FOLDER, b, c + "x.wad"},
                                                     {FF_FOUND, b, b + "x.wad"},
                                                     {FF_FOLDER, a, b + "x.wad"},
                                                     {FF_FOUND, a, a + "x.wad"}}));

    // Without subfolders only the base's own entries are examined.
    RecordingFinder flat;
    EXPECT_EQ(flat.finder.Find(wadSearch(a, 0)), 1);
    EXPECT_EQ(flat.codes(), (std::vector<FinderCode>{FF_FOLDER, FF_FOUND}));
}

TEST(LaunchFileFinder, MaskIgnoresCaseAndMatchingFoldersEndInASeparator) {
    TempDir dir;
    writeText(dir.file("DOOM2.WAD"), "x");
    writeText(dir.file("README"), "x");
    writeText(dir.file("a.wadx"), "x");
    fs::create_directory(dir.path() / "maps.wad");

    FileFinder finder;
    FindOptions options = wadSearch(dir.folder(), 0);
    EXPECT_EQ(finder.Find(options), 2);
    std::vector<std::string> found{finder.GetFilePath(0), finder.GetFilePath(1)};
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{dir.file("DOOM2.WAD"), dir.folder("maps.wad")}));
    EXPECT_EQ(finder.GetFilePath(-1), "");
    EXPECT_EQ(finder.GetFilePath(2), "");

    // Results stay until RemoveAll; "*.*" also matches a name without a dot.
    options.fileMask = "*.*";
    EXPECT_EQ(finder.Find(options), 2 + 4);
    finder.RemoveAll();
    EXPECT_EQ(finder.GetFileCount(), 0);
}

TEST(LaunchFileFinder, FiltersRejectInTheirOrder) {
    TempDir dir;
    writeText(dir.file("small.wad"), std::string(100, 'a'));
    writeText(dir.file("large.wad"), std::string(5000, 'b') + "Needle");
    ASSERT_EQ(::mkfifo(dir.file("pipe.wad").c_str(), 0600), 0);
    const std::time_t past = std::time(nullptr) - 100000;
    const timespec times[2] = {{past, 0}, {past, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, dir.file("small.wad").c_str(), times, 0), 0);

    struct Case {
        std::string name;
        FindOptions options;
        std::vector<std::string> found;
    };
    std::vector<Case> cases;
    FindOptions options = wadSearch(dir.folder(), 0);
    options.optionFlags = FIND_ATTRIBUTES;
    options.fileAttributes = kAttributeArchive;
    cases.push_back({"regular files carry the archive attribute", options, {"large.wad", "small.wad"}});
    options.optionFlags |= FIND_SIZE;
    options.minSize = 100;
    options.maxSize = 100;
    cases.push_back({"size bounds are inclusive", options, {"small.wad"}});
    options = wadSearch(dir.folder(), 0);
    options.optionFlags = FIND_MODIFIED;
    options.maxModified = std::time(nullptr) + 10;
    options.minModified = options.maxModified - 1000;
    cases.push_back({"modified within the last minutes", options, {"large.wad", "pipe.wad"}});
    // The pipe fails the attribute test before its text would be read (opening
    // it would block): the text test comes last.
    options.optionFlags = FIND_ATTRIBUTES | FIND_TEXT;
    options.fileAttributes = kAttributeArchive;
    options.findText = "needle";
    cases.push_back({"text", options, {"large.wad"}});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingFinder recorder;
        recorder.finder.Find(c.options);
        std::vector<std::string> found;
        for (int32_t i = 0; i < recorder.finder.GetFileCount(); ++i) {
            found.push_back(fs::path(recorder.finder.GetFilePath(i)).filename().string());
        }
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, c.found);
        const auto codes = recorder.codes();
        EXPECT_EQ(std::count(codes.begin(), codes.end(), FF_FOUND), static_cast<long>(c.found.size()));
        EXPECT_EQ(std::count(codes.begin(), codes.end(), FF_DISCARDED),
                  static_cast<long>(3 - c.found.size()));
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
    const auto codes = recorder.codes();
    const auto found = std::find(codes.begin(), codes.end(), FF_FOUND);
    ASSERT_NE(found, codes.end());
    EXPECT_TRUE(std::all_of(found + 1, codes.end(), [](FinderCode code) { return code == FF_FOLDER; }));
    EXPECT_EQ(recorder.reports.back().folder, dir.folder("a"));

    recorder.onReport = nullptr;
    recorder.finder.RemoveAll();
    EXPECT_EQ(recorder.finder.Find(wadSearch(dir.folder("a"))), 12);
}

TEST(LaunchFileFinder, LinksToFoldersAreListedButNotEntered) {
    TempDir dir;
    writeText(dir.file("top/x.wad"), "x");
    fs::create_directory_symlink(dir.path() / "top", dir.path() / "top" / "loop");
    fs::create_directory_symlink(dir.path() / "top", dir.path() / "top" / "loop.wad");
    FileFinder finder;
    EXPECT_EQ(finder.Find(wadSearch(dir.folder("top"))), 2);
    std::vector<std::string> found{finder.GetFilePath(0), finder.GetFilePath(1)};
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{dir.folder("top/loop.wad"), dir.file("top/x.wad")}));
}

TEST(LaunchFindTextInFile, FindsTextAcrossChunksWithoutCaseOrZeroBytes) {
    TempDir dir;
    // Five characters: chunks of 123 bytes. The text straddles the first two.
    std::string bytes(120, '.');
    bytes += std::string("he\0Ll", 5);
    bytes += "O";
    bytes += std::string(123u * 25, '.');
    writeText(dir.file("spans"), bytes);
    writeText(dir.file("far"), std::string(123u * 24, '.') + "hello");

    RecordingFinder recorder;
    FileFinder& finder = recorder.finder;
    EXPECT_TRUE(finder.FindTextInFile(dir.file("spans"), "HELLO"));
    EXPECT_TRUE(recorder.reports.empty());
    // Found in the 25th chunk: two progress reports on the way.
    EXPECT_TRUE(finder.FindTextInFile(dir.file("far"), "hello"));
    EXPECT_EQ(recorder.codes(), (std::vector<FinderCode>{FF_FINDTEXT, FF_FINDTEXT}));
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
