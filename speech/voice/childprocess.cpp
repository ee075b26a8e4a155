#include "childprocess.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <optional>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace hiragana {

namespace {
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// How often a wait looks at the stop flag.
constexpr auto StopCheckInterval = 10ms;

// A file descriptor, closed when dropped.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(Descriptor &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor &operator=(Descriptor &&) = delete;

    int Get() const { return m_fd; }
    int Release() { return std::exchange(m_fd, -1); }
    void Close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

struct Pipe {
    Descriptor read;
    Descriptor write;
};

std::optional<Pipe> MakePipe()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return std::nullopt;
    return Pipe{Descriptor(fds[0]), Descriptor(fds[1])};
}

// The whole input goes into the pipe before the child starts, so writing it can neither block
// nor meet a reader that has already gone.
bool WriteAll(const Descriptor &pipe, std::string_view input)
{
    if (::fcntl(pipe.Get(), F_SETFL, O_NONBLOCK) != 0)
        return false;
    while (!input.empty()) {
        const ssize_t written = ::write(pipe.Get(), input.data(), input.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        input.remove_prefix(std::size_t(written));
    }
    return true;
}

class SpawnSettings {
public:
    SpawnSettings(int input, int output, int error)
    {
        posix_spawn_file_actions_init(&m_files);
        posix_spawn_file_actions_adddup2(&m_files, input, STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&m_files, output, STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&m_files, error, STDERR_FILENO);

        posix_spawnattr_init(&m_attributes);
        posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        posix_spawnattr_setpgroup(&m_attributes, 0);
        sigset_t signals;
        sigemptyset(&signals);
        posix_spawnattr_setsigmask(&m_attributes, &signals);
        for (int signal : {SIGPIPE, SIGCHLD, SIGHUP, SIGINT, SIGQUIT, SIGTERM})
            sigaddset(&signals, signal);
        posix_spawnattr_setsigdefault(&m_attributes, &signals);
    }
    ~SpawnSettings()
    {
        posix_spawnattr_destroy(&m_attributes);
        posix_spawn_file_actions_destroy(&m_files);
    }
    SpawnSettings(const SpawnSettings &) = delete;
    SpawnSettings &operator=(const SpawnSettings &) = delete;

    pid_t Spawn(const std::filesystem::path &program, const std::vector<std::string> &arguments) const
    {
        std::vector<char *> argv;
        std::string name = program.string();
        argv.push_back(name.data());
        for (const std::string &argument : arguments)
            argv.push_back(const_cast<char *>(argument.c_str()));
        argv.push_back(nullptr);
        pid_t pid = -1;
        return ::posix_spawn(&pid, name.c_str(), &m_files, &m_attributes, argv.data(), environ) == 0 ? pid : -1;
    }

private:
    posix_spawn_file_actions_t m_files;
    posix_spawnattr_t m_attributes;
};

// Why a wait ended early: the stop flag, or else the deadline.
ChildProcess::Result GaveUp(const std::atomic_bool &stop)
{
    return stop ? ChildProcess::Result::Stopped : ChildProcess::Result::TimedOut;
}

} // namespace

ChildProcess::ChildProcess(const std::filesystem::path &program, const std::vector<std::string> &arguments,
                           std::string_view input)
{
    std::optional<Pipe> in = MakePipe();
    std::optional<Pipe> out = MakePipe();
    Descriptor discard(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    if (!in || !out || discard.Get() < 0 || !WriteAll(in->write, input))
        return;
    in->write.Close();
    m_pid = SpawnSettings(in->read.Get(), out->write.Get(), discard.Get()).Spawn(program, arguments);
    if (m_pid > 0 && ::fcntl(out->read.Get(), F_SETFL, O_NONBLOCK) == 0)
        m_output = out->read.Release();
    else
        Kill();
}

ChildProcess::~ChildProcess()
{
    Kill();
}

ChildProcess::Result ChildProcess::Finish(std::chrono::milliseconds patience, std::size_t mostBytes,
                                         const std::atomic_bool &stop, std::string &output)
{
    output.clear();
    const auto deadline = Clock::now() + patience;
    Result result = IsRunning() ? ReadUntilClosed(deadline, mostBytes, stop, output) : Result::Failed;
    if (result == Result::Succeeded)
        result = WaitForExit(deadline, stop);
    if (result != Result::Succeeded) {
        Kill();
        output.clear();
    }
    return result;
}

ChildProcess::Result ChildProcess::ReadUntilClosed(Clock::time_point deadline, std::size_t mostBytes,
                                                   const std::atomic_bool &stop, std::string &output)
{
    std::array<char, 65536> buffer;
    while (!stop && Clock::now() < deadline) {
        pollfd ready{m_output, POLLIN, 0};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (::poll(&ready, 1, int(std::clamp<std::chrono::milliseconds>(left, 0ms, StopCheckInterval).count())) <= 0)
            continue;
        const ssize_t count = ::read(m_output, buffer.data(), buffer.size());
        if (count == 0) {
            ::close(std::exchange(m_output, -1));
            return Result::Succeeded;
        }
        if (count < 0 && errno != EAGAIN && errno != EINTR)
            return Result::Failed;
        if (count > 0 && output.size() + std::size_t(count) > mostBytes)
            return Result::Failed;
        if (count > 0)
            output.append(buffer.data(), std::size_t(count));
    }
    return GaveUp(stop);
}

ChildProcess::Result ChildProcess::WaitForExit(Clock::time_point deadline, const std::atomic_bool &stop)
{
    while (!stop && Clock::now() < deadline) {
        int status = 0;
        const pid_t reaped = ::waitpid(m_pid, &status, WNOHANG);
        if (reaped == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? Result::Succeeded : Result::Failed;
        }
        if (reaped < 0 && errno == ECHILD) {
            // Reaped by someone else (children ignored): its output has to speak for it.
            m_pid = -1;
            return Result::Succeeded;
        }
        if (reaped < 0 && errno != EINTR)
            return Result::Failed;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return GaveUp(stop);
}

// Only while the child is not yet reaped is its process group certainly still its own.
void ChildProcess::Kill()
{
    if (m_pid > 0) {
        ::kill(-m_pid, SIGKILL);
        while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
    }
    if (m_output >= 0)
        ::close(std::exchange(m_output, -1));
}

} // namespace hiragana
