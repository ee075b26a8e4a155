#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace hiragana {

// A program run as a child process in a process group of its own: its standard input is given
// whole at the start, its standard output collected, its error output discarded. Whoever owns
// it also ends it: a child still running when it is dropped is killed (with its whole group)
// and reaped, so that none is left behind, not even as a zombie.
class ChildProcess {
public:
    // Starts the program with the arguments; IsRunning() tells whether it started.
    ChildProcess(const std::filesystem::path &program, const std::vector<std::string> &arguments,
                 std::string_view input);
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    bool IsRunning() const { return m_pid > 0; }
    pid_t Pid() const { return m_pid; }

    enum class Result {
        Succeeded, // closed its output and exited with status 0
        Failed,    // could not start, exited otherwise, or wrote too much
        TimedOut,
        Stopped,
    };

    // Collects the standard output until the child has closed it and exited. Gives up, killing
    // the child, when that takes longer than the patience given (counted from this call: a
    // child started early and done by now is not late), when it writes more than the most
    // bytes given, or when the stop flag is set (looked at every few milliseconds). The output
    // is left empty unless the child succeeded.
    Result Finish(std::chrono::milliseconds patience, std::size_t mostBytes, const std::atomic_bool &stop,
                  std::string &output);

private:
    Result ReadUntilClosed(std::chrono::steady_clock::time_point deadline, std::size_t mostBytes,
                           const std::atomic_bool &stop, std::string &output);
    Result WaitForExit(std::chrono::steady_clock::time_point deadline, const std::atomic_bool &stop);
    void Kill();

    pid_t m_pid = -1;
    int m_output = -1;
};

} // namespace hiragana
