// A plain Qt editor to type into, standing in for a target application: its window takes the
// title given as the first argument, and after every change it writes its whole text (UTF-8,
// line breaks as LF) to the file named by the second argument.
#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <string>

namespace {
void save(const QPlainTextEdit &editor, const std::string &path)
{
    const std::string partial = path + ".part";
    std::ofstream(partial, std::ios::binary | std::ios::trunc) << editor.toPlainText().toStdString();
    std::rename(partial.c_str(), path.c_str()); // readers never see half a text
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: %s TITLE OUTPUT-FILE\n", argv[0]);
        return 2;
    }
    const std::string path = arguments[2].toStdString();

    QPlainTextEdit editor;
    editor.setWindowTitle(arguments[1]);
    QTimer saveSoon;
    saveSoon.setSingleShot(true);
    saveSoon.setInterval(0);
    QObject::connect(&saveSoon, &QTimer::timeout, [&] { save(editor, path); });
    QObject::connect(&editor, &QPlainTextEdit::textChanged, &saveSoon, qOverload<>(&QTimer::start));
    editor.resize(640, 480);
    editor.show();
    save(editor, path);
    return QApplication::exec();
}
