// Runs every benchmark beside it and prints one Markdown table of the figures that matter, with the
// aims they are held to and the machine they ran on. Run on a display, from a release build:
//   bash scripts/bench.sh            (builds build-release/ and runs this under xvfb-run)
//   bench_report [--seconds N]       (CPU windows of N seconds instead of 30)
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gst/gst.h>

#include <cstdio>
#include <map>

namespace {

struct Figure {
    double value = -1; // in the unit the benchmark reported
    QString unit;
    QString error;
};

using Figures = std::map<QString, Figure>;

QTemporaryDir &scratch()
{
    static QTemporaryDir dir;
    return dir;
}

void progress(const QString &what)
{
    std::fprintf(stderr, "bench_report: %s\n", qPrintable(what));
}

// A Google Benchmark program's results by benchmark name: the real time per iteration, or a
// counter of its own (name:counter) where it reports one.
Figures runGoogleBenchmark(const QString &program, const QStringList &extraArguments = {})
{
    Figures figures;
    const QString out = scratch().filePath(program + QStringLiteral(".json"));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.setStandardOutputFile(QProcess::nullDevice());
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    progress(QStringLiteral("running %1").arg(program));
    child.start(
        QDir(QCoreApplication::applicationDirPath()).filePath(program),
        QStringList{QStringLiteral("--benchmark_out=") + out, QStringLiteral("--benchmark_out_format=json")} +
            extraArguments);
    if (!child.waitForFinished(30 * 60 * 1000) || child.exitCode() != 0) {
        progress(QStringLiteral("%1 failed").arg(program));
        return figures;
    }
    QFile file(out);
    file.open(QIODevice::ReadOnly);
    const QJsonArray benchmarks =
        QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("benchmarks")).toArray();
    static const QStringList NotCounters = {QStringLiteral("name"),
                                            QStringLiteral("run_name"),
                                            QStringLiteral("run_type"),
                                            QStringLiteral("repetitions"),
                                            QStringLiteral("repetition_index"),
                                            QStringLiteral("threads"),
                                            QStringLiteral("iterations"),
                                            QStringLiteral("real_time"),
                                            QStringLiteral("cpu_time"),
                                            QStringLiteral("time_unit"),
                                            QStringLiteral("family_index"),
                                            QStringLiteral("per_family_instance_index"),
                                            QStringLiteral("items_per_second"),
                                            QStringLiteral("error_occurred"),
                                            QStringLiteral("error_message"),
                                            QStringLiteral("label")};
    for (const QJsonValue &value : benchmarks) {
        const QJsonObject b = value.toObject();
        QString name = b.value(QStringLiteral("name")).toString();
        name.remove(QRegularExpression(QStringLiteral("/(min_time|iterations|real_time|manual_time)[^/]*")));
        Figure figure;
        figure.value = b.value(QStringLiteral("real_time")).toDouble();
        figure.unit = b.value(QStringLiteral("time_unit")).toString();
        if (b.value(QStringLiteral("error_occurred")).toBool())
            figure.error = b.value(QStringLiteral("error_message")).toString();
        figures[name] = figure;
        for (auto it = b.begin(); it != b.end(); ++it) {
            if (!NotCounters.contains(it.key()) && it.value().isDouble())
                figures[name + QLatin1Char(':') + it.key()] = {it.value().toDouble(), QString(),
                                                               figure.error};
        }
    }
    return figures;
}

// The figures a program that watches the player from outside wrote: a JSON array of key, value, unit.
Figures readReport(const QString &path)
{
    Figures figures;
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    for (const QJsonValue &value : QJsonDocument::fromJson(file.readAll()).array()) {
        const QJsonObject o = value.toObject();
        figures[o.value(QStringLiteral("key")).toString()] = {
            o.value(QStringLiteral("value")).toDouble(), o.value(QStringLiteral("unit")).toString(), {}};
    }
    return figures;
}

// The silence between tracks through a sound server of its own, and the CPU idle.
Figures runGapBenchmark()
{
    const QString out = scratch().filePath(QStringLiteral("gap.json"));
    QProcess child;
    child.setStandardOutputFile(QProcess::nullDevice());
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    progress(QStringLiteral("running bench_gap"));
    child.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("bench_gap")),
                {QStringLiteral("--json"), out});
    if (!child.waitForFinished(30 * 60 * 1000) || child.exitCode() != 0) {
        progress(QStringLiteral("bench_gap failed"));
        return {};
    }
    return readReport(out);
}

// On the X display, or with onWayland the video alone in a headless weston.
Figures runProgramBenchmark(int seconds, bool onWayland = false)
{
    Figures figures;
    const QString out =
        scratch().filePath(onWayland ? QStringLiteral("wayland.json") : QStringLiteral("program.json"));
    QProcess child;
    child.setStandardOutputFile(QProcess::nullDevice());
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    progress(QStringLiteral("running bench_program%1 (%2 s per CPU window)")
                 .arg(onWayland ? QStringLiteral(" on Wayland") : QString())
                 .arg(seconds));
    QStringList arguments = {
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("bench_program")),
        QString::number(seconds), QStringLiteral("--json"), out};
    if (onWayland)
        arguments << QStringLiteral("--video-only");
    const QString program = onWayland ? QStringLiteral(WITH_WESTON) : arguments.takeFirst();
    child.start(program, arguments);
    if (!child.waitForFinished(30 * 60 * 1000) || child.exitCode() != 0) {
        progress(QStringLiteral("bench_program failed"));
        return figures;
    }
    return readReport(out);
}

// A figure as the table shows it: three significant digits are plenty for timings that vary by
// more than that from run to run.
QString shown(const Figures &figures, const QString &name, double scale = 1.0)
{
    const auto it = figures.find(name);
    if (it == figures.end())
        return QStringLiteral("n/a");
    if (!it->second.error.isEmpty())
        return QStringLiteral("failed");
    const double v = it->second.value * scale;
    if (v >= 100)
        return QString::number(v, 'f', 0);
    if (v >= 10)
        return QString::number(v, 'f', 1);
    if (v >= 1)
        return QString::number(v, 'f', 2);
    return QString::number(v, 'g', 2);
}

// Converts a Google Benchmark time to the unit asked for.
double toUnit(const Figures &figures, const QString &name, const QString &unit)
{
    const auto it = figures.find(name);
    if (it == figures.end())
        return 1;
    static const std::map<QString, double> ns = {{QStringLiteral("ns"), 1.0},
                                                 {QStringLiteral("us"), 1e3},
                                                 {QStringLiteral("ms"), 1e6},
                                                 {QStringLiteral("s"), 1e9}};
    const auto from = ns.find(it->second.unit);
    const auto to = ns.find(unit);
    return from == ns.end() || to == ns.end() ? 1.0 : from->second / to->second;
}

// Several figures of one program in one cell, "a / b / c unit": the unit is written once, at the end.
// With no unit the figures stay in the units they were reported in.
QString figuresIn(const Figures &figures, const QStringList &names, const QString &unit)
{
    QStringList parts;
    for (const QString &name : names)
        parts.append(shown(figures, name, toUnit(figures, name, unit)));
    if (unit.isEmpty())
        return parts.join(QStringLiteral(" / "));
    return parts.join(QStringLiteral(" / ")) + QLatin1Char(' ') +
           (unit == QLatin1String("us") ? QStringLiteral("µs") : unit);
}

QString firstLine(const QString &path, const QString &prefix)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : file.readAll().split('\n')) {
        // "key : value" in /proc, key=value in os-release
        if (line.startsWith(prefix.toUtf8()))
            return QString::fromUtf8(line.mid(prefix.size()))
                .remove(QLatin1Char('"'))
                .remove(QLatin1Char(':'))
                .trimmed();
    }
    return {};
}

QString machine()
{
    const QString cpu = firstLine(QStringLiteral("/proc/cpuinfo"), QStringLiteral("model name"));
    const double memGb = firstLine(QStringLiteral("/proc/meminfo"), QStringLiteral("MemTotal"))
                             .split(QLatin1Char(' '))
                             .value(0)
                             .toDouble() /
                         1024 / 1024;
    QString os = firstLine(QStringLiteral("/etc/os-release"), QStringLiteral("PRETTY_NAME="));
    if (os.isEmpty())
        os = QSysInfo::prettyProductName();
    gchar *gst = gst_version_string();
    const QString line =
        QStringLiteral("%1, %2 cores, %3 GB; %4, kernel %5; Qt %6, %7; X: Xvfb")
            .arg(cpu)
            .arg(QThread::idealThreadCount())
            .arg(memGb, 0, 'f', 0)
            .arg(os, QSysInfo::kernelVersion(), QString::fromLatin1(qVersion()), QString::fromUtf8(gst));
    g_free(gst);
    return line;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    gst_init(nullptr, nullptr);
    int seconds = 30;
    const QStringList args = app.arguments();
    const qsizetype s = args.indexOf(QStringLiteral("--seconds"));
    if (s >= 0 && s + 1 < args.size())
        seconds = std::max(5, args.at(s + 1).toInt());
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("needs a display: xvfb-run -a %s\n", argv[0]);
        return 2;
    }

    const Figures list = runGoogleBenchmark(QStringLiteral("bench_listfile"));
    const Figures scan = runGoogleBenchmark(QStringLiteral("bench_folderscan"));
    const Figures tick = runGoogleBenchmark(QStringLiteral("bench_tick"));
    const Figures windows = runGoogleBenchmark(QStringLiteral("bench_windows"));
    const Figures engine = runGoogleBenchmark(QStringLiteral("bench_engine"));
    const Figures program = runProgramBenchmark(seconds);
    const Figures wayland = runProgramBenchmark(seconds, true);
    const Figures gap = runGapBenchmark();

    const auto sizes = [&](const QString &name) {
        return figuresIn(list,
                         {name + QStringLiteral("/1000"), name + QStringLiteral("/10000"),
                          name + QStringLiteral("/100000")},
                         QStringLiteral("ms"));
    };
    const auto row = [](const QString &what, const QString &figure, const QString &aim = QString()) {
        std::printf("| %s | %s | %s |\n", qPrintable(what), qPrintable(figure), qPrintable(aim));
    };
    // bench_program reports in the table's units already.
    const auto whole = [&](const QStringList &keys, const QString &unit) {
        return figuresIn(program, keys, QString()) + QLatin1Char(' ') + unit;
    };
    const QString ms = QStringLiteral("ms");
    const QString core = QStringLiteral("% of a core");

    std::printf("Machine: %s. Release build.\n\n", qPrintable(machine()));
    std::printf("| Measure | Figure | Aim |\n|---|---|---|\n");
    row(QStringLiteral("lastlist.lst read into `lstPlay`, 1,000 / 10,000 / 100,000 entries"),
        sizes(QStringLiteral("BM_ReadFileIntoPlaylistBox")));
    row(QStringLiteral("`lstPlay` written to lastlist.lst (atomic, synced), 1,000 / 10,000 / 100,000"),
        sizes(QStringLiteral("BM_SavePlaylistBox")));
    row(QStringLiteral("list file decoded, 1,000 / 10,000 / 100,000"), sizes(QStringLiteral("BM_Decode")));
    row(QStringLiteral("list file encoded, 1,000 / 10,000 / 100,000"), sizes(QStringLiteral("BM_Encode")));
    row(QStringLiteral("folder of 10,000 media files scanned / scanned and added to `lstPlay`"),
        figuresIn(scan,
                  {QStringLiteral("BM_ScanFolder/10000"), QStringLiteral("BM_ScanAndAppendToPlaylist/10000")},
                  ms));
    row(QStringLiteral("one progress tick, 10,000 entries: playing / ending an item / with its repaint"),
        figuresIn(tick,
                  {QStringLiteral("BM_TickWhilePlaying/10000"), QStringLiteral("BM_TickEndingAnItem/10000"),
                   QStringLiteral("BM_TickWithRepaint/10000")},
                  QStringLiteral("us")));
    row(QStringLiteral("`FormatTime`"),
        figuresIn(tick, {QStringLiteral("BM_FormatTime")}, QStringLiteral("ns")));
    row(QStringLiteral("a whole pass over 100,000 missing files (real engine) / its longest stretch "
                       "without the event loop"),
        figuresIn(tick,
                  {QStringLiteral("BM_DeadListPass/100000"),
                   QStringLiteral("BM_DeadListPass/100000:longest_slice_ms")},
                  ms),
        QStringLiteral("under 2,000 / 1,000 ms"));
    row(QStringLiteral("main window made and first drawn"),
        figuresIn(windows, {QStringLiteral("BM_MainWindowMadeAndDrawn")}, ms));
    row(QStringLiteral("exec to the splash mapped on the screen / drawn (median of 11 starts)"),
        whole({QStringLiteral("start_mapped_ms"), QStringLiteral("start_painted_ms")}, ms),
        QStringLiteral("under 90 ms"));
    row(QStringLiteral("the same for a bare Qt window (one label), for reference"),
        whole({QStringLiteral("bare_mapped_ms"), QStringLiteral("bare_painted_ms")}, ms));
    row(QStringLiteral("memory idle, PSS / RSS"),
        whole({QStringLiteral("idle_pss_mb"), QStringLiteral("idle_rss_mb")}, QStringLiteral("MB")),
        QStringLiteral("PSS under 40 MB"));
    row(QStringLiteral("memory playing a 128 kbps MP3, PSS / RSS"),
        whole({QStringLiteral("mp3_pss_mb"), QStringLiteral("mp3_rss_mb")}, QStringLiteral("MB")));
    row(QStringLiteral("memory playing a 640x480 MPEG-4 AVI, PSS / RSS"),
        whole({QStringLiteral("video_pss_mb"), QStringLiteral("video_rss_mb")}, QStringLiteral("MB")));
    row(QStringLiteral("CPU over %1 s idle").arg(seconds), whole({QStringLiteral("idle_cpu_pct")}, core));
    row(QStringLiteral("CPU over %1 s playing a 128 kbps MP3").arg(seconds),
        whole({QStringLiteral("mp3_cpu_pct")}, core), QStringLiteral("under 1 %"));
    row(QStringLiteral("CPU over %1 s playing a 640x480 MPEG-4 AVI").arg(seconds),
        whole({QStringLiteral("video_cpu_pct")}, core), QStringLiteral("under 8 %"));
    row(QStringLiteral("silence between tracks beyond the files' own (PulseAudio null sink, 30 ms latency), "
                       "the longest change: four WAVs / four MP3s / WAV, AVI, WAV"),
        figuresIn(gap,
                  {QStringLiteral("gap_wav_added_ms"), QStringLiteral("gap_mp3_added_ms"),
                   QStringLiteral("gap_mixed_added_ms")},
                  QString()) +
            QStringLiteral(" ms"),
        QStringLiteral("5 / 5 / 100 ms; four WAVs: Audacious 0, mpv 0, mpv `--gapless-audio=no` 28-30, "
                       "VLC 90-92 ms"));
    row(QStringLiteral("CPU time over 20 s idle, nothing loaded, the marquee scrolling: scheduler's count / "
                       "utime + stime"),
        figuresIn(gap, {QStringLiteral("idle_cpu_20s"), QStringLiteral("idle_ticks_20s")}, QString()) +
            QStringLiteral(" s"),
        QStringLiteral("0.01 s; Audacious, VLC, mpv 0.00 s"));
    row(QStringLiteral("the same on Wayland (headless weston, `waylandsink`): CPU / PSS / RSS"),
        figuresIn(wayland, {QStringLiteral("video_cpu_pct")}, QString()) + QLatin1Char(' ') + core +
            QStringLiteral(" / ") +
            figuresIn(wayland, {QStringLiteral("video_pss_mb"), QStringLiteral("video_rss_mb")}, QString()) +
            QStringLiteral(" MB"),
        QStringLiteral("under 8 %"));

    std::printf("\nThe engine, per format (GStreamer, fake sinks that keep real time):\n\n");
    std::printf("| Format | Open | First open in a process | Seek |\n|---|---|---|---|\n");
    const std::pair<const char *, const char *> formats[] = {
        {"mp3", "MP3"},
        {"wav", "WAV"},
        {"ogg", "OGG Vorbis"},
        {"wma", "WMA"},
        {"mid", "MIDI"},
        {"avi", "AVI (MPEG-4)"},
        {"mpg", "MPEG-1"},
        {"mpeg", "MPEG-2"},
        {"asf", "ASF"},
        {"vob", "VOB"},
        {"dat", "Video CD .dat"},
        {"cdxa", "Video CD .dat (RIFF/CDXA)"},
        {"vcd", "Video CD track read from the disc (BIN/CUE image)"},
        {"mid10min", "MIDI, 10 minutes (seeks to 1:00-7:30)"}};
    for (const auto &[key, label] : formats) {
        const QString k = QString::fromLatin1(key);
        const QString cold = QStringLiteral("ColdFirstOpen/") + k;
        std::printf("| %s | %s | %s | %s |\n", label,
                    qPrintable(figuresIn(engine, {QStringLiteral("WarmOpen/") + k}, QStringLiteral("ms"))),
                    engine.count(cold) ? qPrintable(figuresIn(engine, {cold}, QStringLiteral("ms"))) : "",
                    qPrintable(figuresIn(engine, {QStringLiteral("Seek/") + k}, QStringLiteral("ms"))));
    }
    std::printf("\nAn MP4 cut short, opened right after a video, is refused in %s.\n",
                qPrintable(figuresIn(engine, {QStringLiteral("FailAfterVideo/mp4")}, QStringLiteral("ms"))));
    return 0;
}
