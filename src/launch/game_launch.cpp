#include "launch/game_launch.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <system_error>
#include <vector>

#include "launch/command_line.h"
#include "launch/file_finder.h"
#include "launch/process.h"
#include "launch/settings.h"

namespace {

// `format` with each "%s" replaced by the next of `values`.
std::string fillIn(std::string_view format, std::initializer_list<std::string_view> values) {
    std::string text;
    auto value = values.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        if (format.substr(i, 2) == "%s" && value != values.end()) {
            text += *value++;
            ++i;
        } else {
            text.push_back(format[i]);
        }
    }
    return text;
}

std::optional<std::string> findIn(const std::vector<std::string>& folders, std::string_view name) {
    if (!isPlainFileName(name)) {
        return std::nullopt;
    }
    for (const std::string& folder : folders) {
        std::string path = folder;
        path += name;
        if (FileExists(path)) {
            return path;
        }
    }
    return std::nullopt;
}

std::vector<std::string> wadFolders() {
    std::vector<std::string> folders;
    for (const WadDirectory& directory : wad_directories) {
        folders.push_back(directory.path);
    }
    return folders;
}

}  // namespace

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\:") == std::string_view::npos;
}

bool FileExists(const std::string& path) {
    // A directory opens for reading on POSIX, and a named pipe would block the
    // open: only regular files count.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

std::optional<std::string> FindWadFile(std::string_view name) {
    std::vector<std::string> folders;
    {
        const auto lock = lockSettings();
        folders = wadFolders();
    }
    return findIn(folders, name);
}

std::optional<GameCommand> prepareLaunch(const LaunchTarget& server, int32_t level,
                                         ModalMessageView& messages, const std::string& gameFolder) {
    const std::string folder = AddBackslash(gameFolder, kPathSeparator == '/');
    GameArguments arguments;
    if (FileExists(folder + kGlExecutable)) {
        arguments.executable = kGlExecutable;
    } else if (FileExists(folder + kSoftwareExecutable)) {
        arguments.executable = kSoftwareExecutable;
    } else {
        messages.showMessage({kNoExecutable, "", MessageIcon::Stop});
        return std::nullopt;
    }

    std::vector<std::string> folders;
    {
        const auto lock = lockSettings();
        folders = wadFolders();
        arguments.extraParams = bv_extraparams;
        arguments.userName = bv_username;
        arguments.serverPassword = bv_serverpassword;
    }

    std::optional<std::string> iwadPath = findIn(folders, server.iwad);
    if (!iwadPath) {
        messages.showMessage({fillIn(kIwadNotFound, {server.iwad}), "", MessageIcon::Exclamation});
        return std::nullopt;
    }
    arguments.iwadPath = std::move(*iwadPath);

    arguments.withPwads = server.withPwads;
    for (const std::string& pwad : server.pwads) {
        const std::optional<std::string> path = findIn(folders, pwad);
        if (!path) {
            messages.showMessage({fillIn(kPwadNotFound, {pwad}), "", MessageIcon::Exclamation});
            return std::nullopt;
        }
        arguments.pwadPaths.push_back(shortPathName(*path));
    }
    arguments.address = server.address;
    arguments.level = level;
    return GameCommand{folder + arguments.executable, buildCommandLine(arguments)};
}

void LaunchGame(const std::optional<LaunchTarget>& selected, int32_t level, ModalMessageView& messages,
                const std::string& gameFolder) {
    if (!selected) {
        return;
    }
    const std::optional<GameCommand> command = prepareLaunch(*selected, level, messages, gameFolder);
    if (!command) {
        return;
    }
    std::string error;
    if (!startProgram(command->program, command->commandLine, error)) {
        const std::string executable = std::filesystem::path(command->program).filename().string();
        messages.showMessage({fillIn(kCannotStartGame, {executable, error}), "", MessageIcon::Stop});
    }
}
