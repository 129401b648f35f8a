#include "shell/program_exit.h"

#include <cstdio>
#include <cstdlib>

#include "net/transport.h"

void endProgram(int code) {
    NET_Shutdown();
    std::fflush(nullptr);
    // Worker threads may still be waiting on the closed socket; nothing of
    // theirs is to be kept, so the process ends without unwinding them.
    std::_Exit(code);
}
