#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::max<decltype(left)>(left, 0));
}

int decodeStatus(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

}  // namespace

std::unique_ptr<ChildProcess> ChildProcess::start(const std::string& program,
                                                  const std::vector<std::string>& arguments,
                                                  std::string& error, Output output,
                                                  const std::string& workingDirectory) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        return nullptr;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // dup2 clears close-on-exec on the copy, so only stdout survives into the child.
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    if (output == Output::StdoutAndStderr) {
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    }
    if (!workingDirectory.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    }

    std::vector<std::string> storage;
    storage.push_back(program);
    storage.insert(storage.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    argv.reserve(storage.size() + 1);
    for (std::string& argument : storage) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int result = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (result != 0) {
        ::close(pipeEnds[0]);
        error = program + ": " + std::strerror(result);
        return nullptr;
    }
    ::fcntl(pipeEnds[0], F_SETFL, ::fcntl(pipeEnds[0], F_GETFL) | O_NONBLOCK);
    return std::unique_ptr<ChildProcess>(new ChildProcess(pid, pipeEnds[0]));
}

ChildProcess::~ChildProcess() {
    if (!m_exitStatus) {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
    }
    ::close(m_output);
}

bool ChildProcess::readLine(std::string& line, std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        const size_t end = m_pending.find('\n');
        if (end != std::string::npos) {
            line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            return true;
        }
        if (m_endOfOutput) {
            return false;
        }
        pollfd p{m_output, POLLIN, 0};
        const int ready = ::poll(&p, 1, remainingMs(deadline));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return false;
        }
        char chunk[4096];
        const ssize_t got = ::read(m_output, chunk, sizeof chunk);
        if (got > 0) {
            m_pending.append(chunk, static_cast<size_t>(got));
        } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
            m_endOfOutput = true;
        }
    }
}

void ChildProcess::terminate() {
    if (!m_exitStatus) {
        ::kill(m_pid, SIGTERM);
    }
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    while (!m_exitStatus) {
        int status = 0;
        const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid) {
            m_exitStatus = decodeStatus(status);
        } else if (done < 0 && errno != EINTR) {
            m_exitStatus = -1;
        } else if (Clock::now() >= deadline) {
            return std::nullopt;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    return m_exitStatus;
}
