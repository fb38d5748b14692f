#include "app/HandOver.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace HandOver {

namespace {

// A few starts at the same moment, with room to spare; anything beyond waits in the system's queue,
// so a flood of idle connections holds a handful of descriptors, not all of them.
constexpr std::size_t MostConnections = 8;
// Starts the system holds for the player until it takes them.
constexpr int Queue = 64;
constexpr char Received = '\x06';
// Between two looks at a player that has just taken the lock and is about to listen.
constexpr long RetryNs = 20'000'000;

bool toAddress(const QString &path, sockaddr_un &address)
{
    const QByteArray name = QFile::encodeName(path);
    address = {};
    if (name.isEmpty() || name.size() >= static_cast<qsizetype>(sizeof address.sun_path))
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    return true;
}

int remainingMs(const QDeadlineTimer &deadline)
{
    return static_cast<int>(std::max<qint64>(1, deadline.remainingTime()));
}

void setSendTimeout(int socket, const QDeadlineTimer &deadline)
{
    const int ms = remainingMs(deadline);
    const timeval wait{static_cast<time_t>(ms / 1000), static_cast<suseconds_t>(ms % 1000 * 1000)};
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
}

// Messages no longer than the player takes, the first with the desktop's ids; a path longer than one
// message names nothing that could be opened.
QList<QByteArray> messagesFor(const Message &message)
{
    QList<QByteArray> messages;
    Message part{{}, message.startupId, message.activationToken};
    qsizetype size = encode(part).size();
    for (const QString &path : message.paths) {
        const qsizetype more = path.toUtf8().size() + 2;
        if (size + more > LongestMessage && !part.paths.isEmpty()) {
            messages.append(encode(part));
            part = {};
            size = encode(part).size();
        }
        if (size + more <= LongestMessage) {
            part.paths.append(path);
            size += more;
        }
    }
    messages.append(encode(part));
    return messages;
}

} // namespace

Listener::Listener(QObject *parent) : QObject(parent), m_late(new QTimer(this))
{
    m_late->setInterval(500);
    connect(m_late, &QTimer::timeout, this, &Listener::dropLate);
}

Listener::~Listener()
{
    while (!m_connections.empty())
        drop(m_connections.begin()->first);
    delete m_accepting;
    if (m_socket >= 0) {
        // Removed while the lock is still held: no later player can have made it its own yet.
        ::unlink(QFile::encodeName(m_socketPath).constData());
        ::close(m_socket);
    }
    if (m_lock >= 0)
        ::close(m_lock);
}

Listener::Outcome Listener::startOrHandOver(const Message &message)
{
    // The runtime folder is the user's alone (Qt makes one, 0700, when the session names none, and
    // refuses one that another user made), so nobody else can hold the lock or answer in our place.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        return Outcome::Alone;
    // One player per display and settings folder: a player with settings of its own (a test's, another
    // session's) is a player of its own.
    const QByteArray session =
        qgetenv("WAYLAND_DISPLAY") + '|' + qgetenv("DISPLAY") + '|' +
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toUtf8();
    const QString name =
        QStringLiteral("qwelto-%1-%2")
            .arg(::getuid())
            .arg(QString::fromLatin1(
                QCryptographicHash::hash(session, QCryptographicHash::Sha1).toHex().left(12)));
    m_lockPath = QDir(folder).filePath(name + QStringLiteral(".lock"));
    m_socketPath = QDir(folder).filePath(name + QStringLiteral(".socket"));
    sockaddr_un address{};
    if (!toAddress(m_socketPath, address))
        return Outcome::Alone;
    m_lock = ::open(QFile::encodeName(m_lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW,
                    S_IRUSR | S_IWUSR);
    struct stat info {};
    if (m_lock < 0 || ::fstat(m_lock, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::getuid()) {
        if (m_lock >= 0)
            ::close(m_lock);
        m_lock = -1;
        return Outcome::Alone;
    }

    const QList<QByteArray> messages = messagesFor(message);
    qsizetype delivered = 0;
    const QDeadlineTimer deadline(AnswerWithinMs);
    for (;;) {
        if (::flock(m_lock, LOCK_EX | LOCK_NB) == 0) {
            if (listen())
                return Outcome::Player;
            ::close(m_lock);
            m_lock = -1;
            return Outcome::Alone;
        }
        if (errno != EWOULDBLOCK && errno != EINTR)
            return Outcome::Alone;
        while (delivered < messages.size()) {
            const std::optional<bool> taken = handTo(messages.at(delivered), deadline);
            if (!taken)
                break;
            if (!*taken)
                return Outcome::NoAnswer;
            ++delivered;
        }
        if (delivered == messages.size())
            return Outcome::HandedOver;
        if (deadline.hasExpired())
            return Outcome::NoAnswer;
        const timespec pause{0, RetryNs};
        ::nanosleep(&pause, nullptr);
    }
}

std::optional<bool> Listener::handTo(const QByteArray &message, const QDeadlineTimer &deadline)
{
    sockaddr_un address{};
    toAddress(m_socketPath, address);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return false;
    // Connecting waits while the player's queue is full, sending while the player reads nothing.
    setSendTimeout(socket, deadline);
    // Not there yet (the player took the lock a moment ago) or gone with its player: look again.
    if (::connect(socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        ::close(socket);
        return std::nullopt;
    }
    qsizetype sent = 0;
    while (sent < message.size() && !deadline.hasExpired()) {
        const ssize_t n = ::send(socket, message.constData() + sent,
                                 static_cast<std::size_t>(message.size() - sent), MSG_NOSIGNAL);
        if (n > 0)
            sent += n;
        else if (n < 0 && errno != EINTR && errno != EAGAIN)
            break;
    }
    // The end of what this start says; the player answers once it has it all.
    ::shutdown(socket, SHUT_WR);
    char answer = 0;
    ssize_t n = -1;
    pollfd readable{socket, POLLIN, 0};
    while (sent == message.size() && n < 0 && !deadline.hasExpired()) {
        if (::poll(&readable, 1, remainingMs(deadline)) <= 0)
            continue;
        n = ::recv(socket, &answer, 1, MSG_DONTWAIT);
        if (n < 0 && errno != EINTR && errno != EAGAIN)
            break;
    }
    ::close(socket);
    // Closed without a word: the player is ending, and this start may take its place.
    if (n == 0)
        return std::nullopt;
    return n == 1 && answer == Received;
}

bool Listener::listen()
{
    sockaddr_un address{};
    toAddress(m_socketPath, address);
    // Whatever is there was left by a player that has ended: the lock says none holds the place.
    ::unlink(address.sun_path);
    m_socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_socket < 0)
        return false;
    if (::bind(m_socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ||
        ::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(m_socket, Queue) != 0) {
        ::close(m_socket);
        m_socket = -1;
        ::unlink(address.sun_path);
        return false;
    }
    m_accepting = new QSocketNotifier(m_socket, QSocketNotifier::Read, this);
    connect(m_accepting, &QSocketNotifier::activated, this, &Listener::accept);
    return true;
}

void Listener::accept()
{
    bool full = false;
    while (m_connections.size() < MostConnections) {
        const int connection = ::accept4(m_socket, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (connection < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            // Out of descriptors: looked at again when one is freed or a moment has passed.
            full = errno != EAGAIN && errno != EWOULDBLOCK;
            break;
        }
        auto *notifier = new QSocketNotifier(connection, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, connection] { receive(connection); });
        m_connections.emplace(connection, Connection{{}, notifier, QDeadlineTimer(AnswerWithinMs)});
    }
    // The listening socket stays readable while starts wait in the queue: watched again only when one
    // of these ends, or it would be reported without end.
    m_accepting->setEnabled(!full && m_connections.size() < MostConnections);
    if (!m_connections.empty() || !m_accepting->isEnabled())
        m_late->start();
}

void Listener::receive(int connection)
{
    const auto it = m_connections.find(connection);
    if (it == m_connections.end())
        return;
    Connection &from = it->second;
    char buffer[65536];
    ssize_t n = 0;
    while ((n = ::read(connection, buffer, sizeof buffer)) > 0) {
        from.received.append(buffer, n);
        if (from.received.size() > LongestMessage) {
            drop(connection);
            return;
        }
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    // All of it, or a connection that broke: only a whole message is taken, and only once the start
    // knows it was (a start that gave up has told its user the files went nowhere).
    const std::optional<Message> message = n == 0 ? decode(from.received) : std::nullopt;
    const bool told = message && ::send(connection, &Received, 1, MSG_NOSIGNAL | MSG_DONTWAIT) == 1;
    drop(connection);
    if (told)
        Q_EMIT messageArrived(*message);
}

void Listener::drop(int connection)
{
    const auto it = m_connections.find(connection);
    if (it == m_connections.end())
        return;
    // Not deleted here: this may run inside its own notice.
    it->second.notifier->setEnabled(false);
    it->second.notifier->deleteLater();
    ::close(connection);
    m_connections.erase(it);
    if (m_accepting)
        m_accepting->setEnabled(true);
}

void Listener::dropLate()
{
    std::vector<int> late;
    for (const auto &[connection, from] : m_connections) {
        if (from.deadline.hasExpired())
            late.push_back(connection);
    }
    for (const int connection : late)
        drop(connection);
    m_accepting->setEnabled(m_connections.size() < MostConnections);
    if (m_connections.empty())
        m_late->stop();
}

} // namespace HandOver
