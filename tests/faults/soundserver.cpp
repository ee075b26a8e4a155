// Qt first: Xlib's macros (Bool, Status …) would clash with it.
#include <QProcess>

#include "soundserver.h"
#include "waiting.h"

#include <signal.h>
#include <sys/wait.h>

namespace hiragana::faults {

namespace {
using namespace std::chrono_literals;
}

SoundServer::SoundServer(std::filesystem::path directory)
    : m_directory(std::move(directory))
{
}

SoundServer::~SoundServer() = default;

bool SoundServer::Start()
{
    std::filesystem::remove(m_directory / "native");
    const std::string home = m_directory.string();
    m_daemon = std::make_unique<testing::ChildProcess>(
        // env sets what it names over the inherited values, then becomes the daemon (same PID).
        std::vector<std::string>{"env", "HOME=" + home, "XDG_RUNTIME_DIR=" + home, "XDG_CONFIG_HOME=" + home,
                                 "PULSE_STATE_PATH=" + home, "PULSE_RUNTIME_PATH=" + home,
                                 "pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
                                 "--disable-shm=yes", "--log-level=error", "-L", "module-null-sink", "-L",
                                 "module-native-protocol-unix socket=" + (m_directory / "native").string()
                                     + " auth-anonymous=1"},
        std::vector<std::string>{});
    return x11::WaitUntil([this] { return PlayingStreams() >= 0; }, 20s, 50ms);
}

void SoundServer::Kill()
{
    if (!m_daemon)
        return;
    kill(m_daemon->pid(), SIGKILL);
    m_daemon.reset(); // reaps it
}

int SoundServer::PlayingStreams() const
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("-s"), QString::fromStdString(address()),
                                           QStringLiteral("list"), QStringLiteral("short"),
                                           QStringLiteral("sink-inputs")});
    if (!pactl.waitForFinished(5000) || pactl.exitStatus() != QProcess::NormalExit || pactl.exitCode() != 0)
        return -1;
    return int(pactl.readAllStandardOutput().count('\n'));
}

} // namespace hiragana::faults
