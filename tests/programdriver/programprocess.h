#pragma once

#include <QProcess>
#include <QStringList>

#include <sys/types.h>

#include <chrono>

namespace hiragana::driver {

// The keyboard program as a user starts it, with a few environment settings added; stopped
// (by its PID) when this object goes, if it still runs.
class ProgramProcess {
public:
    // environment: NAME=VALUE settings on top of the driver's own environment.
    explicit ProgramProcess(const QStringList &environment);
    ~ProgramProcess();

    pid_t pid() const { return pid_t(m_process.processId()); }
    bool IsRunning() const { return m_process.state() != QProcess::NotRunning; }
    // Waits (bounded) for the program to end.
    bool WaitForExit(std::chrono::milliseconds bound);
    // After the end: whether it ended by a signal (a crash, a core), and its status otherwise.
    bool Crashed() const { return m_process.exitStatus() == QProcess::CrashExit; }
    int ExitCode() const { return m_process.exitCode(); }

    // Resident memory now and its peak so far, in KiB, from /proc; 0 once it has ended.
    long ResidentKiB() const;
    long PeakResidentKiB() const;

private:
    long statusField(const char *name) const;

    QProcess m_process;
};

} // namespace hiragana::driver
