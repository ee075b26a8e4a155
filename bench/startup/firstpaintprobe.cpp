// Linked into a program, reports when its first frame has been painted and flushed: prints
// "first-paint-ns N cpu-ns C" on standard output, N on CLOCK_MONOTONIC and C the CPU time the
// process (all its threads) had used by then. The program then runs on for a while, so that
// what it does after its first frame counts in its peak memory, and exits with status 0.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {
using namespace std::chrono_literals;

// Long enough for the work a program leaves until after its first frame.
constexpr auto SettleTime = 1s;

long long nanoseconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

class FirstPaintProbe : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Runs once the current paint pass, flush to the screen included, has finished.
            QTimer::singleShot(0, [] {
                std::printf("first-paint-ns %lld cpu-ns %lld\n", nanoseconds(CLOCK_MONOTONIC),
                            nanoseconds(CLOCK_PROCESS_CPUTIME_ID));
                std::fflush(stdout);
                QTimer::singleShot(SettleTime, [] { std::_Exit(EXIT_SUCCESS); });
            });
        }
        return false;
    }

private:
    bool m_seen = false;
};

void installFirstPaintProbe()
{
    QCoreApplication::instance()->installEventFilter(new FirstPaintProbe);
}
} // namespace

Q_COREAPP_STARTUP_FUNCTION(installFirstPaintProbe)
