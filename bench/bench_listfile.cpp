// List-file speed: encoding, decoding, the atomic write, and the whole start-up read of lastlist.lst
// into the playlist box, for 1,000 / 10,000 / 100,000 entries.
#include "playlist/ListFile.h"
#include "playlist/Playlist.h"

#include <QListWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QStringList makeEntries(int count)
{
    QStringList entries;
    entries.reserve(count);
    for (int i = 0; i < count; ++i)
        entries.append(
            QStringLiteral("/home/utilisateur/Musique/Album %1/%2 - Chanson numéro %2, prise 1.mp3")
                .arg(i / 12)
                .arg(i));
    return entries;
}

QTemporaryDir &scratch()
{
    static QTemporaryDir dir;
    return dir;
}

void BM_Encode(benchmark::State &state)
{
    const QStringList entries = makeEntries(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ListFile::encode(entries));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Decode(benchmark::State &state)
{
    const QByteArray bytes = ListFile::encode(makeEntries(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(ListFile::decode(bytes));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_WriteFileAtomically(benchmark::State &state)
{
    const QStringList entries = makeEntries(static_cast<int>(state.range(0)));
    const QString path = scratch().filePath(QStringLiteral("write.lst"));
    for (auto _ : state)
        benchmark::DoNotOptimize(ListFile::write(path, entries));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// What start-up does: read lastlist.lst and fill lstPlay with it.
void BM_ReadFileIntoPlaylistBox(benchmark::State &state)
{
    const QString path = scratch().filePath(QStringLiteral("read.lst"));
    ListFile::write(path, makeEntries(static_cast<int>(state.range(0))));
    QListWidget lstPlay;
    lstPlay.setUniformItemSizes(true);
    for (auto _ : state) {
        Playlist::load(lstPlay, path);
        benchmark::DoNotOptimize(lstPlay.count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// What shutdown does: write lstPlay to lastlist.lst.
void BM_SavePlaylistBox(benchmark::State &state)
{
    QListWidget lstPlay;
    lstPlay.addItems(makeEntries(static_cast<int>(state.range(0))));
    const QString path = scratch().filePath(QStringLiteral("save.lst"));
    for (auto _ : state)
        benchmark::DoNotOptimize(Playlist::save(lstPlay, path));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_Encode)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteFileAtomically)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFileIntoPlaylistBox)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePlaylistBox)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
