#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The pieces of a game command line.
struct GameArguments {
    std::string executable;              // bare file name, "brumvekgl.exe" or "brumvek.exe"
    std::string address;                 // a.b.c.d:port
    std::string iwadPath;                // as found
    bool withPwads = false;              // the server announced PWADs (the list may still be empty)
    std::vector<std::string> pwadPaths;  // short forms, in the server's order
    int32_t level = 0;
    std::string extraParams;
    std::string userName;
    std::string serverPassword;  // empty: no +password part
};

// The command line that starts the game, for example
//   brumvekgl.exe -connect 10.0.0.5:10666 -iwad C:\DOOM\doom2.wad -llevel 3 -file  C:\DOOM\PWADS\DWANGO5.WAD
//   +name "player"
// With PWADs "-iwad" comes before "-llevel", without them after it. The extra parameters go in unchanged (so
// the user may quote within them), the user name and server password in double quotes without escaping, and a
// WAD path containing blanks or quotes quoted so that it stays one argument.
std::string buildCommandLine(const GameArguments& arguments);

// `path` quoted by the rules splitCommandLine undoes, or unchanged when it
// holds no blank, tab or double quote and is not empty.
std::string quoteArgument(std::string_view path);

// The arguments a command line stands for, split as the Windows C runtime
// splits a program's command line: the program name runs to the first blank
// (or between quotes), then blanks separate arguments, double quotes group, and
// backslashes escape only a following double quote.
std::vector<std::string> splitCommandLine(std::string_view commandLine);
