#include "shelltransfer.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariant>

namespace hiragana::gnome {

namespace {
using namespace std::chrono_literals;

// The extension's object lives in the shell's own bus connection.
const QString Service = QStringLiteral("org.gnome.Shell");
const QString ObjectPath = QStringLiteral("/io/github/hiragana_keyboard/Hiragana/Transfer");
const QString Interface = QStringLiteral("io.github.hiragana_keyboard.Hiragana.Transfer");
constexpr auto ShortCall = 5s;

std::optional<QList<QVariant>> call(const QString &method, const QList<QVariant> &arguments,
                                    std::chrono::milliseconds bound = ShortCall)
{
    QDBusMessage message = QDBusMessage::createMethodCall(Service, ObjectPath, Interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(message, QDBus::Block, int(bound.count()));
    if (reply.type() != QDBusMessage::ReplyMessage)
        return std::nullopt;
    return reply.arguments();
}

std::vector<ShellWindow> windowsFrom(const QVariant &argument)
{
    std::vector<ShellWindow> windows;
    const auto list = argument.value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        quint64 id = 0;
        QString title;
        QString kind;
        list.beginStructure();
        list >> id >> title >> kind;
        list.endStructure();
        windows.push_back({id, title.toStdU16String(), kind == QLatin1String("wayland")});
    }
    list.endArray();
    return windows;
}
} // namespace

std::optional<std::vector<ShellWindow>> ShellTransfer::ListWindows() const
{
    const auto reply = call(QStringLiteral("ListWindows"), {});
    if (!reply || reply->size() != 1)
        return std::nullopt;
    return windowsFrom(reply->at(0));
}

bool ShellTransfer::Activate(quint64 window) const
{
    return call(QStringLiteral("Activate"), {QVariant::fromValue(window)}).has_value();
}

std::optional<ShellFocus> ShellTransfer::Focus() const
{
    const auto reply = call(QStringLiteral("Focus"), {});
    if (!reply || reply->size() != 2)
        return std::nullopt;
    return ShellFocus{reply->at(0).toULongLong(), reply->at(1).toBool()};
}

TypingResult ShellTransfer::Type(quint64 window, const QString &text, std::chrono::milliseconds bound) const
{
    const auto reply = call(QStringLiteral("Type"), {QVariant::fromValue(window), text}, bound);
    if (!reply || reply->size() != 2)
        return {};
    return {reply->at(0).toString() == QLatin1String("done"), reply->at(1).toUInt()};
}

} // namespace hiragana::gnome
