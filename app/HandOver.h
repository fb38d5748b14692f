#pragma once

#include "app/HandOverMessage.h"

#include <QDeadlineTimer>
#include <QObject>

#include <map>
#include <optional>

class QSocketNotifier;
class QTimer;

// One player per user and screen: a later start hands the paths it was given to the player that runs
// already, which adds and plays them and comes to the front, and then ends.
//
// Which start is the player is decided by a lock on a file in the user's runtime folder (the system
// drops it with the process that held it, however it ended), so starts at the same moment cannot both
// become players, and a player that is only slow or stopped is never taken for a dead one. The player
// then listens on a local socket beside it; a later start waits a few seconds for the player's word
// that it has the message, and says so when none comes rather than start a rival that would write its
// list over the other's. The socket is the system's own: Qt's network module would load a dozen
// libraries (Kerberos, a proxy resolver) into every start.
namespace HandOver {

// How long a start waits for the player's answer, and how long the player gives a start to send.
inline constexpr int AnswerWithinMs = 5000;

class Listener : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        // This start is the player, and listens for later ones.
        Player,
        // The running player has the message: this start has done its work.
        HandedOver,
        // A player runs (it holds the lock) but took nothing within AnswerWithinMs: stopped or hung.
        NoAnswer,
        // No runtime folder of the user's own, or no socket there: this player runs on its own.
        Alone,
    };

    explicit Listener(QObject *parent = nullptr);
    ~Listener() override;
    Listener(const Listener &) = delete;
    Listener &operator=(const Listener &) = delete;

    // Becomes the player, or gives the message to the one that runs. A player that ends while this
    // start waits for it leaves its place to this one.
    Outcome startOrHandOver(const Message &message);

Q_SIGNALS:
    // A later start's message, once the start was told it arrived.
    void messageArrived(const HandOver::Message &message);

private:
    struct Connection {
        QByteArray received;
        QSocketNotifier *notifier;
        QDeadlineTimer deadline;
    };

    bool listen();
    // Whether the player took the message; nothing when there was no player to take it (it is just
    // starting to listen, or ending).
    std::optional<bool> handTo(const QByteArray &message, const QDeadlineTimer &deadline);
    void accept();
    void receive(int connection);
    void drop(int connection);
    void dropLate();

    QString m_lockPath;
    QString m_socketPath;
    int m_lock = -1;
    int m_socket = -1;
    QSocketNotifier *m_accepting = nullptr;
    std::map<int, Connection> m_connections;
    QTimer *m_late;
};

} // namespace HandOver
