// Linked into a program, reports when its first frame has been painted and flushed, then ends
// it: prints "first-paint-ns N" (CLOCK_MONOTONIC) on standard output and exits with status 0.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {
class FirstPaintProbe : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Runs once the current paint pass, flush to the screen included, has finished.
            QTimer::singleShot(0, [] {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::printf("first-paint-ns %lld\n", now.tv_sec * 1000000000LL + now.tv_nsec);
                std::fflush(stdout);
                std::_Exit(EXIT_SUCCESS);
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
