#include "launch/command_line.h"

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::string quoteArgument(std::string_view path) {
    if (!path.empty() && path.find_first_of(" \t\"") == std::string_view::npos) {
        return std::string(path);
    }
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (const char c : path) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled and the quote escaped.
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(2 * backslashes, '\\');
    quoted.push_back('"');
    return quoted;
}

std::string buildCommandLine(const GameArguments& arguments) {
    const std::string iwad = quoteArgument(arguments.iwadPath);
    const std::string level = std::to_string(arguments.level);
    std::string line = arguments.executable;
    if (arguments.withPwads) {
        std::string files;
        for (const std::string& path : arguments.pwadPaths) {
            files += ' ' + quoteArgument(path);
        }
        line += " -connect " + arguments.address + " -iwad " + iwad + " -llevel " + level + " -file " +
                files + ' ' + arguments.extraParams;
    } else {
        line += " -connect " + arguments.address + " -llevel " + level + " -iwad " + iwad + ' ' +
                arguments.extraParams;
    }
    line += " +name \"" + arguments.userName + '"';
    if (!arguments.serverPassword.empty()) {
        line += " +password \"" + arguments.serverPassword + '"';
    }
    return line;
}

std::vector<std::string> splitCommandLine(std::string_view line) {
    std::vector<std::string> arguments;
    size_t i = 0;
    while (i < line.size() && isBlank(line[i])) {
        ++i;
    }
    if (i == line.size()) {
        return arguments;
    }

    // The program name knows no escapes: quotes only group.
    std::string program;
    bool quoted = false;
    for (; i < line.size() && (quoted || !isBlank(line[i])); ++i) {
        if (line[i] == '"') {
            quoted = !quoted;
        } else {
            program.push_back(line[i]);
        }
    }
    arguments.push_back(std::move(program));

    while (true) {
        while (i < line.size() && isBlank(line[i])) {
            ++i;
        }
        if (i == line.size()) {
            return arguments;
        }
        std::string argument;
        quoted = false;
        while (i < line.size() && (quoted || !isBlank(line[i]))) {
            const char c = line[i];
            if (c == '\\') {
                size_t backslashes = 0;
                while (i < line.size() && line[i] == '\\') {
                    ++backslashes;
                    ++i;
                }
                if (i < line.size() && line[i] == '"') {
                    argument.append(backslashes / 2, '\\');
                    if (backslashes % 2 == 1) {
                        argument.push_back('"');
                        ++i;
                    }
                } else {
                    argument.append(backslashes, '\\');
                }
            } else if (c == '"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    argument.push_back('"');
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                argument.push_back(c);
                ++i;
            }
        }
        arguments.push_back(std::move(argument));
    }
}
