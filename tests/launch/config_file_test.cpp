#include "launch/config_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "launch/settings.h"
#include "launch_test_support.h"

namespace launch_test {
namespace {

using LaunchConfigFile = SettingsTest;
using Bytes = std::vector<uint8_t>;

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

// Only low bytes of the numbers are kept, and on disk every 0x0A byte gains a
// 0x0D before it while a lone 0x0D stays as it is.
TEST_F(LaunchConfigFile, RecordHasItsExactBytes) {
    TempDir dir;
    bv_firstrun = 0;
    bv_lastarticleno = 266;
    bv_extraparams = "a\n\r\x1A";
    AddWadDirectory("C:\\DOOM\\", 0);
    AddWadDirectory("/w/", 65535);
    MemoryModalMessageView messages;
    ASSERT_TRUE(BV_SaveConfig(messages, dir.path()));
    const std::string disk = readText(dir.path() / kConfigFileName);
    EXPECT_EQ(Bytes(disk.begin(), disk.end()),
              (Bytes{0x68, 0x00, 'a',  0x0D, 0x0A, 0x0D, 0x1A, 0x00, 0x00, 0x0D, 0x0A, 0x01, 0x00,
                     0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0xFF, 0xFF, '/',  'w',  '/',  0x00, 0x01,
                     0x00, 0x00, 0x43, 0x3A, 0x5C, 0x44, 0x4F, 0x4F, 0x4D, 0x5C, 0x00, 0x00}));
    EXPECT_TRUE(messages.messages().empty());
    // It may hold a password.
    EXPECT_EQ(fs::status(dir.path() / kConfigFileName).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
}

// Only the stored low byte of the remember flag counts, so the record never
// disagrees with itself; and a second load in the same run adds the
// directories again, in the order flipped by each save and load.
TEST_F(LaunchConfigFile, SaveAndLoadKeepWhatTheRecordHolds) {
    for (const auto& [remember, userAfterLoad] :
         {std::pair<int32_t, std::string>{0, ""}, {1, "player"}, {256, ""}}) {
        SCOPED_TRACE(remember);
        bv_rememberpassword = remember;
        bv_username = "player";
        bv_password = "s";
        bv_extraparams = "x";
        reload();
        EXPECT_EQ(bv_username, userAfterLoad);
        EXPECT_EQ(bv_extraparams, "x");
    }

    resetSettings();
    bv_lastarticleno = 300;
    bv_shownews = bv_firstrun = 0;
    bv_extraparams = "-warp\n\r1 \x1A";
    AddWadDirectory("/wads/a/", 65535);
    AddWadDirectory("/wads/b/", 0);
    AddWadDirectory("/wads/c/", 0);
    const Bytes disk = configFileBytes().value();
    resetSettings();
    loadConfigBytes(disk);
    loadConfigBytes(disk);
    const std::string loaded = " /wads/a/@-1 /wads/b/@0 /wads/c/@0";
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
            writeText(file, std::string(bytes->begin(), bytes->end()));
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
    const rlimit small{1024, previous.rlim_max};
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
TEST_F(LaunchConfigFile, LongestTextsLoadAsSavedAndLongerOnesAreRefused) {
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

    // Directories that would not read back are refused.
    EXPECT_TRUE(AddWadDirectory("/" + std::string(253, 'd') + "/", 0));
    EXPECT_FALSE(AddWadDirectory("/" + std::string(254, 'd') + "/", 0));
    EXPECT_FALSE(AddWadDirectory("/caf\xFF/", 0));
    EXPECT_EQ(directoryPaths().size(), 1u);
}

}  // namespace
}  // namespace launch_test
