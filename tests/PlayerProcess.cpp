#include "PlayerProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace {

constexpr QFileDevice::Permissions OpenToAll =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
    QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther |
    QFileDevice::ExeOther;

} // namespace

PlayerProcess::PlayerProcess() : m_env(QProcessEnvironment::systemEnvironment())
{
    QFile::copy(QStringLiteral(QWELTO_BINARY), m_dir.filePath(QStringLiteral("qwelto")));
    m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
    m_env.insert(QStringLiteral("XDG_DATA_HOME"), m_config.filePath(QStringLiteral("data")));
    m_process.setProgram(m_dir.filePath(QStringLiteral("qwelto")));
}

PlayerProcess::~PlayerProcess()
{
    if (isRunning()) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString PlayerProcess::listPath() const
{
    return m_dir.filePath(QStringLiteral("lastlist.lst"));
}

QString PlayerProcess::dataListPath() const
{
    return m_config.filePath(QStringLiteral("data/qwelto/lastlist.lst"));
}

QString PlayerProcess::settingsPath() const
{
    return m_config.filePath(QStringLiteral("qwelto.conf"));
}

void PlayerProcess::runAsOrdinaryUser()
{
    if (::geteuid() != 0)
        return;
    QFile::setPermissions(m_dir.path(), OpenToAll);
    QFile::setPermissions(m_config.path(), OpenToAll);
    // Links are left alone: opening one up would open up what it points at, /dev/zero say.
    for (const QString &name : QDir(m_dir.path()).entryList(QDir::Files | QDir::NoSymLinks))
        QFile::setPermissions(m_dir.filePath(name), OpenToAll);
    m_process.setArguments({QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                            QStringLiteral("--clear-groups"), m_process.program()});
    m_process.setProgram(QStringLiteral("setpriv"));
    m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_env.insert(QStringLiteral("HOME"), QStringLiteral("/tmp"));
    m_env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
}

void PlayerProcess::setEnvironment(const QString &name, const QString &value)
{
    m_env.insert(name, value);
}

bool PlayerProcess::start()
{
    m_process.setProcessEnvironment(m_env);
    m_process.start();
    return m_process.waitForStarted(5000);
}

bool PlayerProcess::waitUntilLoaded(int boundMs)
{
    // The main window's load makes the engine, which maps GStreamer's playback plugin; the list and the
    // options are read later in the same turn of the event loop, before a signal can be handled.
    QFile maps(QStringLiteral("/proc/%1/maps").arg(m_process.processId()));
    const auto loaded = [&] {
        const bool found = maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/libgstplayback.so");
        maps.close();
        return found;
    };
    return QTest::qWaitFor([&] { return !isRunning() || loaded(); }, boundMs) && isRunning();
}

int PlayerProcess::signalAndWait(int signalNumber, int boundMs)
{
    if (isRunning())
        ::kill(static_cast<pid_t>(m_process.processId()), signalNumber);
    if (!m_process.waitForFinished(boundMs)) {
        m_process.kill();
        m_process.waitForFinished(5000);
        return -2;
    }
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -3;
}

int PlayerProcess::runThenSignal(int signalNumber)
{
    if (!start() || !waitUntilLoaded())
        return -1;
    return signalAndWait(signalNumber);
}

QStringList PlayerProcess::openFiles() const
{
    QStringList files;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(m_process.processId()));
    for (const QFileInfo &fd : fds.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = fd.symLinkTarget();
        if (target.startsWith(QLatin1Char('/')) && QFileInfo(target).isFile())
            files.append(target);
    }
    return files;
}
