#include <windows.h>

#include <cstdio>

#include "shell/parent_console.h"

namespace {

bool redirected(DWORD stream) {
    const HANDLE handle = GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void useParentConsole() {
    if (redirected(STD_OUTPUT_HANDLE) || !AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    // The C streams were set up before there was a console to write to.
    if (std::freopen("CONOUT$", "w", stdout) == nullptr || std::freopen("CONOUT$", "w", stderr) == nullptr) {
        FreeConsole();
    }
}
