#include "qtdesktop.h"

#include "gnome/gnomedesktop.h"
#include "wayland/waylanddesktop.h"
#include "x11/x11desktop.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <utility>

namespace hiragana {

namespace {
// The icon part of a message box's buttons value; the keyboard only ever offers OK.
QMessageBox::Icon iconFor(int buttons)
{
    switch (buttons & 0x70) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The transfer's message box, owned by the keyboard's window when there is one.
void showMessageBox(QWidget *owner, const std::u16string &prompt, int buttons, const std::u16string &title)
{
    // The prompt's CR LF line break, as Qt shows line breaks.
    const QString text = QString::fromStdU16String(prompt).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(iconFor(buttons), QString::fromStdU16String(title), text, QMessageBox::Ok, owner);
    box.exec();
}

std::string x11DisplayName()
{
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11::DisplayNameOf(x11->display()) : std::string();
}

// A backend's portable steps with Qt's event loop, and the message box over keyboardWindow.
template<typename Backend>
class QtGlue : public Backend {
public:
    template<typename... BackendArguments>
    explicit QtGlue(QWidget *keyboardWindow, BackendArguments &&...arguments)
        : Backend(std::forward<BackendArguments>(arguments)...)
        , m_keyboardWindow(keyboardWindow)
    {
    }

    void ProcessPendingEvents() override { QCoreApplication::processEvents(); }

    void ShowMessageBox(const std::u16string &prompt, int buttons, const std::u16string &title) override
    {
        showMessageBox(m_keyboardWindow, prompt, buttons, title);
    }

protected:
    QPointer<QWidget> m_keyboardWindow;
};

// On X11 the keyboard's window is known by its id, which Qt may change when it recreates the
// window: it is taken anew for each transfer.
class QtX11Desktop final : public QtGlue<x11::X11Desktop> {
public:
    explicit QtX11Desktop(QWidget *keyboardWindow)
        : QtGlue(keyboardWindow, x11DisplayName())
    {
    }

    bool ActivateWindow(const std::u16string &title) override
    {
        if (usable() && m_keyboardWindow)
            excludeWindow(m_keyboardWindow->window()->winId());
        return X11Desktop::ActivateWindow(title);
    }
};

// The ids the keyboard's windows go by: the desktop entry's name when Qt speaks Wayland, the
// X11 class (the application's name) through XWayland.
std::vector<std::string> ownApplicationIds()
{
    std::vector<std::string> ids;
    for (const QString &id : {QGuiApplication::desktopFileName(), QCoreApplication::applicationName()}) {
        if (!id.isEmpty())
            ids.push_back(id.toStdString());
    }
    return ids;
}

using QtWaylandDesktop = QtGlue<wayland::WaylandDesktop>;
} // namespace

std::unique_ptr<Desktop> CreateDesktop(QWidget *keyboardWindow)
{
    if (auto wayland = std::make_unique<QtWaylandDesktop>(keyboardWindow, ownApplicationIds()); wayland->usable())
        return wayland;
    auto desktop = std::make_unique<QtX11Desktop>(keyboardWindow);
    if (gnome::IsGnomeOnWayland())
        return gnome::CreateGnomeDesktop(std::move(desktop));
    return desktop;
}

} // namespace hiragana
