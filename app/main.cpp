#include "failurereport.h"
#include "hiragana.h"
#include "hiramod.h"
#include "qtdesktop.h"
#include "speechcharacter.h"
#include "transfertext.h"

#include <QApplication>
#include <QIcon>

#include <cstdlib>
#include <memory>

namespace {
// Wayland desktops run the keyboard through XWayland: the window placement and the transfer's
// keystrokes need X11. A platform the user chose explicitly is left alone.
void useX11UnlessChosen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}
} // namespace

int main(int argc, char *argv[])
{
    useX11UnlessChosen();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("hiragana"));
    // Lets the desktop show the window with the menu entry's name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(HIRAGANA_APP_ID));
    QGuiApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral(HIRAGANA_APP_ID), QIcon(QStringLiteral(":/" HIRAGANA_APP_ID ".svg"))));

    // Declared in this order, the speech character outlives the window that uses it.
    hiragana::Hiramod state;
    std::unique_ptr<hiragana::CharacterCollection> characters;
    std::unique_ptr<hiragana::Hiragana> window;
    std::unique_ptr<hiragana::Desktop> desktop;
    try {
        characters = hiragana::CreateCharacterCollection();
        window = std::make_unique<hiragana::Hiragana>(state, *characters);

        desktop = hiragana::CreateDesktop(window.get());
        window->setTransfer([&state, &desktop] { hiragana::TransferText(state, *desktop); });

        window->Load();
    } catch (...) {
        // A failure before the window is shown ends the program without showing it.
        hiragana::ReportFailure(hiragana::CurrentFailure());
        return EXIT_FAILURE;
    }
    window->show();
    return QApplication::exec();
}
