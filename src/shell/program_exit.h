#pragma once

// The exit code of the ways out of the log-in gate: Quit, a declined user
// agreement, and a version refusal by the master server.
inline constexpr int kLoginGateExitCode = 10;

// Ends the program at once: closes the network, then exits with `code`. The
// caller saves the settings first where that is wanted.
[[noreturn]] void endProgram(int code);
