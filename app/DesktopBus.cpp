#include "app/DesktopBus.h"

#include "app/Mpris.h"
#include "app/Program.h"
#include "ui/frmMain.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>
#include <QListWidget>
#include <QSlider>
#include <QThread>
#include <QTimer>

namespace {

const QString ObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString ServiceName = QStringLiteral("org.mpris.MediaPlayer2.qwelto");

// Asking for the session bus where none is named would have the D-Bus library start one; "disabled:"
// is how a session says it has none.
bool sessionBusNamed()
{
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (!address.isEmpty())
        return !address.startsWith(QLatin1String("disabled:"));
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

constexpr int JoinWaitMs = 2000;

} // namespace

DesktopBus::DesktopBus(Program &program) : m_program(program), m_announce(new QTimer(this))
{
    // Several controls may change in one handler: one announcement after all of them.
    m_announce->setSingleShot(true);
    m_announce->setInterval(0);
    connect(m_announce, &QTimer::timeout, this, &DesktopBus::announceChanges);
}

DesktopBus::~DesktopBus()
{
    // A bus that never answers keeps the thread; it is left to the end of the process rather than
    // holding the shutdown.
    if (m_joining && m_joining->wait(JoinWaitMs))
        delete m_joining;
}

void DesktopBus::start()
{
    if (m_joining || !sessionBusNamed())
        return;
    m_joining = QThread::create([] { QDBusConnection::sessionBus(); });
    connect(m_joining, &QThread::finished, this, &DesktopBus::offer);
    m_joining->start();
}

void DesktopBus::offer()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    Q_EMIT joined();
    if (m_object || m_program.closing() || !m_program.existingMainWindow())
        return;
    m_object = new QObject(this);
    new MprisRoot(m_object, m_program);
    m_player = new MprisPlayer(m_object, m_program);
    if (!bus.registerObject(ObjectPath, m_object, QDBusConnection::ExportAdaptors))
        return;
    // A second player on another display takes a name of its own, as MPRIS asks.
    if (!bus.registerService(ServiceName))
        bus.registerService(ServiceName +
                            QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid()));
    m_announced = m_player->announcedProperties();
    watchWindow();
}

void DesktopBus::watchWindow()
{
    frmMain &window = *m_program.existingMainWindow();
    const auto announceLater = [this] { m_announce->start(); };
    // Every button, switch and menu item of the window, the volume slider, the list's content and the
    // tick that moves on at the end of a file.
    for (QAbstractButton *button : window.findChildren<QAbstractButton *>())
        connect(button, &QAbstractButton::clicked, this, announceLater);
    for (QAction *action : window.findChildren<QAction *>())
        connect(action, &QAction::triggered, this, announceLater);
    connect(window.chkRepeat(), &QAbstractButton::toggled, this, announceLater);
    connect(window.chkSuffle(), &QAbstractButton::toggled, this, announceLater);
    connect(window.scrlVol(), &QSlider::valueChanged, this, announceLater);
    QListWidget *lstPlay = window.lstPlay();
    connect(lstPlay, &QListWidget::itemDoubleClicked, this, announceLater);
    connect(lstPlay->model(), &QAbstractItemModel::rowsInserted, this, announceLater);
    connect(lstPlay->model(), &QAbstractItemModel::rowsRemoved, this, announceLater);
    connect(lstPlay->model(), &QAbstractItemModel::modelReset, this, announceLater);
    connect(window.tmrAnimate(), &QTimer::timeout, this, announceLater);
    // Every item that starts is selected, the one that follows the last without a gap included.
    connect(lstPlay, &QListWidget::currentRowChanged, this, announceLater);
    // The user's own seeks on the bar. The tick moves the bar too, and puts it back to 0 when an item
    // ends, which is no seek. An action's value reaches the bar (and the engine) right after it.
    connect(window.scrlTime(), &QAbstractSlider::actionTriggered, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (!m_program.closing())
                Q_EMIT m_player->Seeked(m_player->position());
        });
    });
}

void DesktopBus::announceChanges()
{
    if (!m_player || m_program.closing())
        return;
    const QVariantMap now = m_player->announcedProperties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (m_announced.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    }
    if (changed.isEmpty())
        return;
    m_announced = now;
    QDBusMessage signal = QDBusMessage::createSignal(
        ObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    signal << QStringLiteral("org.mpris.MediaPlayer2.Player") << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}
