// Fault: asking a window manager that has quit (its check window gone, its properties left on
// the root) held every start for the whole answer timeout. Only one that runs is asked.
#include "frameextents.h"

#include <QTest>
#include <QWidget>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

class FrameExtentsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void askedOfARunningWindowManagerOnly()
    {
        Display *wm = XOpenDisplay(nullptr); // plays the window manager on a display that has none
        const Window root = DefaultRootWindow(wm);
        const auto announce = [wm, root](Window check) {
            const Atom checkAtom = XInternAtom(wm, "_NET_SUPPORTING_WM_CHECK", False);
            Atom supported = XInternAtom(wm, "_NET_REQUEST_FRAME_EXTENTS", False);
            for (const Window on : {root, check})
                XChangeProperty(wm, on, checkAtom, XA_WINDOW, 32, PropModeReplace, (unsigned char *)&check, 1);
            XChangeProperty(wm, root, XInternAtom(wm, "_NET_SUPPORTED", False), XA_ATOM, 32, PropModeReplace,
                            (unsigned char *)&supported, 1);
            XSync(wm, False);
        };
        XSelectInput(wm, root, SubstructureNotifyMask);
        const Window quit = XCreateSimpleWindow(wm, root, 0, 0, 1, 1, 0, 0, 0);
        announce(quit);
        XDestroyWindow(wm, quit);
        XSync(wm, False);
        QWidget afterQuit;
        hiragana::FrameExtentsRequest notAsked(afterQuit);

        announce(XCreateSimpleWindow(wm, root, 0, 0, 1, 1, 0, 0, 0));
        QWidget whileRunning;
        hiragana::FrameExtentsRequest asked(whileRunning);
        XEvent request{};
        QVERIFY(QTest::qWaitFor([&] { return XCheckTypedEvent(wm, ClientMessage, &request); }));
        QCOMPARE(request.xclient.window, whileRunning.winId());
        XCloseDisplay(wm);
    }
};

QTEST_MAIN(FrameExtentsTest)
#include "frameextents_gui_test.moc"
