#include "firstpaint.h"

#include <QEvent>
#include <QMetaObject>
#include <QWidget>

namespace hiragana {

namespace {
class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(QWidget &window, std::function<void()> work)
        : QObject(&window)
        , m_work(std::move(work))
    {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued, so it runs once this paint pass, the flush to the screen included, is over.
            QMetaObject::invokeMethod(this, [this] {
                m_work();
                deleteLater();
            }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void()> m_work;
};
} // namespace

void AfterFirstPaint(QWidget &window, std::function<void()> work)
{
    new FirstPaintWatch(window, std::move(work)); // owned by the window
}

} // namespace hiragana
