// What the whole running player costs, measured from outside on a display (xvfb-run): the time from
// exec to its first window on the screen, its memory and its CPU time idle, playing a 128 kbps MP3 and
// playing a 640x480 MPEG-4 video.
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_program [seconds] [--json FILE] [--start-only]
// With --video-only it measures the video alone, on any display, a Wayland compositor's included:
//   tests/with-weston.sh build/bench/bench_program 30 --video-only
#include "MediaMaker.h"
#include "ProcFields.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

QJsonArray results;

void report(const QString &key, const QString &what, double value, const QString &unit)
{
    std::printf("%-44s %10.2f %s\n", qPrintable(what), value, qPrintable(unit));
    std::fflush(stdout);
    results.append(QJsonObject{{QStringLiteral("key"), key},
                               {QStringLiteral("what"), what},
                               {QStringLiteral("value"), value},
                               {QStringLiteral("unit"), unit}});
}

// A field of /proc/PID/smaps_rollup ("Rss", "Pss"), in MB.
double memoryMb(qint64 pid, const QByteArray &field)
{
    const qint64 kb = ProcFields::number(ProcFields::read(pid, "smaps_rollup"), field);
    return kb < 0 ? -1 : static_cast<double>(kb) / 1024.0;
}

struct Folder {
    QTemporaryDir dir;
    QString binary;

    void setList(const QStringList &entries) const
    {
        QFile list(dir.filePath(QStringLiteral("lastlist.lst")));
        list.open(QIODevice::WriteOnly | QIODevice::Truncate);
        for (const QString &entry : entries)
            list.write("\"" + entry.toUtf8() + "\"\r\n");
    }

    void start(QProcess &player) const
    {
        player.setProgram(binary);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        // X when there is one; in a Wayland compositor without X, the player's own choice (Wayland).
        if (!qEnvironmentVariableIsEmpty("DISPLAY"))
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        player.setProcessEnvironment(env);
        player.setStandardOutputFile(QProcess::nullDevice());
        player.setStandardErrorFile(QProcess::nullDevice());
        player.start();
    }
};

// The X server tells every client that listens on the root window when a top-level window is mapped:
// the moment the splash is on the screen, whatever the player itself believes.
class MapWatcher {
public:
    MapWatcher() : m_connection(xcb_connect(nullptr, nullptr))
    {
        if (xcb_connection_has_error(m_connection))
            return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_connection);
    }
    ~MapWatcher() { xcb_disconnect(m_connection); }
    MapWatcher(const MapWatcher &) = delete;
    MapWatcher &operator=(const MapWatcher &) = delete;

    bool ok() const { return !xcb_connection_has_error(m_connection); }

    void drain()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
            std::free(event);
    }

    // Waits for the next top-level window to be mapped; its id, or 0 after the timeout.
    xcb_window_t waitForMap(const QElapsedTimer &clock, qint64 timeoutMs)
    {
        pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        while (clock.elapsed() < timeoutMs) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
                const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
                const xcb_window_t window = reinterpret_cast<xcb_map_notify_event_t *>(event)->window;
                std::free(event);
                if (mapped)
                    return window;
            }
            poll(&fd, 1, 5);
        }
        return 0;
    }

    // The window's pixels as the screen holds them now.
    QByteArray pixels(xcb_window_t window)
    {
        xcb_get_geometry_reply_t *geometry =
            xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
        if (!geometry)
            return {};
        xcb_get_image_reply_t *image =
            xcb_get_image_reply(m_connection,
                                xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                              geometry->width, geometry->height, ~0u),
                                nullptr);
        std::free(geometry);
        if (!image)
            return {};
        QByteArray bytes(reinterpret_cast<const char *>(xcb_get_image_data(image)),
                         xcb_get_image_data_length(image));
        std::free(image);
        return bytes;
    }

    // Waits until the window shows something other than the first thing it showed once mapped
    // (the server's empty background): the splash has been drawn.
    bool waitForPaint(xcb_window_t window, const QElapsedTimer &clock, qint64 timeoutMs)
    {
        const QByteArray blank = pixels(window);
        while (clock.elapsed() < timeoutMs) {
            const QByteArray now = pixels(window);
            if (!now.isEmpty() && now != blank && !isUniform(now))
                return true;
            QThread::usleep(500);
        }
        return false;
    }

private:
    static bool isUniform(const QByteArray &bytes)
    {
        return bytes.size() < 8 || bytes.count(bytes.left(4)) * 4 == bytes.size();
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_root = 0;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

void measureStart(MapWatcher &watcher, const Folder &folder, int runs, const QString &key,
                  const QString &label)
{
    folder.setList({});
    std::vector<double> mapped;
    std::vector<double> painted;
    for (int run = 0; run < runs; ++run) {
        watcher.drain();
        QProcess player;
        QElapsedTimer clock;
        clock.start();
        folder.start(player);
        const xcb_window_t window = watcher.waitForMap(clock, 10000);
        if (window != 0) {
            mapped.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
            if (watcher.waitForPaint(window, clock, 10000))
                painted.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        }
        ::kill(static_cast<pid_t>(player.processId()), SIGKILL);
        player.waitForFinished(5000);
    }
    report(key + QStringLiteral("_mapped_ms"),
           QStringLiteral("exec to %1 mapped (median of %2)").arg(label).arg(mapped.size()), median(mapped),
           QStringLiteral("ms"));
    report(key + QStringLiteral("_painted_ms"),
           QStringLiteral("exec to %1 drawn (median of %2)").arg(label).arg(painted.size()), median(painted),
           QStringLiteral("ms"));
}

void measureRunning(const Folder &folder, const QString &key, const QString &label, int seconds)
{
    QProcess player;
    folder.start(player);
    if (!player.waitForStarted(5000)) {
        std::printf("%s: the player did not start\n", qPrintable(label));
        return;
    }
    // The splash and the load, the second entry opened by the tick, a few seconds to settle.
    QThread::sleep(6);
    const qint64 pid = player.processId();
    const double before = ProcFields::cpuSeconds(pid);
    QThread::sleep(static_cast<unsigned long>(seconds));
    const double used = ProcFields::cpuSeconds(pid) - before;
    const double pss = memoryMb(pid, "Pss");
    const double rss = memoryMb(pid, "Rss");
    const bool alive = player.state() == QProcess::Running;
    player.terminate();
    player.waitForFinished(10000);
    if (!alive) {
        std::printf("%s: the player died\n", qPrintable(label));
        return;
    }
    report(key + QStringLiteral("_cpu_pct"), QStringLiteral("CPU %1, %2 s").arg(label).arg(seconds),
           100.0 * used / seconds, QStringLiteral("% of a core"));
    report(key + QStringLiteral("_pss_mb"), QStringLiteral("PSS %1").arg(label), pss, QStringLiteral("MB"));
    report(key + QStringLiteral("_rss_mb"), QStringLiteral("RSS %1").arg(label), rss, QStringLiteral("MB"));
}

QString ffmpeg(const QString &dir, const QString &name, const QString &arguments)
{
    const QString path = QDir(dir).filePath(name);
    QProcess run;
    run.start(QStringLiteral("ffmpeg"),
              QStringLiteral("-v error -y ").split(QLatin1Char(' '), Qt::SkipEmptyParts) +
                  arguments.split(QLatin1Char(' ')) + QStringList{path});
    run.waitForFinished(120000);
    return run.exitCode() == 0 ? path : QString();
}

QString makeFilm(const QString &dir, int seconds)
{
    return ffmpeg(
        dir, QStringLiteral("film.avi"),
        QStringLiteral("-f lavfi -i testsrc=size=640x480:rate=25:duration=%1 -f lavfi "
                       "-i sine=frequency=440:duration=%1 -ac 2 -c:v mpeg4 -q:v 4 -c:a libmp3lame -b:a 128k")
            .arg(seconds + 20));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString jsonFile;
    const qsizetype json = args.indexOf(QStringLiteral("--json"));
    if (json >= 0 && json + 1 < args.size()) {
        jsonFile = args.at(json + 1);
        args.remove(json, 2);
    }
    const int seconds = args.isEmpty() || args.first().startsWith(QLatin1String("--"))
                            ? 30
                            : std::max(5, args.first().toInt());
    const bool videoOnly = args.contains(QStringLiteral("--video-only"));
    if (qEnvironmentVariableIsEmpty("DISPLAY") &&
        !(videoOnly && qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))) {
        std::printf("needs a display: xvfb-run -a %s\n", argv[0]);
        return 2;
    }

    Folder folder;
    folder.binary = folder.dir.filePath(QStringLiteral("qwelto"));
    QFile::copy(QStringLiteral(QWELTO_BINARY), folder.binary);
    if (videoOnly) {
        const QString media = folder.dir.filePath(QStringLiteral("media"));
        QDir().mkpath(media);
        const QString first = MediaMaker(media).tone(QStringLiteral("first.wav"), 1.0);
        const QString film = makeFilm(media, seconds);
        if (first.isEmpty() || film.isEmpty())
            return 1;
        folder.setList({first, film});
        measureRunning(folder, QStringLiteral("video"), QStringLiteral("playing a 640x480 MPEG-4 AVI"),
                       seconds);
        return 0;
    }

    // One connection throughout: Xvfb starts afresh whenever its last client leaves.
    MapWatcher watcher;
    if (!watcher.ok()) {
        std::printf("no X server to watch\n");
        return 2;
    }
    measureStart(watcher, folder, 11, QStringLiteral("start"), QStringLiteral("splash"));
    Folder bare;
    bare.binary = QStringLiteral(BARE_WINDOW);
    measureStart(watcher, bare, 11, QStringLiteral("bare"), QStringLiteral("a bare Qt window"));
    if (args.contains(QStringLiteral("--start-only")))
        return 0;

    folder.setList({});
    measureRunning(folder, QStringLiteral("idle"), QStringLiteral("idle, nothing loaded"), seconds);

    // Start-up plays the second entry by itself; the first is there to be skipped.
    const QString media = folder.dir.filePath(QStringLiteral("media"));
    QDir().mkpath(media);
    MediaMaker maker(media);
    const QString first = maker.tone(QStringLiteral("first.wav"), 1.0);
    const QString length = QString::number(seconds + 20);
    const QString song = ffmpeg(media, QStringLiteral("song.mp3"),
                                QStringLiteral("-f lavfi -i sine=frequency=440:duration=%1 -ac 2 -ar 44100 "
                                               "-c:a libmp3lame -b:a 128k")
                                    .arg(length));
    const QString film = makeFilm(media, seconds);
    if (first.isEmpty() || song.isEmpty() || film.isEmpty()) {
        std::printf("ffmpeg could not make the media\n");
        return 1;
    }
    folder.setList({first, song});
    measureRunning(folder, QStringLiteral("mp3"), QStringLiteral("playing a 128 kbps MP3"), seconds);
    folder.setList({first, film});
    measureRunning(folder, QStringLiteral("video"), QStringLiteral("playing a 640x480 MPEG-4 AVI"), seconds);

    if (!jsonFile.isEmpty()) {
        QFile out(jsonFile);
        if (out.open(QIODevice::WriteOnly))
            out.write(QJsonDocument(results).toJson());
    }
    return 0;
}
