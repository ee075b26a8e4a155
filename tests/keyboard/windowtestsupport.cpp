#include "windowtestsupport.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include "xinput.h"

namespace hiragana::windowtest {

namespace {
// On a connection of the test's own: waiting until a click has gone out must not hold Qt's.
driver::XInput &input()
{
    static driver::XInput input(XOpenDisplay(nullptr));
    return input;
}
} // namespace

void ClickAt(QPoint global)
{
    input().ClickAt(global);
}

void PressKey(unsigned long keysym, int modifiers)
{
    static_assert(int(Shift) == driver::XInput::Shift && int(Control) == driver::XInput::Control);
    input().Tap(keysym, modifiers);
}

namespace {
// Notes when a mouse button comes up over a widget or one of its children.
class ReleaseWatch : public QObject {
public:
    explicit ReleaseWatch(const QWidget &widget) : m_widget(widget) { qApp->installEventFilter(this); }
    ~ReleaseWatch() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonRelease && watched->isWidgetType()) {
            const auto *target = static_cast<QWidget *>(watched);
            released = released || target == &m_widget || m_widget.isAncestorOf(target);
        }
        return false;
    }

    bool released = false;

private:
    const QWidget &m_widget;
};
} // namespace

bool Click(const QWidget &widget)
{
    ReleaseWatch watch(widget);
    ClickAt(widget.mapToGlobal(widget.rect().center()));
    return QTest::qWaitFor([&watch] { return watch.released; });
}

QColor FaceColourOnScreen(const QWidget &key)
{
    const QPoint spot = key.mapToGlobal(QPoint(6, key.height() - 7));
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0, spot.x(), spot.y(), 1, 1).toImage();
    return shot.pixelColor(0, 0);
}

} // namespace hiragana::windowtest
