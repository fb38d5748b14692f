#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>

class QSocketNotifier;

// One player per user and screen: a second start hands the paths it was given to the player that
// runs already, which adds and plays them and comes to the front, and then ends.
//
// They meet on a local socket in the user's runtime folder. Asking there costs a fraction of a
// millisecond when no player answers, so the first start reaches its splash as fast as ever; the
// session bus (where the desktop's media controls find the player) takes tens of milliseconds to
// join, too long to stand in front of every start, and is not always there. The socket is the
// system's own: Qt's network module would load a dozen libraries (Kerberos, a proxy resolver) into
// every start, and a megabyte and a half of memory with them.
namespace HandOver {

// Where the running player listens: one socket per user, display and settings folder, so a player
// with settings of its own (a test's, another session's) is a player of its own.
QString socketPath();

// Gives the paths (absolute, possibly none) to the running player. True when one took them; false
// at once when none runs.
bool toRunningPlayer(const QStringList &localPaths);

// The running player's side.
class Listener : public QObject {
    Q_OBJECT
public:
    explicit Listener(QObject *parent = nullptr);
    ~Listener() override;
    Listener(const Listener &) = delete;
    Listener &operator=(const Listener &) = delete;

    // Starts listening; false when the socket cannot be made (the player then runs on its own).
    bool listen();

Q_SIGNALS:
    // A second start's paths, possibly none (it was started without files).
    void pathsArrived(const QStringList &localPaths);

private:
    void accept();
    void receive(int connection, QSocketNotifier *notifier);

    int m_socket = -1;
    QString m_path;
    // What each open connection has sent so far.
    QHash<int, QByteArray> m_received;
};

} // namespace HandOver
