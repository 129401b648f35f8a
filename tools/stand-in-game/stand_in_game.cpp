// A stand-in for the game, for the demonstration and the tests. It writes to
// args.txt in its working directory (which the launcher shares with it) how it
// was started, then each argument, one a line, and says what it would do. The
// first line is, on Windows, the command line exactly as the game gets it, and
// elsewhere the name it was started under. The file appears whole or not at all.

#include <filesystem>
#include <fstream>
#include <iostream>

#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char** argv) {
    {
        std::ofstream out("args.tmp", std::ios::binary);
#ifdef _WIN32
        out << GetCommandLineA() << '\n';
#else
        out << argv[0] << '\n';
#endif
        for (int i = 1; i < argc; ++i) {
            out << argv[i] << '\n';
        }
        if (!out) {
            return 1;
        }
    }
    std::error_code error;
    std::filesystem::rename("args.tmp", "args.txt", error);
    if (error) {
        return 1;
    }
    std::cout << "The game would start now:";
    for (int i = 0; i < argc; ++i) {
        std::cout << ' ' << argv[i];
    }
    std::cout << '\n';
    return 0;
}
