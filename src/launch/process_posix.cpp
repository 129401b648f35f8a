#include "launch/process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "launch/command_line.h"

namespace {

void reportAndExit(int pipe) {
    const int reason = errno;
    [[maybe_unused]] const ssize_t written = ::write(pipe, &reason, sizeof reason);
    ::_exit(127);
}

}  // namespace

bool startProgram(const std::string& program, const std::string& commandLine, std::string& error) {
    std::vector<std::string> arguments = splitCommandLine(commandLine);
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const std::string path = program.find('/') == std::string::npos ? "./" + program : program;

    // The game is started from a short-lived intermediate child, so that it is
    // never left as a zombie of the launcher, which does not wait for it. A pipe
    // that closes on a successful exec carries the reason of a failed one.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return false;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        error = std::strerror(errno);
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        // Only async-signal-safe calls from here on: the launcher has other threads.
        ::close(report[0]);
        const pid_t game = ::fork();
        if (game < 0) {
            reportAndExit(report[1]);
        }
        if (game == 0) {
            ::execv(path.c_str(), argv.data());
            reportAndExit(report[1]);
        }
        ::_exit(0);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int reason = 0;
    ssize_t got = 0;
    do {
        got = ::read(report[0], &reason, sizeof reason);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    if (got == static_cast<ssize_t>(sizeof reason)) {
        error = std::strerror(reason);
        return false;
    }
    return true;
}

std::string shortPathName(const std::string& path) {
    return path;
}
