#include "characterdata.h"

#include "failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSvgRenderer>

namespace hiragana {

namespace {
// The classic run-time error for a file whose content cannot be used.
constexpr int InvalidFileFormat = 321;
constexpr int LargestFigure = 512;

[[noreturn]] void FailNotFound(const QString &name)
{
    throw Failure(Failure::FileNotFound, "File not found: " + name.toStdString());
}

[[noreturn]] void FailInvalid(const QString &name)
{
    throw Failure(InvalidFileFormat, "Invalid file format: " + name.toStdString());
}

// The file name of a load key, whichever separator its folders use.
QString FileNameOf(const std::u16string &loadKey)
{
    const QString key = QString::fromStdU16String(loadKey);
    return key.mid(int(std::max(key.lastIndexOf(u'\\'), key.lastIndexOf(u'/'))) + 1);
}

bool IsPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') && !name.contains(u'\\');
}

QString FindDataFile(const QString &name)
{
    if (IsPlainFileName(name)) {
        for (const QString &folder : CharacterDataFolders()) {
            const QFileInfo file(QDir(folder), name);
            if (file.isFile())
                return file.filePath();
        }
    }
    FailNotFound(name);
}

QByteArray ReadFrame(const QDir &folder, const QString &name)
{
    if (!IsPlainFileName(name))
        FailInvalid(name);
    QFile file(folder.filePath(name));
    if (!file.exists())
        FailNotFound(name);
    if (!file.open(QIODevice::ReadOnly))
        FailInvalid(name);
    QByteArray svg = file.readAll();
    if (!QSvgRenderer(svg).isValid())
        FailInvalid(name);
    return svg;
}

int ReadSize(const QSettings &settings, const QString &key, const QString &fileName)
{
    bool ok = false;
    const int size = settings.value(key).toInt(&ok);
    if (!ok || size <= 0 || size > LargestFigure)
        FailInvalid(fileName);
    return size;
}

BalloonStyle ReadBalloonStyle(const QSettings &settings)
{
    BalloonStyle style;
    style.fontPointSize = settings.value("Balloon/FontPointSize", style.fontPointSize).toDouble();
    style.maxWidth = settings.value("Balloon/MaxWidth", style.maxWidth).toInt();
    style.maxLines = settings.value("Balloon/MaxLines", style.maxLines).toInt();
    style.background = QColor(settings.value("Balloon/Background", style.background.name()).toString());
    style.text = QColor(settings.value("Balloon/Text", style.text.name()).toString());
    style.border = QColor(settings.value("Balloon/Border", style.border.name()).toString());
    return style;
}

bool IsUsable(const BalloonStyle &style)
{
    return style.fontPointSize > 0 && style.maxWidth > 0 && style.maxLines > 0 && style.background.isValid()
        && style.text.isValid() && style.border.isValid();
}
} // namespace

QStringList CharacterDataFolders()
{
    const QString chosen = qEnvironmentVariable(CharacterDirVariable);
    if (!chosen.isEmpty())
        return {chosen};
    const QDir programDir(QCoreApplication::applicationDirPath());
    return {
        programDir.filePath(QStringLiteral(HIRAGANA_INSTALLED_CHARACTER_DIR)),
        // The program, the tests and the benchmarks lie one or two folders below the build tree.
        programDir.filePath(QStringLiteral("../data/characters")),
        programDir.filePath(QStringLiteral("../../data/characters")),
    };
}

CharacterData LoadCharacterData(const std::u16string &loadKey)
{
    const QString name = FileNameOf(loadKey);
    const QString path = FindDataFile(name);
    if (!QFileInfo(path).isReadable())
        FailInvalid(name);
    const QSettings settings(path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError || !settings.contains("Figure/Rest"))
        FailInvalid(name);

    const QDir folder = QFileInfo(path).dir();
    CharacterData data;
    data.figureSize = QSize(ReadSize(settings, "Figure/Width", name), ReadSize(settings, "Figure/Height", name));
    data.restFrame = ReadFrame(folder, settings.value("Figure/Rest").toString());
    data.talkFrame = ReadFrame(folder, settings.value("Figure/Talk").toString());
    data.balloon = ReadBalloonStyle(settings);
    if (!IsUsable(data.balloon))
        FailInvalid(name);
    return data;
}

} // namespace hiragana
