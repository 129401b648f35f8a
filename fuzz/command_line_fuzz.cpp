// Splits arbitrary text as the game's command line, quotes arguments and
// builds whole game command lines from arbitrary pieces. Quoted arguments must
// split back into themselves, and a game command line into its pieces wherever
// its format lets them through unchanged.
//
// Input: a flags byte (bit 0: the server has PWADs; the byte as a signed number:
// the level), then fields separated by NUL bytes: executable, address, IWAD path,
// extra parameters, user name, server password, then the PWAD paths.
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "launch/command_line.h"

namespace {

std::vector<std::string> fieldsOf(std::string_view text) {
    std::vector<std::string> fields;
    for (;;) {
        const size_t end = text.find('\0');
        fields.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            return fields;
        }
        text.remove_prefix(end + 1);
    }
}

bool hasAny(std::string_view text, std::string_view characters) {
    return text.find_first_of(characters) != std::string_view::npos;
}

// A word that stands unquoted in a command line, as the executable and the
// address do.
bool plainWord(std::string_view text) {
    return !text.empty() && !hasAny(text, " \t\"");
}

// A text that stands between the plain double quotes of +name and +password:
// no quote inside, and no backslash before the closing one.
bool quotable(std::string_view text) {
    return !hasAny(text, "\"") && !text.ends_with('\\');
}

// Quoting any arguments after a program name gives them back on splitting.
void checkQuoting(const std::vector<std::string>& arguments) {
    std::string line = "game";
    for (const std::string& argument : arguments) {
        line += ' ' + quoteArgument(argument);
    }
    std::vector<std::string> expected{"game"};
    expected.insert(expected.end(), arguments.begin(), arguments.end());
    FUZZ_CHECK(splitCommandLine(line) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // Whatever a line splits into, past the program name, quotes back to itself.
    const std::vector<std::string> split = splitCommandLine(text);
    FUZZ_CHECK(split.empty() == (text.find_first_not_of(" \t") == std::string_view::npos));
    if (!split.empty()) {
        checkQuoting({split.begin() + 1, split.end()});
    }

    if (text.empty()) {
        return 0;
    }
    const auto flags = static_cast<uint8_t>(text.front());
    std::vector<std::string> fields = fieldsOf(text.substr(1));
    checkQuoting(fields);
    fields.resize(std::max<size_t>(fields.size(), 6));

    GameArguments game;
    game.executable = fields[0];
    game.address = fields[1];
    game.iwadPath = fields[2];
    game.extraParams = fields[3];
    game.userName = fields[4];
    game.serverPassword = fields[5];
    game.withPwads = (flags & 1) != 0;
    game.pwadPaths.assign(fields.begin() + 6, fields.end());
    game.level = static_cast<int8_t>(flags);
    const std::vector<std::string> arguments = splitCommandLine(buildCommandLine(game));
    if (!plainWord(game.executable) || !plainWord(game.address) || hasAny(game.extraParams, "\"") ||
        !quotable(game.userName) || !quotable(game.serverPassword)) {
        return 0;
    }

    const std::string level = std::to_string(game.level);
    std::vector<std::string> expected{game.executable, "-connect", game.address};
    if (game.withPwads) {
        expected.insert(expected.end(), {"-iwad", game.iwadPath, "-llevel", level, "-file"});
        expected.insert(expected.end(), game.pwadPaths.begin(), game.pwadPaths.end());
    } else {
        expected.insert(expected.end(), {"-llevel", level, "-iwad", game.iwadPath});
    }
    // The extra parameters go in as the user typed them and split as they would alone.
    const std::vector<std::string> extra = splitCommandLine("game " + game.extraParams);
    expected.insert(expected.end(), extra.begin() + 1, extra.end());
    expected.insert(expected.end(), {"+name", game.userName});
    if (!game.serverPassword.empty()) {
        expected.insert(expected.end(), {"+password", game.serverPassword});
    }
    FUZZ_CHECK(arguments == expected);
    return 0;
}
