// The smallest Qt Widgets program with a window, started the way the keyboard starts.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.resize(792, 546);
    window.show();
    return QApplication::exec();
}
