#include "compositor.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <string>

#include <X11/Xlib.h>

namespace hiragana {

bool CompositorRuns()
{
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (!app)
        return false;
    if (auto *x11 = app->nativeInterface<QNativeInterface::QX11Application>()) {
        Display *display = x11->display();
        if (!display)
            return false;
        // A compositing manager owns the selection _NET_WM_CM_S<screen>.
        const std::string selection = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display));
        return XGetSelectionOwner(display, XInternAtom(display, selection.c_str(), False)) != 0;
    }
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace hiragana
