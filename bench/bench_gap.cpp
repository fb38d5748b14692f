// The silence the real player leaves between consecutive tracks, heard as a user hears it: through a
// PulseAudio server of this program's own into a null sink, recorded from the sink's monitor, every
// client at a 30 ms latency (the null sink's own 2 s would add itself to every change, for any
// player). Four WAV tones, four MP3 tones, and a WAV, an AVI and a WAV again; then the CPU time the
// player takes over 20 s idle with nothing loaded, its marquee scrolling.
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_gap [--json FILE]
// Needs pulseaudio and pulseaudio-utils (parecord); the server runs on a socket in a temporary folder,
// with autospawn off, and goes with the benchmark.
#include "ProcFields.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

#include <gst/gst.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rate = 44100;
// Silence is what stays under -50 dBFS over a window of 2 ms.
constexpr int WindowFrames = Rate / 500;
constexpr double WindowMs = 1000.0 * WindowFrames / Rate;
const double SilenceLevel = 32768.0 * std::pow(10.0, -50.0 / 20.0);
constexpr double ToneSeconds = 4.0;

QJsonArray results;

void report(const QString &key, const QString &what, double value, const QString &unit)
{
    std::printf("%-60s %8.3f %s\n", qPrintable(what), value, qPrintable(unit));
    std::fflush(stdout);
    results.append(QJsonObject{{QStringLiteral("key"), key},
                               {QStringLiteral("what"), what},
                               {QStringLiteral("value"), value},
                               {QStringLiteral("unit"), unit}});
}

// One flag per window of 16-bit stereo samples: true where it is silent.
std::vector<bool> silentWindows(const QByteArray &samples)
{
    const auto *data = reinterpret_cast<const qint16 *>(samples.constData());
    const qsizetype frames = samples.size() / 4;
    std::vector<bool> silent;
    for (qsizetype start = 0; start + WindowFrames <= frames; start += WindowFrames) {
        double sum = 0;
        for (qsizetype i = start; i < start + WindowFrames; ++i) {
            const double left = qFromLittleEndian(data[2 * i]);
            const double right = qFromLittleEndian(data[2 * i + 1]);
            sum += (left * left + right * right) / 2;
        }
        silent.push_back(std::sqrt(sum / WindowFrames) < SilenceLevel);
    }
    return silent;
}

// A file's own silence at its start and at its end, in ms, as GStreamer decodes it.
struct OwnSilence {
    double leading = 0, trailing = 0;
};

OwnSilence ownSilence(const QString &file, const QString &scratch, double &lengthMs)
{
    const QString raw = QDir(scratch).filePath(QStringLiteral("decoded.raw"));
    GstElement *playbin = gst_element_factory_make("playbin", nullptr);
    GstElement *sink = gst_parse_bin_from_description(
        QStringLiteral("audioconvert ! audioresample ! audio/x-raw,format=S16LE,rate=%1,channels=2 ! "
                       "filesink location=\"%2\"")
            .arg(Rate)
            .arg(raw)
            .toUtf8()
            .constData(),
        TRUE, nullptr);
    gchar *uri = gst_filename_to_uri(QFile::encodeName(file).constData(), nullptr);
    // playbin's own flags, as the player has them: they change what the decoders give at the start.
    g_object_set(playbin, "uri", uri, "audio-sink", sink, "video-sink",
                 gst_element_factory_make("fakesink", nullptr), nullptr);
    g_free(uri);
    gst_element_set_state(playbin, GST_STATE_PLAYING);
    GstBus *bus = gst_element_get_bus(playbin);
    if (GstMessage *end = gst_bus_timed_pop_filtered(bus, 60 * GST_SECOND,
                                                     GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)))
        gst_message_unref(end);
    gst_object_unref(bus);
    gst_element_set_state(playbin, GST_STATE_NULL);
    gst_object_unref(playbin);

    QFile decoded(raw);
    const QByteArray samples = decoded.open(QIODevice::ReadOnly) ? decoded.readAll() : QByteArray();
    lengthMs = static_cast<double>(samples.size() / 4) * 1000.0 / Rate;
    const std::vector<bool> silent = silentWindows(samples);
    const auto first = std::find(silent.begin(), silent.end(), false);
    const auto last = std::find(silent.rbegin(), silent.rend(), false);
    if (first == silent.end())
        return {};
    return {static_cast<double>(first - silent.begin()) * WindowMs,
            static_cast<double>(last - silent.rbegin()) * WindowMs};
}

// The samples of a WAV file parecord wrote; the length in its header may never have been filled in.
QByteArray wavSamples(const QString &path)
{
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        if (id == "data")
            return bytes.mid(at + 8, qMin<qsizetype>(size, bytes.size() - at - 8));
        at += 8 + size;
    }
    return {};
}

// The silence heard at each change of a recording of files played one after another, from the
// lengths and the own silence of the files: a silence goes to the change nearest to it, where the
// files' lengths, and the silence heard before, put it. Empty when the recording does not hold them
// all.
std::vector<double> silenceAtChanges(const QByteArray &samples, const std::vector<double> &lengthsMs,
                                     const std::vector<OwnSilence> &own)
{
    const std::vector<bool> silent = silentWindows(samples);
    const auto first = std::find(silent.begin(), silent.end(), false);
    const auto last = std::find(silent.rbegin(), silent.rend(), false);
    if (first == silent.end() || lengthsMs.size() < 2)
        return {};
    std::vector<double> boundaries;
    double sum = -own.front().leading;
    for (std::size_t i = 0; i + 1 < lengthsMs.size(); ++i)
        boundaries.push_back(sum += lengthsMs[i]);
    const double total = sum + lengthsMs.back() - own.back().trailing;
    const double heardSpan =
        static_cast<double>((silent.rend() - last) - (first - silent.begin())) * WindowMs;
    if (heardSpan < total - 1000.0)
        return {};

    std::vector<double> heard(boundaries.size(), 0.0);
    double added = 0;
    qsizetype run = 0;
    for (auto w = first; w != last.base(); ++w) {
        if (*w) {
            ++run;
            continue;
        }
        if (run > 0) {
            const double length = static_cast<double>(run) * WindowMs;
            const double at = static_cast<double>(w - first) * WindowMs - length - added;
            std::size_t nearest = 0;
            for (std::size_t k = 1; k < boundaries.size(); ++k)
                if (std::abs(at - boundaries[k]) < std::abs(at - boundaries[nearest]))
                    nearest = k;
            heard[nearest] += length;
            added += length;
        }
        run = 0;
    }
    return heard;
}

class SoundServer {
public:
    explicit SoundServer(const QString &folder) : m_folder(folder)
    {
        QDir().mkpath(folder);
        QFile conf(path(QStringLiteral("client.conf")));
        if (conf.open(QIODevice::WriteOnly))
            conf.write("autospawn = no\n");
        conf.close();
        m_server.setProcessEnvironment(environment());
        m_server.setProgram(QStringLiteral("pulseaudio"));
        m_server.setArguments({QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                               QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                               QStringLiteral("-L"), QStringLiteral("module-null-sink sink_name=rec"),
                               QStringLiteral("-L"),
                               QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=%1")
                                   .arg(path(QStringLiteral("pulse.sock")))});
        m_server.setStandardOutputFile(QProcess::nullDevice());
        m_server.setStandardErrorFile(path(QStringLiteral("pulseaudio.log")));
        m_server.start();
        m_server.waitForStarted(5000);
        QElapsedTimer clock;
        clock.start();
        // Waiting on the process also notices it ending.
        while (!QFileInfo::exists(path(QStringLiteral("pulse.sock"))) && clock.elapsed() < 10000 &&
               !m_server.waitForFinished(20)) {
        }
    }
    ~SoundServer()
    {
        m_server.terminate();
        if (!m_server.waitForFinished(5000))
            m_server.kill();
        m_server.waitForFinished(5000);
    }
    SoundServer(const SoundServer &) = delete;
    SoundServer &operator=(const SoundServer &) = delete;

    QByteArray log() const
    {
        QFile file(path(QStringLiteral("pulseaudio.log")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool ok() const
    {
        return m_server.state() == QProcess::Running && QFileInfo::exists(path(QStringLiteral("pulse.sock")));
    }

    // What a client of this server, and of no other, is started with.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_folder);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_folder);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), m_folder);
        env.insert(QStringLiteral("PULSE_STATE_PATH"), m_folder);
        env.insert(QStringLiteral("PULSE_CLIENTCONFIG"), path(QStringLiteral("client.conf")));
        env.insert(QStringLiteral("PULSE_SERVER"),
                   QStringLiteral("unix:") + path(QStringLiteral("pulse.sock")));
        env.insert(QStringLiteral("PULSE_LATENCY_MSEC"), QStringLiteral("30"));
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
        return env;
    }

private:
    QString path(const QString &name) const { return QDir(m_folder).filePath(name); }

    QString m_folder;
    QProcess m_server;
};

// The player with only `files` in its list, from a folder of its own.
void startPlayer(QProcess &player, const QString &folder, const QProcessEnvironment &env,
                 const QStringList &files)
{
    QDir().mkpath(folder);
    // The runtime folder holds the player's hand-over socket; Qt wants it private.
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString binary = QDir(folder).filePath(QStringLiteral("qwelto"));
    QFile::copy(QStringLiteral(QWELTO_BINARY), binary);
    QFile list(QDir(folder).filePath(QStringLiteral("lastlist.lst")));
    list.open(QIODevice::WriteOnly | QIODevice::Truncate);
    list.close();
    QProcessEnvironment playerEnv = env;
    playerEnv.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    playerEnv.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder);
    playerEnv.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(folder).filePath(QStringLiteral("config")));
    player.setProcessEnvironment(playerEnv);
    player.setStandardOutputFile(QProcess::nullDevice());
    player.setStandardErrorFile(QProcess::nullDevice());
    player.start(binary, files);
    player.waitForStarted(5000);
}

// Whether the process has `path` open.
bool hasOpen(qint64 pid, const QString &path)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    const QString target = QFileInfo(path).canonicalFilePath();
    for (const QFileInfo &fd : fds.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget() == target)
            return true;
    return false;
}

void stop(QProcess &process, int signal)
{
    if (process.state() == QProcess::NotRunning)
        return;
    ::kill(static_cast<pid_t>(process.processId()), signal);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

// The silence at each change of a list played through, beside the files' own.
void measureList(const SoundServer &server, const QString &scratch, const QString &key, const QString &label,
                 const QStringList &files)
{
    std::vector<OwnSilence> own;
    std::vector<double> lengths;
    for (const QString &file : files) {
        double length = 0;
        own.push_back(ownSilence(file, scratch, length));
        lengths.push_back(length);
    }

    const QString recording = QDir(scratch).filePath(key + QStringLiteral(".wav"));
    QProcess recorder;
    recorder.setProcessEnvironment(server.environment());
    recorder.start(QStringLiteral("parecord"),
                   {QStringLiteral("--device=rec.monitor"), QStringLiteral("--file-format=wav"), recording});
    recorder.waitForStarted(5000);
    QProcess player;
    startPlayer(player, QDir(scratch).filePath(key), server.environment(), files);
    // The last file is opened at the latest as the one before it ends (queued a little earlier): from
    // there its length and a margin hold the rest, however long the start took.
    QElapsedTimer waited;
    waited.start();
    while (!hasOpen(player.processId(), files.last()) && waited.elapsed() < 60000 &&
           player.state() == QProcess::Running)
        QThread::msleep(20);
    QThread::msleep(static_cast<unsigned long>((ToneSeconds + 2.0) * 1000));
    stop(player, SIGTERM);
    stop(recorder, SIGINT);

    const std::vector<double> found = silenceAtChanges(wavSamples(recording), lengths, own);
    if (found.empty()) {
        std::printf("%s: the recording does not hold the whole list\n", qPrintable(label));
        return;
    }
    QStringList heard, theirs;
    double worst = 0, worstHeard = 0;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const double their = own[i].trailing + own[i + 1].leading;
        heard.append(QString::number(found[i]));
        theirs.append(QString::number(their));
        worst = std::max(worst, found[i] - their);
        worstHeard = std::max(worstHeard, found[i]);
    }
    std::printf("%s: silence at each change %s ms, the files' own %s ms\n", qPrintable(label),
                qPrintable(heard.join(QStringLiteral(" / "))),
                qPrintable(theirs.join(QStringLiteral(" / "))));
    report(key + QStringLiteral("_added_ms"), label + QStringLiteral(": most added by the player"),
           std::max(0.0, worst), QStringLiteral("ms"));
    report(key + QStringLiteral("_heard_ms"), label + QStringLiteral(": longest heard"), worstHeard,
           QStringLiteral("ms"));
}

// utime + stime of /proc/PID/stat, in seconds: what `ps` and `top` go by, counted in clock ticks.
double tickSeconds(qint64 pid)
{
    const QByteArray stat = ProcFields::read(pid, "stat");
    // The fields after the command name, which may hold blanks, in parentheses.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? static_cast<double>(fields[11].toLongLong() + fields[12].toLongLong()) /
                                    static_cast<double>(sysconf(_SC_CLK_TCK))
                              : -1;
}

void measureIdle(const QProcessEnvironment &env, const QString &scratch)
{
    QProcess player;
    startPlayer(player, QDir(scratch).filePath(QStringLiteral("idle")), env, {});
    // The splash and the first ticks.
    QThread::sleep(8);
    const double before = ProcFields::cpuSeconds(player.processId());
    const double ticksBefore = tickSeconds(player.processId());
    QThread::sleep(20);
    const double used = ProcFields::cpuSeconds(player.processId()) - before;
    const double ticks = tickSeconds(player.processId()) - ticksBefore;
    const bool alive = !player.waitForFinished(0) && player.state() == QProcess::Running;
    stop(player, SIGTERM);
    if (!alive)
        return;
    report(QStringLiteral("idle_cpu_20s"), QStringLiteral("CPU over 20 s idle, nothing loaded"), used,
           QStringLiteral("s"));
    report(QStringLiteral("idle_ticks_20s"), QStringLiteral("the same in utime + stime"), ticks,
           QStringLiteral("s"));
}

QString ffmpeg(const QString &dir, const QString &name, const QString &arguments)
{
    const QString path = QDir(dir).filePath(name);
    QProcess run;
    run.start(QStringLiteral("ffmpeg"), QStringLiteral("-v error -y").split(QLatin1Char(' ')) +
                                            arguments.split(QLatin1Char(' ')) + QStringList{path});
    run.waitForFinished(120000);
    return run.exitCode() == 0 ? path : QString();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    gst_init(nullptr, nullptr);
    const QStringList args = app.arguments();
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("needs a display: xvfb-run -a %s\n", argv[0]);
        return 2;
    }
    QTemporaryDir scratch;
    SoundServer server(scratch.filePath(QStringLiteral("pulse")));
    if (!server.ok()) {
        std::printf("PulseAudio did not start (packages pulseaudio, pulseaudio-utils):\n%s\n",
                    server.log().constData());
        return 1;
    }

    const QString media = scratch.filePath(QStringLiteral("media"));
    QDir().mkpath(media);
    QStringList wavs, mp3s;
    for (const int frequency : {440, 550, 660, 770}) {
        const QString tone = QStringLiteral("-f lavfi -i sine=frequency=%1:duration=%2 -ac 2 -ar %3 ")
                                 .arg(frequency)
                                 .arg(ToneSeconds)
                                 .arg(Rate);
        wavs << ffmpeg(media, QStringLiteral("%1.wav").arg(frequency),
                       tone + QStringLiteral("-c:a pcm_s16le"));
        mp3s << ffmpeg(media, QStringLiteral("%1.mp3").arg(frequency),
                       tone + QStringLiteral("-c:a libmp3lame -b:a 128k"));
    }
    QStringList films;
    for (const int frequency : {880, 990})
        films << ffmpeg(
            media, QStringLiteral("film%1.avi").arg(frequency),
            QStringLiteral("-f lavfi -i testsrc=size=320x240:rate=25:duration=%1 -f lavfi "
                           "-i sine=frequency=%3:duration=%1 -ac 2 -ar %2 -c:v mpeg4 -c:a libmp3lame")
                .arg(ToneSeconds)
                .arg(Rate)
                .arg(frequency));
    const QString film = films[0];
    if (wavs.contains(QString()) || mp3s.contains(QString()) || films.contains(QString())) {
        std::printf("ffmpeg could not make the media\n");
        return 1;
    }

    measureList(server, scratch.path(), QStringLiteral("gap_wav"), QStringLiteral("four WAVs"), wavs);
    measureList(server, scratch.path(), QStringLiteral("gap_mp3"), QStringLiteral("four MP3s"), mp3s);
    measureList(server, scratch.path(), QStringLiteral("gap_mixed"), QStringLiteral("WAV, AVI, WAV"),
                {wavs[0], film, wavs[1]});
    measureList(server, scratch.path(), QStringLiteral("gap_films"), QStringLiteral("AVI, AVI"), films);
    measureIdle(server.environment(), scratch.path());

    const qsizetype json = args.indexOf(QStringLiteral("--json"));
    if (json >= 0 && json + 1 < args.size()) {
        QFile out(args.at(json + 1));
        if (out.open(QIODevice::WriteOnly))
            out.write(QJsonDocument(results).toJson());
    }
    return 0;
}
