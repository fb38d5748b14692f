// Adding a folder of 10,000 media files: the scan (one listing, grouped by pattern) and the append to
// the playlist box, which the user waits for with the window frozen.
#include "core/FolderScan.h"
#include "playlist/Playlist.h"

#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString &folderOf(int files)
{
    static QTemporaryDir dir;
    static int made = 0;
    static const char *const Extensions[] = {"mp3", "avi", "dat", "MPG", "wav", "mpeg", "wma", "txt"};
    for (; made < files; ++made) {
        QFile f(
            dir.filePath(QStringLiteral("piste %1.%2").arg(made).arg(QLatin1String(Extensions[made % 8]))));
        f.open(QIODevice::WriteOnly);
    }
    static const QString path = dir.path();
    return path;
}

void BM_ScanFolder(benchmark::State &state)
{
    const QString &folder = folderOf(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(FolderScan::scan(folder));
}

void BM_ScanAndAppendToPlaylist(benchmark::State &state)
{
    const QString &folder = folderOf(static_cast<int>(state.range(0)));
    QListWidget lstPlay;
    lstPlay.setUniformItemSizes(true);
    for (auto _ : state) {
        state.PauseTiming();
        lstPlay.clear();
        state.ResumeTiming();
        Playlist::appendEntries(lstPlay, FolderScan::scan(folder));
    }
}

} // namespace

BENCHMARK(BM_ScanFolder)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanAndAppendToPlaylist)->Arg(10000)->Unit(benchmark::kMillisecond);
