#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A program started by a test, with its standard output read through a pipe
// (standard error stays the test's own, so its messages land in the test log).
// Every wait is bounded. Owned by one thread.
class ChildProcess {
  public:
    enum class Output { StdoutOnly, StdoutAndStderr };

    // Starts `program` with `arguments`, in `workingDirectory` when one is given;
    // with StdoutAndStderr its standard error is read together with its output.
    // Returns nullptr with a reason when the program cannot be started.
    static std::unique_ptr<ChildProcess> start(const std::string& program,
                                               const std::vector<std::string>& arguments, std::string& error,
                                               Output output = Output::StdoutOnly,
                                               const std::string& workingDirectory = {});

    // Kills a child still running and reaps it, so no test leaves one behind.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line of standard output, without its line break. Returns false
    // at the end of the output or when `timeout` passes first.
    bool readLine(std::string& line, std::chrono::milliseconds timeout);

    // Asks the child to stop (SIGTERM).
    void terminate();

    // Waits for the child to end: its exit code, 128 + the signal number when a
    // signal ended it, or nullopt when `timeout` passes first.
    std::optional<int> wait(std::chrono::milliseconds timeout);

  private:
    ChildProcess(pid_t pid, int output) : m_pid(pid), m_output(output) {}

    pid_t m_pid;
    int m_output;  // read end of the stdout pipe, non-blocking
    std::string m_pending;
    bool m_endOfOutput = false;
    std::optional<int> m_exitStatus;
};

// What a program printed and how it ended.
struct ProgramRun {
    std::optional<int> exitCode;  // none when it could not start or did not end in time
    std::string output;
};

// Runs `program` to its end, every wait bounded by `timeout`, and collects what
// it printed (with StdoutAndStderr, its errors too). A program that cannot start
// leaves the reason in `output`.
inline ProgramRun runToEnd(const std::string& program, const std::vector<std::string>& arguments,
                           ChildProcess::Output output = ChildProcess::Output::StdoutOnly,
                           const std::string& workingDirectory = {},
                           std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
    std::string error;
    const auto process = ChildProcess::start(program, arguments, error, output, workingDirectory);
    if (process == nullptr) {
        return {std::nullopt, error};
    }
    ProgramRun run;
    std::string line;
    while (process->readLine(line, timeout)) {
        run.output += line + "\n";
    }
    run.exitCode = process->wait(timeout);
    return run;
}
