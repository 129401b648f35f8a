#include "launch/config_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "launch/settings.h"
#include "launch_test_support.h"

namespace launch_test {
namespace {

using LaunchConfigFile = SettingsTest;

TEST_F(LaunchConfigFile, ExampleRecordHasItsExactBytes) {
    TempDir dir;
    bv_firstrun = 0;
    AddWadDirectory("C:\\DOOM\\", 0);
    MemoryModalMessageView messages;
    ASSERT_TRUE(BV_SaveConfig(messages, dir.path()));
    EXPECT_EQ(readBytes(dir.path() / "pellrig32.cfg"),
              (Bytes{0x68, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01,
                     0x00, 0x00, 0x43, 0x3A, 0x5C, 0x44, 0x4F, 0x4F, 0x4D, 0x5C, 0x00, 0x00}));
    EXPECT_TRUE(messages.messages().empty());
    // It may hold a password.
    EXPECT_EQ(fs::status(dir.path() / "pellrig32.cfg").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(LaunchConfigFile, AccountFieldsAreKeptOnlyWhenRemembering) {
    struct Case {
        int32_t remember;
        Bytes start;  // the record's first bytes
        std::string userAfterLoad;
    };
    const Case cases[] = {
        {0, {0x68, 0x00, 'x', 0x00}, ""},
        {1, {0x68, 0x01, 'p', 'l', 'a', 'y', 'e', 'r', 0x00, 's', 0x00, 'x', 0x00}, "player"},
        // Only the stored low byte counts, so the record never disagrees with itself.
        {256, {0x68, 0x00, 'x', 0x00}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.remember);
        TempDir dir;
        bv_rememberpassword = c.remember;
        bv_username = "player";
        bv_password = "s";
        bv_extraparams = "x";
        MemoryModalMessageView messages;
        ASSERT_TRUE(BV_SaveConfig(messages, dir.path()));
        const Bytes saved = readBytes(dir.path() / "pellrig32.cfg");
        EXPECT_EQ(Bytes(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(c.start.size())), c.start);

        resetSettings();
        BV_LoadConfig(dir.path());
        EXPECT_EQ(bv_username, c.userAfterLoad);
        EXPECT_EQ(bv_extraparams, "x");
    }
}

TEST_F(LaunchConfigFile, SaveAndLoadKeepLowBytesTranslateLineEndsAndFlipTheOrder) {
    TempDir dir;
    bv_lastarticleno = 300;
    bv_shownews = 0;
    bv_firstrun = 0;
    bv_extraparams = "-warp\n\r1 \x1A";
    AddWadDirectory("/wads/a/", 65535);
    AddWadDirectory("/wads/b/", 0);
    AddWadDirectory("/wads/c/", 0);
    for (int i = 0; i < 7; ++i) {
        AddWadDirectory("/more/", 0);
    }
    MemoryModalMessageView messages;
    ASSERT_TRUE(BV_SaveConfig(messages, dir.path()));

    // The 0x0A of the text and the count of 10 each gain a 0x0D on disk; the
    // lone 0x0D and the 0x1A stay as they are.
    const Bytes disk = readBytes(dir.path() / "pellrig32.cfg");
    const Bytes text{'-', 'w', 'a', 'r', 'p', 0x0D, 0x0A, 0x0D, '1', ' ', 0x1A, 0x00};
    EXPECT_NE(std::search(disk.begin(), disk.end(), text.begin(), text.end()), disk.end());
    const Bytes count{0x2C, 0x00, 0x00, 0x00, 0x0D, 0x0A, 0x00, 0x00, 0x00, 0x01};
    EXPECT_NE(std::search(disk.begin(), disk.end(), count.begin(), count.end()), disk.end());

    resetSettings();
    BV_LoadConfig(dir.path() / "pellrig32.cfg");
    EXPECT_EQ(bv_lastarticleno, 44);
    EXPECT_EQ(bv_shownews, 0);
    EXPECT_EQ(bv_firstrun, 0);
    EXPECT_EQ(bv_extraparams, "-warp\n\r1 \x1A");
    std::vector<std::string> expected(7, "/more/");
    expected.insert(expected.end(), {"/wads/c/", "/wads/b/", "/wads/a/"});
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(directoryPaths(), expected);
    EXPECT_EQ(wad_directories.front().listIndex, -1);

    // A second load in the same run adds the directories again.
    BV_LoadConfig(dir.path());
    EXPECT_EQ(std::distance(wad_directories.begin(), wad_directories.end()), 20);
}

TEST_F(LaunchConfigFile, MissingOrForeignFileGivesTheIntegerDefaultsOnly) {
    TempDir dir;
    const fs::path file = dir.path() / "pellrig32.cfg";
    const std::vector<std::pair<std::string, Bytes>> cases = {
        {"older version", {0x67, 0x01, 'a', 0x00}},
        {"newer version", {0x69, 0x01, 'a', 0x00}},
        {"empty", {}},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        writeBytes(file, bytes);
        bv_rememberpassword = bv_lastarticleno = bv_autologin = 7;
        bv_shownews = bv_firstrun = 0;
        bv_extraparams = "kept";
        AddWadDirectory("/kept/", 0);
        BV_LoadConfig(file);
        EXPECT_EQ(bv_rememberpassword, 0);
        EXPECT_EQ(bv_lastarticleno, 0);
        EXPECT_EQ(bv_autologin, 0);
        EXPECT_EQ(bv_shownews, 1);
        EXPECT_EQ(bv_firstrun, 1);
        EXPECT_EQ(bv_extraparams, "kept");
        EXPECT_EQ(directoryPaths(), std::vector<std::string>{"/kept/"});
        ClearWadDirectories();
    }

    fs::remove(file);
    bv_shownews = 0;
    BV_LoadConfig(file);
    EXPECT_EQ(bv_shownews, 1);
}

TEST_F(LaunchConfigFile, EarlyEndReadsAsMinusOneAndEmptyTexts) {
    TempDir dir;
    const fs::path file = dir.path() / "pellrig32.cfg";

    // Cut after the server password: every number after it reads -1.
    writeBytes(file, {0x68, 0x00, 'e', 0x00, 'p', 0x00});
    BV_LoadConfig(file);
    EXPECT_EQ(bv_extraparams, "e");
    EXPECT_EQ(bv_serverpassword, "p");
    EXPECT_EQ(bv_lastarticleno, -1);
    EXPECT_EQ(bv_shownews, -1);
    EXPECT_EQ(bv_autologin, -1);
    EXPECT_EQ(bv_firstrun, -1);
    EXPECT_TRUE(wad_directories.empty());

    // Cut inside the user name: the name keeps what is there, the rest is empty.
    resetSettings();
    writeBytes(file, {0x68, 0x01, 'p', 'l'});
    BV_LoadConfig(file);
    EXPECT_EQ(bv_username, "pl");
    EXPECT_EQ(bv_password, "");
    EXPECT_EQ(bv_firstrun, -1);

    // A count that disagrees with the entries, and no end marker: the entries
    // are read until the data runs out.
    resetSettings();
    writeBytes(file, {0x68, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x01,
                      0x02, 0x00, '/',  'a',  '/',  0x00, 0x07, 0x00, 0x00, '/',  'b',  '/'});
    BV_LoadConfig(file);
    EXPECT_EQ(directoryPaths(), (std::vector<std::string>{"/b/", "/a/"}));
    EXPECT_EQ(wad_directories.front().listIndex, 0);
    EXPECT_EQ(std::next(wad_directories.begin())->listIndex, 2);
}

TEST_F(LaunchConfigFile, FailedSaveLeavesTheOldFileAsItWas) {
    TempDir dir;
    const fs::path file = dir.path() / "pellrig32.cfg";
    const Bytes old{0x68, 0x00, 0x00, 0x00, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    writeBytes(file, old);

    // A record over 8192 bytes is refused as a whole.
    for (int i = 0; i < 40; ++i) {
        AddWadDirectory("/" + std::string(250, 'd') + "/", 0);
    }
    MemoryModalMessageView messages;
    EXPECT_FALSE(BV_SaveConfig(messages, file));
    EXPECT_EQ(messages.messages(),
              (std::vector<UserMessage>{{kConfigTooLarge, "", MessageIcon::Exclamation}}));
    EXPECT_EQ(readBytes(file), old);

    // A write that fails halfway: the file size limit stops it.
    ClearWadDirectories();
    for (int i = 0; i < 20; ++i) {
        AddWadDirectory("/" + std::string(200, 'd') + "/", 0);
    }
    messages.clear();
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = BV_SaveConfig(messages, file);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(messages.messages(),
              (std::vector<UserMessage>{{kUnableToCreateConfig, "", MessageIcon::None}}));
    EXPECT_EQ(readBytes(file), old);

    // A folder that does not exist.
    messages.clear();
    EXPECT_FALSE(BV_SaveConfig(messages, dir.path() / "missing" / "pellrig32.cfg"));
    EXPECT_EQ(messages.messages().size(), 1u);

    // Nothing but the old file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// A read stops after 2047 characters, before the NUL of a text that long, which
// then shifted every field after it: the longest extra parameters the settings
// took came back with the server password empty and the numbers wrong.
TEST_F(LaunchConfigFile, LongestTextsLoadAsSaved) {
    TempDir dir;
    EXPECT_FALSE(settingTextFits(std::string(kMaxExtraParams + 1, 'x'), kMaxExtraParams));
    bv_extraparams = std::string(kMaxExtraParams, 'x');
    bv_serverpassword = "pw";
    bv_lastarticleno = 5;
    MemoryModalMessageView messages;
    ASSERT_TRUE(BV_SaveConfig(messages, dir.path()));
    resetSettings();
    BV_LoadConfig(dir.path());
    EXPECT_EQ(bv_extraparams, std::string(kMaxExtraParams, 'x'));
    EXPECT_EQ(bv_serverpassword, "pw");
    EXPECT_EQ(bv_lastarticleno, 5);

    // A text no save wrote, past a whole read: what was loaded saves and loads as it is.
    Bytes foreign{0x68, 0x00};
    foreign.insert(foreign.end(), 3000, 'x');
    foreign.insert(foreign.end(), {0x00, 'p', 0x00, 0x07, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    writeBytes(dir.path() / "pellrig32.cfg", foreign);
    resetSettings();
    BV_LoadConfig(dir.path());
    const std::string extra = bv_extraparams;
    const std::string server = bv_serverpassword;
    const int32_t article = bv_lastarticleno;
    EXPECT_EQ(extra.size(), kMaxExtraParams);
    ASSERT_TRUE(BV_SaveConfig(messages, dir.path()));
    resetSettings();
    BV_LoadConfig(dir.path());
    EXPECT_EQ(bv_extraparams, extra);
    EXPECT_EQ(bv_serverpassword, server);
    EXPECT_EQ(bv_lastarticleno, article);
}

TEST_F(LaunchConfigFile, DirectoriesThatWouldNotReadBackAreRefused) {
    EXPECT_TRUE(AddWadDirectory("/" + std::string(253, 'd') + "/", 0));
    EXPECT_FALSE(AddWadDirectory("/" + std::string(254, 'd') + "/", 0));
    EXPECT_FALSE(AddWadDirectory("/caf\xFF/", 0));
    EXPECT_EQ(directoryPaths().size(), 1u);
    EXPECT_FALSE(settingTextFits(std::string(2048, 'x'), kMaxExtraParams));
}

}  // namespace
}  // namespace launch_test
