#include "qtdesktop.h"

#include "gnome/gnomedesktop.h"
#include "wayland/waylanddesktop.h"
#include "x11/x11transfer.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

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

class QtDesktop : public Desktop {
public:
    explicit QtDesktop(QWidget *keyboardWindow)
        : m_keyboardWindow(keyboardWindow)
    {
        const std::string displayName = x11DisplayName();
        m_x11 = x11::X11Transfer::Open(displayName.empty() ? nullptr : displayName.c_str());
    }

    bool ActivateWindow(const std::u16string &title) override
    {
        if (!m_x11)
            return false;
        if (m_keyboardWindow)
            m_x11->excludeWindow(m_keyboardWindow->window()->winId());
        return m_x11->ActivateWindow(title);
    }

    void ProcessPendingEvents() override { QCoreApplication::processEvents(); }

    bool SendKeystrokes(const std::u16string &text) override { return m_x11 && m_x11->SendKeystrokes(text); }

    void ShowMessageBox(const std::u16string &prompt, int buttons, const std::u16string &title) override
    {
        showMessageBox(m_keyboardWindow, prompt, buttons, title);
    }

private:
    QPointer<QWidget> m_keyboardWindow;
    std::unique_ptr<x11::X11Transfer> m_x11;
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

class QtWaylandDesktop final : public wayland::WaylandDesktop {
public:
    explicit QtWaylandDesktop(QWidget *keyboardWindow)
        : WaylandDesktop(ownApplicationIds())
        , m_keyboardWindow(keyboardWindow)
    {
    }

    void ProcessPendingEvents() override { QCoreApplication::processEvents(); }

    void ShowMessageBox(const std::u16string &prompt, int buttons, const std::u16string &title) override
    {
        showMessageBox(m_keyboardWindow, prompt, buttons, title);
    }

private:
    QPointer<QWidget> m_keyboardWindow;
};
} // namespace

std::unique_ptr<Desktop> CreateDesktop(QWidget *keyboardWindow)
{
    if (auto wayland = std::make_unique<QtWaylandDesktop>(keyboardWindow); wayland->usable())
        return wayland;
    auto desktop = std::make_unique<QtDesktop>(keyboardWindow);
    if (gnome::IsGnomeOnWayland())
        return gnome::CreateGnomeDesktop(std::move(desktop));
    return desktop;
}

} // namespace hiragana
