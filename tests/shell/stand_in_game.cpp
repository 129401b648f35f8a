// A stand-in for the game: writes the arguments it was started with, one a
// line, to args.txt in its working directory. The file appears whole or not at
// all.

#include <filesystem>
#include <fstream>

int main(int argc, char** argv) {
    {
        std::ofstream out("args.tmp", std::ios::binary);
        for (int i = 1; i < argc; ++i) {
            out << argv[i] << '\n';
        }
        if (!out) {
            return 1;
        }
    }
    std::error_code error;
    std::filesystem::rename("args.tmp", "args.txt", error);
    return error ? 1 : 0;
}
