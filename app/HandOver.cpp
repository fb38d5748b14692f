#include "app/HandOver.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <memory>

#include <unistd.h>

namespace HandOver {

namespace {

constexpr int WaitMs = 1000;
// A socket address holds about a hundred bytes.
constexpr qsizetype LongestSocketPath = 100;
constexpr qsizetype LongestMessage = 64 * 1024 * 1024;

} // namespace

QString socketPath()
{
    const QByteArray session =
        qgetenv("WAYLAND_DISPLAY") + '|' + qgetenv("DISPLAY") + '|' +
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toUtf8();
    const QString name =
        QStringLiteral("qwelto-%1-%2.socket")
            .arg(::getuid())
            .arg(QString::fromLatin1(
                QCryptographicHash::hash(session, QCryptographicHash::Sha1).toHex().left(12)));
    // The runtime folder is the user's alone; the shared temporary folder is the fallback.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir() && runtime.size() + name.size() < LongestSocketPath)
        return QDir(runtime).filePath(name);
    return QDir(QDir::tempPath()).filePath(name);
}

bool toRunningPlayer(const QStringList &localPaths)
{
    const QString path = socketPath();
    // Only a socket of this user's own: in a shared folder anyone could have put one there.
    const QFileInfo info(path);
    if (!info.exists() || info.ownerId() != ::getuid())
        return false;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(WaitMs))
        return false;
    // Each path as UTF-8 and a NUL, which no path holds; the end of the connection ends the list.
    QByteArray message;
    for (const QString &localPath : localPaths)
        message += localPath.toUtf8() + '\0';
    socket.write(message);
    socket.disconnectFromServer();
    // Written is enough: what is in the socket is read by the player even after this process ends.
    return socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(WaitMs);
}

Listener::Listener(QObject *parent) : QObject(parent), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &Listener::accept);
}

bool Listener::listen()
{
    const QString path = socketPath();
    if (m_server->listen(path))
        return true;
    // Left behind by a player that ended without closing it: nobody answered there at start-up.
    QLocalServer::removeServer(path);
    return m_server->listen(path);
}

void Listener::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        const auto received = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [socket, received] {
            *received += socket->readAll();
            // Far more than any list of paths: whatever sends it is not a second start.
            if (received->size() > LongestMessage)
                socket->abort();
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, received] {
            *received += socket->readAll();
            socket->deleteLater();
            if (received->size() > LongestMessage)
                return;
            QStringList paths;
            for (const QByteArray &path : received->split('\0')) {
                if (!path.isEmpty())
                    paths.append(QString::fromUtf8(path));
            }
            Q_EMIT pathsArrived(paths);
        });
    }
}

} // namespace HandOver
