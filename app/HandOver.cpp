#include "app/HandOver.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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

namespace {

bool toAddress(const QString &path, sockaddr_un &address)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.size() >= static_cast<qsizetype>(sizeof address.sun_path))
        return false;
    address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    return true;
}

} // namespace

bool toRunningPlayer(const QStringList &localPaths)
{
    const QString path = socketPath();
    sockaddr_un address{};
    // Only a socket of this user's own: in a shared folder anyone could have put one there.
    const QFileInfo info(path);
    if (!info.exists() || info.ownerId() != ::getuid() || !toAddress(path, address))
        return false;
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return false;
    // A player that hangs must not hold this start for longer.
    const timeval wait{WaitMs / 1000, 0};
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    // Refused at once when the player that made the socket is gone.
    if (::connect(socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        ::close(socket);
        return false;
    }
    // Each path as UTF-8 and a NUL, which no path holds; the end of the connection ends the list.
    QByteArray message;
    for (const QString &localPath : localPaths)
        message += localPath.toUtf8() + '\0';
    qsizetype sent = 0;
    while (sent < message.size()) {
        const ssize_t n = ::send(socket, message.constData() + sent,
                                 static_cast<std::size_t>(message.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        sent += n;
    }
    ::close(socket);
    // Sent is enough: what is in the socket is read by the player even after this process ends.
    return sent == message.size();
}

Listener::Listener(QObject *parent) : QObject(parent) {}

Listener::~Listener()
{
    qDeleteAll(findChildren<QSocketNotifier *>());
    for (auto it = m_received.cbegin(); it != m_received.cend(); ++it)
        ::close(it.key());
    if (m_socket >= 0) {
        ::close(m_socket);
        ::unlink(QFile::encodeName(m_path).constData());
    }
}

bool Listener::listen()
{
    m_path = socketPath();
    sockaddr_un address{};
    if (m_socket >= 0 || !toAddress(m_path, address))
        return false;
    m_socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_socket < 0)
        return false;
    const auto bind = [&] {
        return ::bind(m_socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    };
    // One left behind by a player that ended without removing it: nobody answered there at start-up.
    bool bound = bind();
    if (!bound && errno == EADDRINUSE && ::unlink(address.sun_path) == 0)
        bound = bind();
    if (!bound) {
        ::close(m_socket);
        m_socket = -1;
        return false;
    }
    // This user's alone, even in a shared folder.
    ::chmod(address.sun_path, S_IRUSR | S_IWUSR);
    if (::listen(m_socket, 8) != 0) {
        ::close(m_socket);
        m_socket = -1;
        return false;
    }
    auto *notifier = new QSocketNotifier(m_socket, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &Listener::accept);
    return true;
}

void Listener::accept()
{
    int connection = -1;
    while ((connection = ::accept4(m_socket, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0) {
        m_received.insert(connection, QByteArray());
        auto *notifier = new QSocketNotifier(connection, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this,
                [this, connection, notifier] { receive(connection, notifier); });
    }
}

void Listener::receive(int connection, QSocketNotifier *notifier)
{
    QByteArray &received = m_received[connection];
    char buffer[16384];
    ssize_t n = 0;
    while ((n = ::read(connection, buffer, sizeof buffer)) > 0)
        received.append(buffer, n);
    const bool ended = n == 0;
    // Far more than any list of paths: whatever sends it is not a second start.
    const bool tooLong = received.size() > LongestMessage;
    if (n < 0 && !tooLong && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    notifier->setEnabled(false);
    notifier->deleteLater();
    ::close(connection);
    const QByteArray message = m_received.take(connection);
    if (!ended || tooLong)
        return;
    QStringList paths;
    for (const QByteArray &path : message.split('\0')) {
        if (!path.isEmpty())
            paths.append(QString::fromUtf8(path));
    }
    Q_EMIT pathsArrived(paths);
}

} // namespace HandOver
