// A plain Qt editor to type into, standing in for a target application: its window takes the
// title given as the first argument, and after every change it writes its whole text (UTF-8,
// line breaks as LF) to the file named by the second argument.
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (QApplication::arguments().size() != 3)
        return 2;
    QPlainTextEdit editor;
    editor.setWindowTitle(QApplication::arguments()[1]);
    const auto save = [&] { // whole, so that readers never see half a text
        QSaveFile file(QApplication::arguments()[2]);
        file.open(QIODevice::WriteOnly);
        file.write(editor.toPlainText().toUtf8());
        file.commit();
    };
    QTimer saveSoon;
    saveSoon.setSingleShot(true);
    QObject::connect(&saveSoon, &QTimer::timeout, save);
    QObject::connect(&editor, &QPlainTextEdit::textChanged, &saveSoon, qOverload<>(&QTimer::start));
    editor.resize(640, 480);
    editor.show();
    save();
    return QApplication::exec();
}
