#include "launch/game_launch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "launch/command_line.h"
#include "launch/settings.h"
#include "launch/wad_directory_editor.h"
#include "launch/wad_index.h"
#include "launch_test_support.h"

namespace launch_test {
namespace {

using namespace std::chrono_literals;

TEST(LaunchCommandLine, HasTheGameShapesAndSpacing) {
    const struct {
        bool withPwads;
        std::string pwad, iwad, extra, password, line;  // an empty pwad: none listed
    } cases[] = {
        {true, "C:\\DOOM\\PWADS\\DWANGO5.WAD", "C:\\DOOM\\doom2.wad", "", "",
         "-iwad C:\\DOOM\\doom2.wad -llevel 3 -file  C:\\DOOM\\PWADS\\DWANGO5.WAD  +name \"player\""},
        {false, "C:\\DOOM\\PWADS\\DWANGO5.WAD", "C:\\DOOM\\doom2.wad", "-fast", "pw",
         "-llevel 3 -iwad C:\\DOOM\\doom2.wad -fast +name \"player\" +password \"pw\""},
        // The server announced PWADs but listed none.
        {true, "", "C:\\My Games\\doom2.wad", "-fast", "",
         "-iwad \"C:\\My Games\\doom2.wad\" -llevel 3 -file  -fast +name \"player\""},
    };
    for (const auto& c : cases) {
        GameArguments arguments{"brumvekgl.exe", "10.0.0.5:10666", c.iwad,    c.withPwads, {}, 3,
                                c.extra,         "player",         c.password};
        if (!c.pwad.empty()) {
            arguments.pwadPaths.push_back(c.pwad);
        }
        EXPECT_EQ(buildCommandLine(arguments), "brumvekgl.exe -connect 10.0.0.5:10666 " + c.line);
    }
}

TEST(LaunchCommandLine, SplitsAsTheGameSeesItAndQuotingSurvivesTheSplit) {
    EXPECT_EQ(
        splitCommandLine("brumvek.exe -iwad \"C:\\My Games\\doom2.wad\"  +name \"\" a\\\\\\\"b \"x\"\"y\""),
        (std::vector<std::string>{"brumvek.exe", "-iwad", "C:\\My Games\\doom2.wad", "+name", "", "a\\\"b",
                                  "x\"y"}));
    for (const std::string path : {"/wads/doom2.wad", "/my wads/doom2.wad", "C:\\My Games\\", "say \"hi\"\\",
                                   "tab\there", "", "back\\\\slash"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(splitCommandLine("game " + quoteArgument(path)), (std::vector<std::string>{"game", path}));
    }
}

// A game folder that is the working directory, with copies of the stand-in
// game, which writes how it was started to args.txt there, and WAD directories
// found by a scan.
class LaunchGameStart : public SettingsTest {
  protected:
    void SetUp() override {
        SettingsTest::SetUp();
        placeWad(wads.path() / "iwads" / "freedoom2.wad");
        placeWad(wads.path() / "my pwads" / "freedoom1.wad", "freedoom1.wad");
        placeWad(wads.path() / "my pwads" / "sub" / "extra.wad", "freedoom1.wad");
        MemoryWadDirectoryView view;
        MemoryModalMessageView scanMessages;
        WadDirectoryEditor editor(view, scanMessages, {});
        editor.scan({wads.folder()});
        server.address = "10.0.0.5:10666";
        server.iwad = "freedoom2.wad";
        bv_username = "player one";
        fs::current_path(game.path());
    }
    void TearDown() override { fs::current_path(m_previous); }

    void addGame(const char* name, bool executable = true) {
        const fs::path copy = game.path() / name;
        fs::copy_file(PELLRIG_STAND_IN_GAME, copy, fs::copy_options::overwrite_existing);
        fs::permissions(copy,
                        executable ? fs::perms::owner_all : fs::perms::owner_read | fs::perms::owner_write);
    }

    // The name a stand-in game was started under, then its arguments, once it
    // has run; the report is taken away for the next start.
    std::vector<std::string> startedGame() const {
        const fs::path file = game.path() / "args.txt";
        for (int i = 0; i < 2000 && !fs::exists(file); ++i) {
            std::this_thread::sleep_for(10ms);
        }
        std::istringstream in(readText(file));
        fs::remove(file);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    TempDir game;
    TempDir wads;
    LaunchTarget server;
    MemoryModalMessageView messages;

  private:
    fs::path m_previous = fs::current_path();
};

TEST_F(LaunchGameStart, TheWadIndexFindsWhatTheLaunchFinds) {
    const WadIndex index = WadIndex::ofWadDirectories();
    for (const char* name : {"freedoom2.wad", "FREEDOOM2.WAD", "freedoom1.wad", "extra.wad", "sub", "..",
                             "iwads/freedoom2.wad", "gone.wad", ""}) {
        EXPECT_EQ(index.has(name), FindWadFile(name).has_value()) << name;
    }
    server.pwads = {"extra.wad", "gone.wad", "freedoom1.wad", "../freedoom1.wad"};
    EXPECT_EQ(index.missing(server), (std::vector<std::string>{"gone.wad", "../freedoom1.wad"}));
    server.iwad = "freedoom.wad";
    EXPECT_EQ(index.missing(server).front(), "freedoom.wad");
}

TEST_F(LaunchGameStart, StartsThePreferredGameWithExactlyTheseArguments) {
    addGame(kGlExecutable);
    addGame(kSoftwareExecutable);
    server.withPwads = true;
    server.pwads = {"freedoom1.wad", "extra.wad"};
    bv_extraparams = "-skill 4";
    bv_serverpassword = "let me in";
    LaunchGame(server, 3, messages, game.folder());

    EXPECT_EQ(startedGame(), (std::vector<std::string>{kGlExecutable, "-connect", "10.0.0.5:10666", "-iwad",
                                                       wads.file("iwads/freedoom2.wad"), "-llevel", "3",
                                                       "-file", wads.file("my pwads/freedoom1.wad"),
                                                       wads.file("my pwads/sub/extra.wad"), "-skill", "4",
                                                       "+name", "player one", "+password", "let me in"}));
    EXPECT_TRUE(messages.messages().empty());

    // Without the preferred executable the other one is started; a file is taken
    // from the directory nearest the front of the list.
    fs::remove(game.path() / kGlExecutable);
    placeWad(wads.path() / "newer" / "freedoom2.wad");
    AddWadDirectory(wads.folder("newer"), 0);
    server.withPwads = false;
    server.pwads.clear();
    bv_extraparams.clear();
    bv_serverpassword.clear();
    LaunchGame(server, 0, messages, game.folder());
    EXPECT_EQ(startedGame(),
              (std::vector<std::string>{kSoftwareExecutable, "-connect", "10.0.0.5:10666", "-llevel", "0",
                                        "-iwad", wads.file("newer/freedoom2.wad"), "+name", "player one"}));
}

TEST_F(LaunchGameStart, RefusesWithTheReasonAndStartsNothing) {
    LaunchGame(server, 1, messages, game.folder());
    EXPECT_EQ(messages.messages(), (std::vector<UserMessage>{{kNoExecutable, "", MessageIcon::Stop}}));

    addGame(kGlExecutable);
    const auto missing = [](const std::string& pwad) {
        return "You do not have the file: " + pwad + "\n\nThis is required before playing.";
    };
    const struct {
        const char* iwad;
        std::vector<std::string> pwads;
        std::string message;
    } cases[] = {
        {"doom.wad", {}, "IWAD doom.wad not found!"},
        {"freedoom2.wad", {"freedoom1.wad", "a.wad", "b.wad"}, missing("a.wad")},
        // Names from a server never reach outside the WAD directories.
        {"../iwads/freedoom2.wad", {}, "IWAD ../iwads/freedoom2.wad not found!"},
        {"freedoom2.wad", {"sub/extra.wad"}, missing("sub/extra.wad")},
        {"freedoom2.wad", {"C:extra.wad"}, missing("C:extra.wad")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        messages.clear();
        server.iwad = c.iwad;
        server.withPwads = !c.pwads.empty();
        server.pwads = c.pwads;
        LaunchGame(server, 1, messages, game.folder());
        EXPECT_EQ(messages.messages(), (std::vector<UserMessage>{{c.message, "", MessageIcon::Exclamation}}));
    }
    messages.clear();
    LaunchGame(std::nullopt, 1, messages, game.folder());
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_FALSE(fs::exists(game.path() / "args.txt"));

    addGame(kGlExecutable, false);
    server.iwad = "freedoom2.wad";
    server.pwads.clear();
    LaunchGame(server, 1, messages, game.folder());
    EXPECT_EQ(messages.messages(),
              (std::vector<UserMessage>{
                  {"Unable to start brumvekgl.exe!\n\nPermission denied", "", MessageIcon::Stop}}));
}

}  // namespace
}  // namespace launch_test
