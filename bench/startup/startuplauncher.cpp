// Starts each program given on the command line several times, taking turns so that a change
// in the machine's load falls on all of them alike, and prints, per program, the median time
// from spawning it to its first painted frame, the CPU time it used until then and its peak
// resident memory over its whole run. What a run leaves running when its program exits (the
// keyboard's voice fills its cache in processes of its own) is ended before the next run starts,
// so that it does not load the machine under the next program.
// Usage: startup_launcher RUNS PROGRAM...   (each PROGRAM must link firstpaintprobe.cpp)
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

extern char **environ;

namespace {
struct Run {
    double firstPaintMs;
    // User and system time up to the first paint: less disturbed than the wall clock when the
    // machine is busy with other work.
    double cpuMs;
    // Over the whole run, what the program does after its first frame included.
    long peakRssKb;
};

long long monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// The parent's id in /proc/PID/stat, whose second field (the name) may hold spaces.
long parentOf(const std::filesystem::path &process)
{
    std::ifstream stat(process / "stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t nameEnd = line.rfind(')');
    long parent = -1;
    if (nameEnd != std::string::npos)
        std::sscanf(line.c_str() + nameEnd + 1, " %*c %ld", &parent);
    return parent;
}

// The processes a run left behind have become this launcher's children (it is their
// subreaper); ends and reaps them.
void endLeftovers()
{
    for (bool found = true; found;) {
        found = false;
        std::error_code error;
        for (const auto &entry : std::filesystem::directory_iterator("/proc", error)) {
            const std::string name = entry.path().filename();
            if (name.find_first_not_of("0123456789") != std::string::npos || parentOf(entry.path()) != getpid())
                continue;
            const pid_t child = std::stoi(name);
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            found = true;
        }
    }
}

std::optional<Run> runOnce(const char *program)
{
    int output[2];
    if (pipe(output) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    char *argv[] = {const_cast<char *>(program), nullptr};
    pid_t pid = 0;
    const long long started = monotonicNs();
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    if (spawned != 0) {
        close(output[0]);
        return std::nullopt;
    }
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(output[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(output[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    endLeftovers();

    long long painted = 0;
    long long cpuNs = 0;
    if (std::sscanf(text.c_str(), "first-paint-ns %lld cpu-ns %lld", &painted, &cpuNs) != 2 || !WIFEXITED(status))
        return std::nullopt;
    return Run{double(painted - started) / 1e6, double(cpuNs) / 1e6, usage.ru_maxrss};
}

template <typename T>
T median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s RUNS PROGRAM...\n", argv[0]);
        return 2;
    }
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    const int runs = std::max(1, std::atoi(argv[1]));
    const std::vector<const char *> programs(argv + 2, argv + argc);
    std::vector<std::vector<Run>> results(programs.size());
    for (const char *program : programs)
        runOnce(program); // warms the file cache
    for (int i = 0; i < runs; ++i) {
        for (std::size_t p = 0; p < programs.size(); ++p) {
            if (const auto run = runOnce(programs[p]))
                results[p].push_back(*run);
        }
    }
    std::printf("%-28s %16s %16s %16s %14s\n", "program", "first paint ms", "(fastest run)", "CPU ms", "peak RSS MB");
    for (std::size_t p = 0; p < programs.size(); ++p) {
        const std::vector<Run> &done = results[p];
        if (done.empty()) {
            std::fprintf(stderr, "%s: no run reported a first paint\n", programs[p]);
            return 1;
        }
        std::vector<double> times;
        std::vector<double> cpu;
        std::vector<long> rss;
        for (const Run &run : done) {
            times.push_back(run.firstPaintMs);
            cpu.push_back(run.cpuMs);
            rss.push_back(run.peakRssKb);
        }
        const std::string path = programs[p];
        const std::string name = path.substr(path.rfind('/') + 1);
        std::printf("%-28s %16.1f %16.1f %16.1f %14.1f\n", name.c_str(), median(times),
                    *std::min_element(times.begin(), times.end()), median(cpu), median(rss) / 1024.0);
    }
    return 0;
}
