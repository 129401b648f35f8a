#pragma once

// Where the program's printed messages go (the fatal banner, option errors).

// A windowed Windows program has no console of its own: when it was started
// from one and its output is not redirected, its output goes to that console.
// Elsewhere output already goes where the program was started; nothing to do.
void useParentConsole();
