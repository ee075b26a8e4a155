// Starts each program given on the command line several times, taking turns so that a change
// in the machine's load falls on all of them alike, and prints, per program, the median time
// from spawning it to its first painted frame, the CPU time it used until then and its peak
// resident memory over its whole run.
// Usage: startup_launcher RUNS PROGRAM...   (each PROGRAM must link firstpaintprobe.cpp)
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
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
