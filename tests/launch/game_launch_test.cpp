#include "launch/game_launch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "launch/command_line.h"
#include "launch/settings.h"
#include "launch/wad_directory_editor.h"
#include "launch_test_support.h"

namespace launch_test {
namespace {

using namespace std::chrono_literals;

TEST(LaunchCommandLine, HasTheGameShapesAndSpacing) {
    const GameArguments example{.executable = "brumvekgl.exe",
                                .address = "10.0.0.5:10666",
                                .iwadPath = "C:\\DOOM\\doom2.wad",
                                .withPwads = true,
                                .pwadPaths = {"C:\\DOOM\\PWADS\\DWANGO5.WAD"},
                                .level = 3,
                                .extraParams = "",
                                .userName = "player",
                                .serverPassword = ""};
    EXPECT_EQ(buildCommandLine(example),
              "brumvekgl.exe -connect 10.0.0.5:10666 -iwad C:\\DOOM\\doom2.wad -llevel 3 -file  "
              "C:\\DOOM\\PWADS\\DWANGO5.WAD  +name \"player\"");

    GameArguments noPwads = example;
    noPwads.withPwads = false;
    noPwads.serverPassword = "pw";
    noPwads.extraParams = "-fast";
    EXPECT_EQ(
        buildCommandLine(noPwads),
        "brumvekgl.exe -connect 10.0.0.5:10666 -llevel 3 -iwad C:\\DOOM\\doom2.wad -fast +name \"player\" "
        "+password \"pw\"");

    // The server announced PWADs but listed none.
    GameArguments emptyList = example;
    emptyList.pwadPaths.clear();
    emptyList.extraParams = "-fast";
    emptyList.iwadPath = "C:\\My Games\\doom2.wad";
    EXPECT_EQ(
        buildCommandLine(emptyList),
        "brumvekgl.exe -connect 10.0.0.5:10666 -iwad \"C:\\My Games\\doom2.wad\" -llevel 3 -file  -fast "
        "+name \"player\"");
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

// A game folder with fake executables that write their arguments, one a line,
// to args-<name> beside them, and WAD directories found by a scan.
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
    }

    void addGame(const char* name, bool executable = true) {
        const fs::path script = game.path() / name;
        writeText(script,
                  "#!/bin/sh\nout='" + game.file(std::string("args-") + name) +
                      "'\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$out.tmp\"\nmv \"$out.tmp\" "
                      "\"$out\"\n");
        fs::permissions(script,
                        executable ? fs::perms::owner_all : fs::perms::owner_read | fs::perms::owner_write);
    }

    void setPwads(std::initializer_list<const char*> names) {
        server.withPwads = true;
        server.pwads.assign(names.begin(), names.end());
    }

    // The arguments the fake game `name` received, waiting for it a bounded time.
    std::optional<std::vector<std::string>> argumentsOf(const char* name) const {
        const fs::path file = game.path() / (std::string("args-") + name);
        for (int i = 0; i < 500 && !fs::exists(file); ++i) {
            std::this_thread::sleep_for(10ms);
        }
        if (!fs::exists(file)) {
            return std::nullopt;
        }
        std::ifstream in(file);
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
};

TEST_F(LaunchGameStart, StartsThePreferredGameWithExactlyTheseArguments) {
    addGame(kGlExecutable);
    addGame(kSoftwareExecutable);
    setPwads({"freedoom1.wad", "extra.wad"});
    bv_extraparams = "-skill 4";
    bv_serverpassword = "let me in";
    LaunchGame(server, 3, messages, game.folder());

    const auto arguments = argumentsOf(kGlExecutable);
    ASSERT_TRUE(arguments);
    EXPECT_EQ(*arguments,
              (std::vector<std::string>{
                  "-connect", "10.0.0.5:10666", "-iwad", wads.file("iwads/freedoom2.wad"), "-llevel", "3",
                  "-file", wads.file("my pwads/freedoom1.wad"), wads.file("my pwads/sub/extra.wad"), "-skill",
                  "4", "+name", "player one", "+password", "let me in"}));
    EXPECT_TRUE(messages.messages().empty());

    // Without the preferred executable the other one is started.
    fs::remove(game.path() / kGlExecutable);
    server.withPwads = false;
    server.pwads.clear();
    bv_extraparams.clear();
    bv_serverpassword.clear();
    LaunchGame(server, 0, messages, game.folder());
    EXPECT_EQ(argumentsOf(kSoftwareExecutable),
              (std::vector<std::string>{"-connect", "10.0.0.5:10666", "-llevel", "0", "-iwad",
                                        wads.file("iwads/freedoom2.wad"), "+name", "player one"}));
}

TEST_F(LaunchGameStart, RefusesWithTheReasonAndStartsNothing) {
    const UserMessage noExecutable{kNoExecutable, "", MessageIcon::Stop};
    LaunchGame(server, 1, messages, game.folder());
    EXPECT_EQ(messages.messages(), std::vector<UserMessage>{noExecutable});

    addGame(kGlExecutable);
    struct Case {
        const char* iwad;
        std::initializer_list<const char*> pwads;
        std::string message;
    };
    const Case cases[] = {
        {"doom.wad", {}, "IWAD doom.wad not found!"},
        {"freedoom2.wad",
         {"freedoom1.wad", "a.wad", "b.wad"},
         "You do not have the file: a.wad\n\nThis is required before playing."},
        // Names from a server never reach outside the WAD directories.
        {"../iwads/freedoom2.wad", {}, "IWAD ../iwads/freedoom2.wad not found!"},
        {"freedoom2.wad",
         {"sub/extra.wad"},
         "You do not have the file: sub/extra.wad\n\nThis is required before playing."},
        {"freedoom2.wad",
         {"C:extra.wad"},
         "You do not have the file: C:extra.wad\n\nThis is required before playing."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        messages.clear();
        server.iwad = c.iwad;
        if (c.pwads.size() > 0) {
            setPwads(c.pwads);
        } else {
            server.withPwads = false;
            server.pwads.clear();
        }
        LaunchGame(server, 1, messages, game.folder());
        EXPECT_EQ(messages.messages(), (std::vector<UserMessage>{{c.message, "", MessageIcon::Exclamation}}));
    }
    // From "my pwads/" this name would lead into "iwads/".
    EXPECT_TRUE(FindWadFile("freedoom2.wad").has_value());
    EXPECT_FALSE(FindWadFile("../iwads/freedoom2.wad").has_value());

    messages.clear();
    LaunchGame(std::nullopt, 1, messages, game.folder());
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_FALSE(fs::exists(game.path() / (std::string("args-") + kGlExecutable)));
}

TEST_F(LaunchGameStart, TakesTheFileFromTheFrontDirectory) {
    addGame(kGlExecutable);
    placeWad(wads.path() / "newer" / "freedoom2.wad");
    AddWadDirectory(wads.folder("newer"), 0);
    const auto command = prepareLaunch(server, 2, messages, game.folder());
    ASSERT_TRUE(command);
    EXPECT_EQ(command->program, game.file(kGlExecutable));
    EXPECT_EQ(command->commandLine, "brumvekgl.exe -connect 10.0.0.5:10666 -llevel 2 -iwad " +
                                        wads.file("newer/freedoom2.wad") + "  +name \"player one\"");
}

TEST_F(LaunchGameStart, ReportsAGameThatCannotBeStarted) {
    addGame(kGlExecutable, false);
    LaunchGame(server, 1, messages, game.folder());
    EXPECT_EQ(messages.messages(),
              (std::vector<UserMessage>{
                  {"Unable to start brumvekgl.exe!\n\nPermission denied", "", MessageIcon::Stop}}));
}

}  // namespace
}  // namespace launch_test
