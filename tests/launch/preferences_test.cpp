#include "launch/preferences.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "launch/config_file.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

// The file sits beside pellrig32.cfg; keys this version does not know come back
// as they were, types and all; a failed save leaves the old file as it was.
TEST(LaunchPreferences, SaveAndLoadKeepEveryKey) {
    TempDir dir;
    const fs::path file = dir.path() / kPreferencesFileName;
    EXPECT_EQ(preferencesFilePath(dir.path() / kConfigFileName), file);
    EXPECT_FALSE(loadPreferences(dir.path()).message);
    writeText(file, R"({"sort": 3, "fastRefresh": false, "later": ["a:1", {"b": null, "c": 1.5}]})");
    LoadedPreferences loaded = loadPreferences(dir.path());
    const auto others = loaded.preferences.otherKeys;
    loaded.preferences.fastRefresh = true;
    loaded.preferences.serverSortColumn = 6;
    loaded.preferences.filterText = "caf\xC3\xA9";
    loaded.preferences.gameType = 2;
    loaded.preferences.favourites = {"10.0.0.1:10666", "10.0.0.2:10667"};
    MemoryModalMessageView messages;
    ASSERT_TRUE(savePreferences(loaded.preferences, messages, dir.path()));
    loaded = loadPreferences(dir.path());
    EXPECT_TRUE(loaded.preferences.fastRefresh);
    EXPECT_EQ(loaded.preferences.serverSortColumn, 6);
    EXPECT_EQ(loaded.preferences.filterText, "caf\xC3\xA9");
    EXPECT_EQ(loaded.preferences.gameType, 2);
    EXPECT_EQ(loaded.preferences.favourites, (std::vector<std::string>{"10.0.0.1:10666", "10.0.0.2:10667"}));
    EXPECT_EQ(others.size(), 2u);
    EXPECT_EQ(loaded.preferences.otherKeys, others);

    // A write that the file size limit stops halfway.
    const std::string saved = readText(file);
    loaded.preferences.otherKeys["pad"] = '"' + std::string(4000, 'x') + '"';
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{1024, previous.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_FALSE(savePreferences(loaded.preferences, messages, dir.path()));
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(readText(file), saved);
}

// Each gives the defaults and a message naming the file; what could be read is kept.
TEST(LaunchPreferences, DamagedFilesGiveTheDefaultsAndAMessage) {
    TempDir dir;
    const fs::path file = dir.path() / kPreferencesFileName;
    const std::string tooLong =
        R"({"fastRefresh": true, "x": ")" + std::string(kPreferencesMaxSize, 'x') + "\"}";
    const std::string tooDeep =
        R"({"fastRefresh": true, "x": )" + std::string(100000, '[') + std::string(100000, ']') + '}';
    for (const std::string& text :
         {std::string(R"({"fastRefresh": true)"), std::string("[true]"), std::string("\0\xFF{\x80", 4),
          tooLong, tooDeep, std::string(R"({"gameType": 4294967295, "filterText": 1})"),
          std::string(R"({"wadSites": ["https://a/{name}", 2]})"),
          std::string(R"({"fastRefresh": 1, "later": 1})")}) {
        SCOPED_TRACE(text.substr(0, 40));
        writeText(file, text);
        const LoadedPreferences loaded = loadPreferences(dir.path());
        EXPECT_FALSE(loaded.preferences.fastRefresh);
        ASSERT_TRUE(loaded.message);
        EXPECT_NE(loaded.message->text.find(file.string()), std::string::npos);
    }
    EXPECT_EQ(loadPreferences(dir.path()).preferences.otherKeys.count("later"), 1u);
}

}  // namespace
