#include "launch/config_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "launch/settings.h"
#include "launch_test_support.h"

namespace launch_test {
namespace {

using LaunchConfigFile = SettingsTest;

// Every setting on one line, for comparing whole states.
std::string state() {
    std::string text = std::to_string(bv_rememberpassword) + ' ' + std::to_string(bv_lastarticleno) + ' ' +
                       std::to_string(bv_shownews) + ' ' + std::to_string(bv_autologin) + ' ' +
                       std::to_string(bv_firstrun) + " [" + bv_username + "][" + bv_password + "][" +
                       bv_extraparams + "][" + bv_serverpassword + "]";
    for (const WadDirectory& directory : wad_directories) {
        text += ' ' + directory.path + '@' + std::to_string(directory.listIndex);
    }
    return text;
}

// Loads what a save of the current settings would write, from a fresh start.
void reload() {
    const Bytes record = configFileBytes().value();
    resetSettings();
    loadConfigBytes(record);
}

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
    const struct {
        int32_t remember;
        Bytes start;  // the record's first bytes
        std::string userAfterLoad;
    } cases[] = {
        {0, {0x68, 0x00, 'x', 0x00}, ""},
        {1, {0x68, 0x01, 'p', 'l', 'a', 'y', 'e', 'r', 0x00, 's', 0x00, 'x', 0x00}, "player"},
        // Only the stored low byte counts, so the record never disagrees with itself.
        {256, {0x68, 0x00, 'x', 0x00}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.remember);
        bv_rememberpassword = c.remember;
        bv_username = "player";
        bv_password = "s";
        bv_extraparams = "x";
        const Bytes saved = configFileBytes().value();
        EXPECT_EQ(Bytes(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(c.start.size())), c.start);
        reload();
        EXPECT_EQ(bv_username, c.userAfterLoad);
        EXPECT_EQ(bv_extraparams, "x");
    }
}

TEST_F(LaunchConfigFile, SaveAndLoadKeepLowBytesTranslateLineEndsAndFlipTheOrder) {
    bv_lastarticleno = 300;
    bv_shownews = 0;
    bv_firstrun = 0;
    bv_extraparams = "-warp\n\r1 \x1A";
    AddWadDirectory("/wads/a/", 65535);
    AddWadDirectory("/wads/b/", 0);
    AddWadDirectory("/wads/c/", 0);
    std::string loaded = " /wads/a/@-1 /wads/b/@0 /wads/c/@0";
    for (int i = 0; i < 7; ++i) {
        AddWadDirectory("/more/", 0);
        loaded += " /more/@0";
    }
    const Bytes disk = configFileBytes().value();
    // The 0x0A of the text and the count of 10 each gain a 0x0D on disk; the
    // lone 0x0D and the 0x1A stay as they are.
    const Bytes text{'-', 'w', 'a', 'r', 'p', 0x0D, 0x0A, 0x0D, '1', ' ', 0x1A, 0x00};
    EXPECT_NE(std::search(disk.begin(), disk.end(), text.begin(), text.end()), disk.end());
    const Bytes count{0x2C, 0x00, 0x00, 0x00, 0x0D, 0x0A, 0x00, 0x00, 0x00, 0x01};
    EXPECT_NE(std::search(disk.begin(), disk.end(), count.begin(), count.end()), disk.end());

    // A second load in the same run adds the directories again.
    resetSettings();
    loadConfigBytes(disk);
    loadConfigBytes(disk);
    EXPECT_EQ(state(), "0 44 0 0 0 [][][-warp\n\r1 \x1A][]" + loaded + loaded);
}

// A missing file, or one of another version, sets the integer defaults only;
// one that ends early reads -1 for each missing number and an empty text for
// each missing string, and its directories up to where the data runs out.
TEST_F(LaunchConfigFile, ForeignMissingOrShortFilesLoadAsFarAsTheyGo) {
    TempDir dir;
    const fs::path file = dir.path() / kConfigFileName;
    const std::string defaults = "0 0 1 0 1 [][][kept][] /kept/@3";
    const std::pair<std::optional<Bytes>, std::string> cases[] = {
        {std::nullopt, defaults},
        {Bytes{0x67, 0x01, 'a', 0x00}, defaults},
        {Bytes{0x69, 0x01, 'a', 0x00}, defaults},
        {Bytes{}, defaults},
        {Bytes{0x68, 0x00, 'e', 0x00, 'p', 0x00}, "0 -1 -1 -1 -1 [][][e][p] /kept/@3"},
        {Bytes{0x68, 0x01, 'p', 'l'}, "1 -1 -1 -1 -1 [pl][][][] /kept/@3"},
        // The count disagrees with the entries, and the end marker is missing.
        {Bytes{0x68, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x01,
               0x02, 0x00, '/',  'a',  '/',  0x00, 0x07, 0x00, 0x00, '/',  'b',  '/'},
         "0 0 1 0 0 [][][][] /b/@0 /a/@2 /kept/@3"},
    };
    for (const auto& [bytes, expected] : cases) {
        SCOPED_TRACE(expected);
        resetSettings();
        bv_rememberpassword = bv_lastarticleno = bv_autologin = 7;
        bv_shownews = bv_firstrun = 0;
        bv_extraparams = "kept";
        AddWadDirectory("/kept/", 3);
        fs::remove(file);
        if (bytes) {
            writeBytes(file, *bytes);
        }
        BV_LoadConfig(file);
        EXPECT_EQ(state(), expected);
    }
}

TEST_F(LaunchConfigFile, FailedSaveLeavesTheOldFileAsItWas) {
    TempDir dir;
    const fs::path file = dir.path() / kConfigFileName;
    writeText(file, "old");
    MemoryModalMessageView messages;
    // A record over 8192 bytes is refused as a whole.
    for (int i = 0; i < 40; ++i) {
        AddWadDirectory("/" + std::string(250, 'd') + "/", 0);
    }
    EXPECT_FALSE(BV_SaveConfig(messages, file));

    // A write that fails halfway: the file size limit stops it.
    ClearWadDirectories();
    for (int i = 0; i < 20; ++i) {
        AddWadDirectory("/" + std::string(200, 'd') + "/", 0);
    }
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_FALSE(BV_SaveConfig(messages, file));
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    // And a folder that does not exist. Nothing but the old file is left behind.
    EXPECT_FALSE(BV_SaveConfig(messages, dir.path() / "missing" / kConfigFileName));
    const UserMessage unable{kUnableToCreateConfig, "", MessageIcon::None};
    EXPECT_EQ(messages.messages(),
              (std::vector<UserMessage>{{kConfigTooLarge, "", MessageIcon::Exclamation}, unable, unable}));
    EXPECT_EQ(readText(file), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// A read stops after 2047 characters, before the NUL of a text that long, which
// then shifted every field after it: the longest extra parameters the settings
// took came back with the server password empty and the numbers wrong.
TEST_F(LaunchConfigFile, LongestTextsLoadAsSaved) {
    bv_extraparams = std::string(kMaxExtraParams, 'x');
    bv_serverpassword = "pw";
    bv_lastarticleno = 5;
    const std::string saved = state();
    reload();
    EXPECT_EQ(state(), saved);

    // A text no save wrote, past a whole read: what was loaded saves and loads as it is.
    Bytes foreign{0x68, 0x00};
    foreign.insert(foreign.end(), 3000, 'x');
    foreign.insert(foreign.end(), {0x00, 'p', 0x00, 0x07, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    loadConfigBytes(foreign);
    EXPECT_EQ(bv_extraparams.size(), kMaxExtraParams);
    const std::string loaded = state();
    reload();
    EXPECT_EQ(state(), loaded);
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
