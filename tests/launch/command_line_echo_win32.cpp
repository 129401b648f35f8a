// Stands in for the game in the Windows start test: writes the command line it
// was given, exactly, to "command_line.txt" in its working directory.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main() {
    const char* line = GetCommandLineA();
    std::FILE* file = std::fopen("command_line.txt.part", "wb");
    if (file == nullptr) {
        return 1;
    }
    const bool written = std::fwrite(line, 1, std::strlen(line), file) == std::strlen(line);
    // Renamed only once complete, so the test never reads half a line.
    return std::fclose(file) == 0 && written && std::rename("command_line.txt.part", "command_line.txt") == 0
               ? 0
               : 1;
}
