#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "launch/launch_target.h"
#include "launch/user_messages.h"

inline constexpr const char* kGlExecutable = "brumvekgl.exe";  // preferred when both are present
inline constexpr const char* kSoftwareExecutable = "brumvek.exe";

inline constexpr const char* kNoExecutable =
    "Coulden't find brumvekgl.exe or brumvek.exe to execute. \n Make sure everything is in the same folder.";
inline constexpr const char* kIwadNotFound = "IWAD %s not found!";
inline constexpr const char* kPwadNotFound =
    "You do not have the file: %s\n\nThis is required before playing.";
inline constexpr const char* kCannotStartGame = "Unable to start %s!\n\n%s";

// Whether `name` names a file directly inside a folder: not empty, "." or "..",
// and without a path separator or a colon. Server-given names must be.
bool isPlainFileName(std::string_view name);

// Whether `path` names a regular file that opens for reading (closed again at once).
bool FileExists(const std::string& path);

// The path of the WAD file `name` in the first of wad_directories (newest first)
// that holds it, or none. The name comes from a game server, so it may only
// name a file directly inside a WAD directory: a name with a path separator or
// a colon, and "." or "..", are never found. Case matching is the file
// system's. Takes lockSettings().
std::optional<std::string> FindWadFile(std::string_view name);

// What starting a game takes: the program to run and its command line.
struct GameCommand {
    std::string program;  // the executable's path: `gameFolder` followed by its name
    std::string commandLine;
};

// Everything of a launch except starting the process: picks the executable in
// `gameFolder` (the working directory when empty), finds the IWAD and every
// PWAD of `server` and builds the command line with `level`, the player's
// account level. Shows the message that explains a refusal (no executable,
// IWAD or PWAD missing) and returns none then. Changes no state; reads the
// settings under lockSettings().
std::optional<GameCommand> prepareLaunch(const LaunchTarget& server, int32_t level,
                                         ModalMessageView& messages, const std::string& gameFolder = {});

// Joins `selected` (nothing happens without one): prepareLaunch, then starts the
// game without waiting for it. A failure to start is shown to the user.
// Runs on the UI thread; changes no state.
void LaunchGame(const std::optional<LaunchTarget>& selected, int32_t level, ModalMessageView& messages,
                const std::string& gameFolder = {});
