#include "programprocess.h"

#include <QFile>
#include <QProcessEnvironment>

namespace hiragana::driver {

ProgramProcess::ProgramProcess(const QStringList &environment)
{
    QProcessEnvironment settings = QProcessEnvironment::systemEnvironment();
    // The program chooses its platform itself, as it does on a user's desktop.
    settings.remove(QStringLiteral("QT_QPA_PLATFORM"));
    for (const QString &setting : environment) {
        const qsizetype equals = setting.indexOf(u'=');
        settings.insert(setting.left(equals), setting.mid(equals + 1));
    }
    m_process.setProcessEnvironment(settings);
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    m_process.start(QStringLiteral(HIRAGANA_PROGRAM), {});
    m_process.waitForStarted();
}

ProgramProcess::~ProgramProcess()
{
    if (IsRunning()) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
}

bool ProgramProcess::WaitForExit(std::chrono::milliseconds bound)
{
    return !IsRunning() || m_process.waitForFinished(int(bound.count()));
}

long ProgramProcess::statusField(const char *name) const
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid()));
    if (!IsRunning() || !status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = QByteArray(name) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

long ProgramProcess::ResidentKiB() const { return statusField("VmRSS"); }

long ProgramProcess::PeakResidentKiB() const { return statusField("VmHWM"); }

} // namespace hiragana::driver
