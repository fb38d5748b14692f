// What the running player costs: the process's own CPU time (all its threads) over 30 s,
// first with nothing loaded, then while it plays an MP3. Run on a display (xvfb-run) after a build:
//   xvfb-run -a build/bench/bench_idle_cpu [seconds]
#include "MediaMaker.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

// CPU time of every thread of a process so far, in seconds. The scheduler's own nanosecond count:
// the clock-tick figures of /proc/PID/stat are too coarse for a process that is nearly idle.
double cpuSeconds(qint64 pid)
{
    double total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (stat.open(QIODevice::ReadOnly))
            total += stat.readAll().split(' ').value(0).toDouble() / 1e9;
    }
    return total;
}

double measure(const QString &label, const QString &folder, int seconds)
{
    QProcess player;
    player.setProgram(QDir(folder).filePath(QStringLiteral("qwelto")));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(folder).filePath(QStringLiteral("config")));
    player.setProcessEnvironment(env);
    player.start();
    if (!player.waitForStarted(5000)) {
        std::printf("%s: the player did not start\n", qPrintable(label));
        return -1;
    }
    // The splash and the load, then a few ticks to settle.
    QThread::sleep(6);
    const double before = cpuSeconds(player.processId());
    QThread::sleep(static_cast<unsigned long>(seconds));
    const double after = cpuSeconds(player.processId());
    player.terminate();
    player.waitForFinished(10000);
    const double used = after - before;
    const double percent = 100.0 * used / seconds;
    std::printf("%-28s %6.3f s of CPU in %d s = %5.2f%% of one core\n", qPrintable(label), used, seconds,
                percent);
    return percent;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 30;
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("needs a display: xvfb-run -a %s\n", argv[0]);
        return 2;
    }
    QTemporaryDir dir;
    QFile::copy(QStringLiteral(QWELTO_BINARY), dir.filePath(QStringLiteral("qwelto")));

    QFile list(dir.filePath(QStringLiteral("lastlist.lst")));
    list.open(QIODevice::WriteOnly);
    list.close();
    measure(QStringLiteral("idle, nothing loaded"), dir.path(), seconds);

    // Start-up plays the second entry by itself.
    MediaMaker maker(dir.path());
    const QString first = maker.tone(QStringLiteral("first.mp3"), 1.0);
    const QString song = maker.tone(QStringLiteral("song.mp3"), seconds + 20.0);
    list.open(QIODevice::WriteOnly);
    list.write("\"" + first.toUtf8() + "\"\r\n\"" + song.toUtf8() + "\"\r\n");
    list.close();
    measure(QStringLiteral("playing an MP3"), dir.path(), seconds);
    return 0;
}
