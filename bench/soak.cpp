// Soak: the real player plays through a thousand and more short clips in one run, watched from
// outside. It fails if the player dies, stalls, skips an entry, leaks (its resident size, the lowest
// over a cycle of the clips, may grow by less than 5 MiB between the 100th and the last measured
// change of clip), does not end cleanly on SIGTERM, or loses entries from lastlist.lst on the way
// out. Needs a display; scripts/soak.sh builds it and runs it on a virtual one:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build-release/bench/soak [changes] [--keep] [--binary PATH]
// `changes` (a multiple of 100, at least 200; 1000 by default) is the last change of clip measured.
#include "MediaMaker.h"
#include "ProcFields.h"
#include "playlist/ListFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

// Distinct clips, repeated under new names. 50 divides 100, so every 100th change opens the same
// clip: the memory readings along the curve compare like with like.
constexpr int DistinctClips = 50;
// The lowest resident size over a whole cycle of the distinct clips is compared as well as the
// size at the change itself: loading a soundfont for each MIDI file and freeing it again moves the
// size at any one moment by several MB, a leak moves the floor.
constexpr int FloorWindow = DistinctClips;
// Played beyond the last measured change, so that it is not the list's last entry.
constexpr int ExtraEntries = 20;
constexpr int PollMs = 25;
// A reading is taken a little after the change, once the new clip is playing rather than opening.
constexpr qint64 SettleMs = 250;
// The splash alone takes about three seconds.
constexpr qint64 FirstClipWithinMs = 30000;
// A clip of half a second is over within two ticks of 500 ms.
constexpr qint64 StallMs = 10000;
constexpr qint64 GrowthLimitKb = 5 * 1024;
// Far beyond noise: one descriptor or thread kept per clip would add hundreds.
constexpr int FdGrowthLimit = 50;
constexpr int ThreadGrowthLimit = 20;

struct Clip {
    QString format;
    double seconds = 0;
    QString path;
};

struct Memory {
    qint64 rssKb = -1;
    qint64 floorKb = -1;
    qint64 anonKb = -1;
    qint64 pssKb = -1;
    int fds = -1;
    int threads = -1;
    double atSeconds = 0;
};

// Mostly sound in the formats people keep, some small videos, a MIDI file or two; lengths spread
// over 0.30-0.50 s. Ordered so that the formats alternate through the list.
std::vector<Clip> clipRecipe()
{
    std::vector<Clip> byFormat;
    const auto add = [&byFormat](const char *format, int count) {
        for (int i = 0; i < count; ++i)
            byFormat.push_back({QString::fromLatin1(format), 0.0, QString()});
    };
    add("mp3", 10);
    add("wav", 10);
    add("ogg", 10);
    add("wma", 10);
    add("avi", 4);
    add("mpg", 4);
    add("mid", 2);
    std::vector<Clip> clips;
    for (int i = 0; i < DistinctClips; ++i) {
        // 7 is prime to 50: a permutation that spreads each format's run.
        Clip clip = byFormat[static_cast<std::size_t>(i * 7 % DistinctClips)];
        clip.seconds = 0.30 + 0.02 * (i % 11);
        clips.push_back(clip);
    }
    return clips;
}

bool makeClips(std::vector<Clip> &clips, const QString &folder, QString *error)
{
    MediaMaker maker(folder);
    for (std::size_t i = 0; i < clips.size(); ++i) {
        Clip &clip = clips[i];
        const QString base = QStringLiteral("clip%1").arg(i, 2, 10, QLatin1Char('0'));
        const int n = static_cast<int>(i);
        if (clip.format == QLatin1String("mid") || clip.format == QLatin1String("avi") ||
            clip.format == QLatin1String("mpg")) {
            clip.path = maker.make(clip.format, clip.seconds, base);
        } else {
            // Mono and stereo, and a different pitch for each clip.
            clip.path = maker.tone(base + QLatin1Char('.') + clip.format, clip.seconds, n % 3 == 0 ? 1 : 2,
                                   220 + 20 * n);
        }
        if (clip.path.isEmpty()) {
            *error =
                maker.lastError().isEmpty() ? QStringLiteral("cannot write %1").arg(base) : maker.lastError();
            return false;
        }
    }
    return true;
}

// The entries as hard links (copies where the file system has none) with names of their own: the
// player opens each by its own name, which is how a change of clip is seen from outside.
QStringList makeEntries(const std::vector<Clip> &clips, int count, const QString &folder)
{
    QStringList entries;
    for (int j = 0; j < count; ++j) {
        const Clip &clip = clips[static_cast<std::size_t>(j % DistinctClips)];
        const QString name = QDir(folder).filePath(
            QStringLiteral("%1-%2").arg(j, 4, 10, QLatin1Char('0')).arg(QFileInfo(clip.path).fileName()));
        if (::link(QFile::encodeName(clip.path).constData(), QFile::encodeName(name).constData()) != 0 &&
            !QFile::copy(clip.path, name))
            return {};
        entries.append(name);
    }
    return entries;
}

// The entry of ours the player has open, by its position in the list, or -1. Only one is open at a
// time (the engine closes a file before it opens the next); should two show, the later one is new.
int openEntry(qint64 pid, const QByteArray &folderPrefix, const QHash<QByteArray, int> &indexOf, int *fds)
{
    const QByteArray fdFolder = QByteArrayLiteral("/proc/") + QByteArray::number(pid) + "/fd";
    DIR *dir = ::opendir(fdFolder.constData());
    *fds = 0;
    if (!dir)
        return -1;
    int found = -1;
    char target[4096];
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        ++*fds;
        const ssize_t length = ::readlinkat(::dirfd(dir), entry->d_name, target, sizeof target);
        if (length <= 0 || length >= static_cast<ssize_t>(sizeof target))
            continue;
        const QByteArray path(target, length);
        if (path.startsWith(folderPrefix))
            found = std::max(found, indexOf.value(path, -1));
    }
    ::closedir(dir);
    return found;
}

Memory readMemory(qint64 pid, int fds, double atSeconds, bool withPss)
{
    Memory m;
    const QByteArray status = ProcFields::read(pid, "status");
    m.rssKb = ProcFields::number(status, "VmRSS");
    m.anonKb = ProcFields::number(status, "RssAnon");
    m.threads = static_cast<int>(ProcFields::number(status, "Threads"));
    // Walking every mapping is slow enough to be kept to the marks.
    if (withPss)
        m.pssKb = ProcFields::number(ProcFields::read(pid, "smaps_rollup"), "Pss");
    m.fds = fds;
    m.atSeconds = atSeconds;
    return m;
}

void printMemory(int change, const Memory &m)
{
    std::printf("  %5d  %7.1f s  %8.1f MB  %8.1f MB  %8.1f MB  %8.1f MB  %4d  %7d\n", change, m.atSeconds,
                static_cast<double>(m.rssKb) / 1024.0, static_cast<double>(m.floorKb) / 1024.0,
                static_cast<double>(m.pssKb) / 1024.0, static_cast<double>(m.anonKb) / 1024.0, m.fds,
                m.threads);
    std::fflush(stdout);
}

QString tail(const QString &path, int lines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QStringList all = QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'));
    return all.mid(std::max<qsizetype>(0, all.size() - lines)).join(QLatin1Char('\n'));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const bool keep = args.contains(QStringLiteral("--keep"));
    QString program = QStringLiteral(QWELTO_BINARY);
    int lastMark = 1000;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--binary") && i + 1 < args.size())
            program = args[++i];
        else if (!args[i].startsWith(QLatin1String("--")))
            lastMark = args[i].toInt();
    }
    if (lastMark < 200 || lastMark % 100 != 0) {
        std::printf("usage: %s [changes, a multiple of 100 from 200; 1000 by default] [--keep] "
                    "[--binary PATH, the player to run instead of this build's]\n",
                    argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("needs a display: xvfb-run -a -s \"-screen 0 1280x1024x24\" %s\n", argv[0]);
        return 2;
    }
    if (!MediaMaker::haveFfmpeg()) {
        std::printf("needs ffmpeg to make the clips\n");
        return 2;
    }

    QTemporaryDir dir;
    dir.setAutoRemove(!keep);
    const QDir top(dir.path());
    top.mkpath(QStringLiteral("clips"));
    top.mkpath(QStringLiteral("list"));
    top.mkpath(QStringLiteral("config"));
    top.mkpath(QStringLiteral("runtime"));
    ::chmod(QFile::encodeName(top.filePath(QStringLiteral("runtime"))).constData(), 0700);
    const QString binary = top.filePath(QStringLiteral("qwelto"));
    if (!QFile::copy(program, binary)) {
        std::printf("cannot copy %s\n", qPrintable(program));
        return 2;
    }

    QElapsedTimer clock;
    clock.start();
    std::vector<Clip> clips = clipRecipe();
    QString error;
    if (!makeClips(clips, top.filePath(QStringLiteral("clips")), &error)) {
        std::printf("cannot make the clips: %s\n", qPrintable(error));
        return 2;
    }
    const double makeSeconds = static_cast<double>(clock.elapsed()) / 1000.0;
    // The first entry is never played: start-up begins with the second.
    const int entryCount = lastMark + ExtraEntries + 1;
    const QString listFolder = top.filePath(QStringLiteral("list"));
    const QStringList entries = makeEntries(clips, entryCount, listFolder);
    if (entries.isEmpty()) {
        std::printf("cannot make the list's entries in %s\n", qPrintable(listFolder));
        return 2;
    }
    const QString listFile = top.filePath(QStringLiteral("lastlist.lst"));
    if (!ListFile::write(listFile, entries)) {
        std::printf("cannot write %s\n", qPrintable(listFile));
        return 2;
    }
    QHash<QByteArray, int> indexOf;
    for (int j = 0; j < entries.size(); ++j)
        indexOf.insert(QFile::encodeName(entries[j]), j);

    std::map<QString, int> formats;
    double shortest = 1e9;
    double longest = 0;
    for (const Clip &clip : clips) {
        ++formats[clip.format];
        shortest = std::min(shortest, clip.seconds);
        longest = std::max(longest, clip.seconds);
    }
    QStringList formatText;
    for (const auto &[format, count] : formats)
        formatText << QStringLiteral("%1 %2").arg(count).arg(format.toUpper());
    std::printf("qwelto soak: %d entries, copies of %d clips made in %.1f s (%s; video 320x240), "
                "%.2f-%.2f s long\n",
                entryCount, DistinctClips, makeSeconds, qPrintable(formatText.join(QStringLiteral(", "))),
                shortest, longest);
    std::printf("memory along the run (read %lld ms after the change; floor: lowest RSS over the last %d "
                "changes):\n",
                SettleMs, FloorWindow);
    std::printf("  change     time         RSS   RSS floor         PSS    RSS anon   fds  threads\n");
    std::fflush(stdout);

    const QString log = top.filePath(QStringLiteral("player.log"));
    QProcess player;
    player.setProgram(binary);
    player.setStandardOutputFile(log);
    player.setStandardErrorFile(log, QIODevice::Append);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), top.filePath(QStringLiteral("config")));
    if (env.value(QStringLiteral("XDG_RUNTIME_DIR")).isEmpty())
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), top.filePath(QStringLiteral("runtime")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    player.setProcessEnvironment(env);
    clock.restart();
    player.start();
    if (!player.waitForStarted(5000)) {
        std::printf("FAIL: the player did not start: %s\n", qPrintable(player.errorString()));
        return 1;
    }
    const qint64 pid = player.processId();
    const QByteArray prefix = QFile::encodeName(listFolder) + '/';

    QStringList failures;
    int changes = 0;
    int current = -1;
    int expected = 1;
    QList<int> skipped;
    qint64 firstAt = -1;
    qint64 lastAt = 0;
    qint64 slowest = 0;
    int slowestFrom = -1;
    std::map<int, int> gapsInTicks;
    std::map<int, Memory> curve;
    // Every change is followed by a reading of the resident size; every 100th by a full one.
    int pending = 0;
    qint64 pendingAt = 0;
    std::vector<qint64> rssAfterChange;
    bool died = false;
    for (;;) {
        // The wait is the poll interval, and notices the player's death at once.
        if (player.waitForFinished(PollMs)) {
            died = true;
            break;
        }
        int fds = 0;
        const int open = openEntry(pid, prefix, indexOf, &fds);
        const qint64 now = clock.elapsed();
        if (open >= 0 && open != current) {
            ++changes;
            if (current >= 0) {
                const qint64 gap = now - lastAt;
                ++gapsInTicks[static_cast<int>((gap + 250) / 500)];
                if (gap > slowest) {
                    slowest = gap;
                    slowestFrom = current;
                }
            } else {
                firstAt = now;
            }
            for (int j = expected; j < open; ++j)
                skipped.append(j);
            if (open < expected)
                failures << QStringLiteral("went back from entry %1 to entry %2").arg(current).arg(open);
            expected = open + 1;
            current = open;
            lastAt = now;
            pending = changes;
            pendingAt = now + SettleMs;
        }
        if (pending && now >= pendingAt) {
            Memory m =
                readMemory(pid, fds, static_cast<double>(now) / 1000.0, pending == 1 || pending % 100 == 0);
            rssAfterChange.push_back(m.rssKb);
            const auto window = std::min<std::size_t>(rssAfterChange.size(), FloorWindow);
            m.floorKb = *std::min_element(rssAfterChange.end() - static_cast<std::ptrdiff_t>(window),
                                          rssAfterChange.end());
            if (pending == 1 || pending % 100 == 0) {
                curve[pending] = m;
                printMemory(pending, m);
            }
            pending = 0;
        }
        // The last entry has had time to end: the list is over.
        if (current == entryCount - 1 && now - lastAt > 2000 && !pending)
            break;
        if (current < 0 && now > FirstClipWithinMs) {
            failures << QStringLiteral("no clip was opened within %1 s of the start")
                            .arg(FirstClipWithinMs / 1000);
            break;
        }
        if (current >= 0 && now - lastAt > StallMs) {
            const QString next = current + 1 < entryCount ? QFileInfo(entries[current + 1]).fileName()
                                                          : QStringLiteral("none");
            failures << QStringLiteral("stalled: %1 s on entry %2 (%3) after %4 changes; next would be %5")
                            .arg(StallMs / 1000)
                            .arg(current)
                            .arg(QFileInfo(entries[current]).fileName())
                            .arg(changes)
                            .arg(next);
            break;
        }
    }
    const double runSeconds = static_cast<double>(clock.elapsed()) / 1000.0;

    if (died) {
        failures << QStringLiteral(
                        "the player ended by itself (%1, code %2) after %3 changes, on entry %4 (%5)")
                        .arg(player.exitStatus() == QProcess::CrashExit ? QStringLiteral("crashed")
                                                                        : QStringLiteral("exited"))
                        .arg(player.exitCode())
                        .arg(changes)
                        .arg(current)
                        .arg(current >= 0 ? QFileInfo(entries[current]).fileName() : QStringLiteral("none"));
    } else {
        QElapsedTimer closing;
        closing.start();
        player.terminate();
        if (!player.waitForFinished(10000)) {
            failures << QStringLiteral("the player did not end within 10 s of SIGTERM");
            player.kill();
            player.waitForFinished(5000);
        } else if (player.exitStatus() != QProcess::NormalExit || player.exitCode() != 0) {
            failures << QStringLiteral("after SIGTERM the player %1 with code %2")
                            .arg(player.exitStatus() == QProcess::CrashExit ? QStringLiteral("crashed")
                                                                            : QStringLiteral("exited"))
                            .arg(player.exitCode());
        } else {
            std::printf("SIGTERM: exit code 0 after %.2f s\n",
                        static_cast<double>(closing.elapsed()) / 1000.0);
        }
        const QStringList written = ListFile::read(listFile).value_or(QStringList());
        if (written != entries)
            failures << QStringLiteral("lastlist.lst has %1 entries after the run, %2 of them as written")
                            .arg(written.size())
                            .arg(std::count_if(written.cbegin(), written.cend(),
                                               [&](const QString &e) { return entries.contains(e); }));
        else
            std::printf("lastlist.lst: all %lld entries kept\n", static_cast<long long>(written.size()));
    }

    if (!skipped.isEmpty()) {
        QStringList names;
        for (int j : skipped.mid(0, 10))
            names << QFileInfo(entries[j]).fileName();
        failures << QStringLiteral("%1 entries never opened, first: %2")
                        .arg(skipped.size())
                        .arg(names.join(QStringLiteral(", ")));
    }
    if (!died && failures.isEmpty() && current != entryCount - 1)
        failures << QStringLiteral("the list did not play to its end");

    std::printf("\nclips: %d entries (%d distinct clips), made in %.1f s\n", entryCount, DistinctClips,
                makeSeconds);
    std::printf("run: %.1f s, %d changes of clip seen", runSeconds, changes);
    if (changes > 1)
        std::printf(", %.3f s per change after the first",
                    static_cast<double>(lastAt - firstAt) / 1000.0 / (changes - 1));
    std::printf("\n");
    if (!gapsInTicks.empty()) {
        QStringList gaps;
        for (const auto &[ticks, count] : gapsInTicks)
            gaps << QStringLiteral("%1 s x %2").arg(ticks * 0.5, 0, 'f', 1).arg(count);
        std::printf("time between changes (to the nearest tick): %s; the longest, %.2f s, on %s\n",
                    qPrintable(gaps.join(QStringLiteral(", "))), static_cast<double>(slowest) / 1000.0,
                    slowestFrom >= 0 ? qPrintable(QFileInfo(entries[slowestFrom]).fileName()) : "-");
    }
    const auto from = curve.find(100);
    const auto to = curve.find(lastMark);
    if (from != curve.end() && to != curve.end()) {
        const qint64 rssGrowth = to->second.rssKb - from->second.rssKb;
        const qint64 floorGrowth = to->second.floorKb - from->second.floorKb;
        const qint64 pssGrowth = to->second.pssKb - from->second.pssKb;
        std::printf(
            "growth from change 100 to %d: RSS floor %+lld kB (%+.2f MB; limit < %lld kB), RSS at the "
            "change %+lld kB (%+.2f MB), PSS %+lld kB, RSS anon %+lld kB, fds %+d, threads %+d\n",
            lastMark, static_cast<long long>(floorGrowth), static_cast<double>(floorGrowth) / 1024.0,
            static_cast<long long>(GrowthLimitKb), static_cast<long long>(rssGrowth),
            static_cast<double>(rssGrowth) / 1024.0, static_cast<long long>(pssGrowth),
            static_cast<long long>(to->second.anonKb - from->second.anonKb),
            to->second.fds - from->second.fds, to->second.threads - from->second.threads);
        if (floorGrowth >= GrowthLimitKb)
            failures << QStringLiteral("resident memory grew by %1 kB (lowest over the last %2 changes)")
                            .arg(floorGrowth)
                            .arg(FloorWindow);
        if (to->second.fds - from->second.fds > FdGrowthLimit)
            failures << QStringLiteral("open files grew by %1").arg(to->second.fds - from->second.fds);
        if (to->second.threads - from->second.threads > ThreadGrowthLimit)
            failures << QStringLiteral("threads grew by %1").arg(to->second.threads - from->second.threads);
    } else {
        failures << QStringLiteral("no memory reading at change 100 and %1").arg(lastMark);
    }

    if (!failures.isEmpty()) {
        std::printf("\nthe player's last output:\n%s\n", qPrintable(tail(log, 20)));
        for (const QString &failure : failures)
            std::printf("FAIL: %s\n", qPrintable(failure));
    } else {
        std::printf("PASS\n");
    }
    if (keep)
        std::printf("kept: %s\n", qPrintable(dir.path()));
    return failures.isEmpty() ? 0 : 1;
}
