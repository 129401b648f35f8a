#pragma once

#include <string>

// Starting the game: the platform seam of the launch.

// Starts `program` and returns at once, without waiting for it or watching it.
// On Windows the new process gets `commandLine` itself; on POSIX it gets the
// argument vector that the command line splits into (splitCommandLine), and no
// shell is involved. A relative `program` is taken from the working directory,
// never searched for. Returns false with the system's reason in `error` when the
// program cannot be started.
bool startProgram(const std::string& program, const std::string& commandLine, std::string& error);

// The short (8.3) form of an existing path on Windows. On POSIX, and when
// Windows cannot shorten it, the path as given.
std::string shortPathName(const std::string& path);
