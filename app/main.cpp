#include "failurereport.h"
#include "firstpaint.h"
#include "hiragana.h"
#include "hiramod.h"
#include "qtdesktop.h"
#include "speechcharacter.h"
#include "transfertext.h"

#include <QApplication>
#include <QIcon>

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <memory>
#include <thread>

namespace {
// Wayland desktops run the keyboard through XWayland: the window placement and the transfer's
// keystrokes need X11. A platform the user chose explicitly is left alone.
void useX11UnlessChosen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

// The icon of the desktop entry, from the icon theme, or built in when the program is not installed.
void setApplicationIcon()
{
    QGuiApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral(HIRAGANA_APP_ID), QIcon(QStringLiteral(":/" HIRAGANA_APP_ID ".svg"))));
}
} // namespace

int main(int argc, char *argv[])
{
    // fontconfig reads its configuration and font caches when the first font is looked up: read
    // on a thread of their own while the toolkit connects to the display, they are ready in time.
    std::jthread fontConfiguration([] { FcInit(); });
    useX11UnlessChosen();
    QApplication application(argc, argv);
    fontConfiguration.join();
    QApplication::setApplicationName(QStringLiteral("hiragana"));
    // Lets the desktop show the window with the menu entry's name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(HIRAGANA_APP_ID));

    // Declared in this order, the speech character outlives the window that uses it.
    hiragana::Hiramod state;
    std::unique_ptr<hiragana::CharacterCollection> characters;
    std::unique_ptr<hiragana::Hiragana> window;
    std::unique_ptr<hiragana::Desktop> desktop;
    const auto openDesktop = [&window, &desktop] {
        if (!desktop)
            desktop = hiragana::CreateDesktop(window.get());
    };
    try {
        characters = hiragana::CreateCharacterCollection();
        window = std::make_unique<hiragana::Hiragana>(state, *characters);
        window->setTransfer([&state, &desktop, openDesktop] {
            openDesktop();
            hiragana::TransferText(state, *desktop);
        });
        window->Load();
    } catch (...) {
        // A failure before the window is shown ends the program without showing it.
        setApplicationIcon();
        hiragana::ReportFailure(hiragana::CurrentFailure());
        return EXIT_FAILURE;
    }
    window->show();
    // The window is on the screen sooner when what its first frame does not need follows it:
    // the icon (rendered in several sizes), the character's windows and voice, the transfer's
    // connection to the display.
    hiragana::AfterFirstPaint(*window, [&] {
        hiragana::RunHandler(window.get(), [&] {
            setApplicationIcon();
            characters->Prepare();
            openDesktop();
        });
    });
    return QApplication::exec();
}
