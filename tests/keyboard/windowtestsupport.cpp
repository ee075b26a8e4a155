#include "windowtestsupport.h"

#include "failure.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace hiragana::windowtest {

void RecordingCharacters::Load(const std::u16string &id, const std::u16string &)
{
    if (failLoad)
        throw Failure(Failure::FileNotFound, "File not found");
    characters[id];
}

Character &RecordingCharacters::Item(const std::u16string &id)
{
    const auto found = characters.find(id);
    if (found == characters.end())
        throw Failure(Failure::ObjectRequired, "Object required");
    return found->second;
}

namespace {
Display *display()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
}

void fakeKey(KeySym keysym, bool press)
{
    XTestFakeKeyEvent(display(), XKeysymToKeycode(display(), keysym), press ? True : False, CurrentTime);
}
} // namespace

void ClickAt(QPoint global)
{
    XTestFakeMotionEvent(display(), -1, global.x(), global.y(), CurrentTime);
    XTestFakeButtonEvent(display(), Button1, True, CurrentTime);
    XTestFakeButtonEvent(display(), Button1, False, CurrentTime);
    XFlush(display());
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

void PressKey(unsigned long keysym, int modifiers)
{
    if (modifiers & Control)
        fakeKey(XK_Control_L, true);
    if (modifiers & Shift)
        fakeKey(XK_Shift_L, true);
    fakeKey(keysym, true);
    fakeKey(keysym, false);
    if (modifiers & Shift)
        fakeKey(XK_Shift_L, false);
    if (modifiers & Control)
        fakeKey(XK_Control_L, false);
    XFlush(display());
}

QColor FaceColourOnScreen(const QWidget &key)
{
    const QPoint spot = key.mapToGlobal(QPoint(6, key.height() - 7));
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0, spot.x(), spot.y(), 1, 1).toImage();
    return shot.pixelColor(0, 0);
}

} // namespace hiragana::windowtest
