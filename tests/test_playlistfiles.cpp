// Playlists of other players (M3U, M3U8, PLS) read by "Charger" and written by "Sauvgarder".
#include "ProgramFixture.h"
#include "playlist/PlaylistFiles.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestPlaylistFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void readsEachFormatSkippingBadLines_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        // "%D" stands for the list's folder, "%P" for the folder above it.
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("extended m3u") << u"a.m3u"_s
                                      << QByteArray("#EXTM3U\r\n#EXTINF:123,Artiste - Titre\r\n/abs/a.mp3\r\n"
                                                    "  rel/b.ogg  \r\n\r\n# note\r\n../c.wav\r\n-\n")
                                      << QStringList{"/abs/a.mp3", "%D/rel/b.ogg", "%P/c.wav", "-"};
        QTest::newRow("m3u8 with URIs")
            << u"b.M3U8"_s
            << QByteArray("\xEF\xBB\xBF#EXTM3U\nfile:///home/u/M%C3%BAsica/"
                          "%C3%A9t%C3%A9%201.mp3\nhttp://radio.example/live\n"
                          "/home/u/Vidéos/film.avi")
            << QStringList{u"/home/u/Música/été 1.mp3"_s, u"/home/u/Vidéos/film.avi"_s};
        QTest::newRow("m3u in Windows-1252") << u"c.m3u"_s << QByteArray("caf\xe9 \x93live\x94.mp3\r\n")
                                             << QStringList{u"%D/café “live”.mp3"_s};
        QTest::newRow("broken m3u") << u"d.m3u"_s
                                    << (QByteArray("a") + '\0' +
                                        "b.mp3\nfile://\nfile:///%00x.mp3\nfile:///a%0Ab.mp3\nhttps://x/y\n\n#\n/ok")
                                    << QStringList{"/ok"};
        QTest::newRow("pls") << u"e.pls"_s
                             << QByteArray(
                                    "[playlist]\nNumberOfEntries=3\nFile2=b.ogg\nTitle2=B\nFile1=/a.mp3\n"
                                    "file10=file:///c%20d.wav\nLength1=-1\nVersion=2\n")
                             << QStringList{"/a.mp3", "%D/b.ogg", "/c d.wav"};
        QTest::newRow("broken pls") << u"f.pls"_s
                                    << QByteArray(
                                           "[playlist]\nFile=x.mp3\nFileX=x.mp3\nFile3=\nFile+4=x.mp3\n"
                                           "File99999999999999999999999=x.mp3\n=x\nFile2 = /ok.mp3\r\n"
                                           "File1=http://radio/stream\n\xff")
                                    << QStringList{"/ok.mp3"};
        QTest::newRow("lst stays our format") << u"g.lst"_s << QByteArray("#EXTM3U,a.mp3\n[playlist]")
                                              << QStringList{"#EXTM3U", "a.mp3", "[playlist]"};
        QTest::newRow("m3u by its content")
            << u"h.txt"_s << QByteArray("#EXTM3U\nx.mp3\n") << QStringList{"%D/x.mp3"};
        QTest::newRow("pls by its content")
            << u"i"_s << QByteArray("[Playlist]\nFile1=/y.mp3\n") << QStringList{"/y.mp3"};
        QTest::newRow("other names, our format")
            << u"j.txt"_s << QByteArray("\"/z.mp3\"\r\n") << QStringList{"/z.mp3"};
    }

    void readsEachFormatSkippingBadLines()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"lists"_s);
        QVERIFY(writeFile(QDir(folder).filePath(name), bytes));
        for (QString &e : expected)
            e.replace(u"%D"_s, folder).replace(u"%P"_s, dir.path());
        QCOMPARE(PlaylistFiles::read(QDir(folder).filePath(name)), std::optional<QStringList>(expected));
        QVERIFY(!PlaylistFiles::read(QDir(folder).filePath(u"missing.m3u"_s)));
    }

    void sauvgarderWritesTheFormatTheNameAsksFor_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray m3u = "#EXTM3U\n/m/a, b.mp3\n-\n/m/été.ogg\n";
        QTest::newRow("m3u8") << u"mix.m3u8"_s << u"mix.m3u8"_s << m3u;
        QTest::newRow("m3u") << u"mix.M3U"_s << u"mix.M3U"_s << m3u;
        const QByteArray lst = "\"/m/a, b.mp3\"\r\n\"-\"\r\n\"/m/été.ogg\"\r\n\"\"\r\n";
        QTest::newRow("no extension") << u"mix"_s << u"mix.lst"_s << lst;
        QTest::newRow("another extension") << u"mix.txt"_s << u"mix.txt"_s << lst;
    }

    void sauvgarderWritesTheFormatTheNameAsksFor()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(QByteArray, bytes);
        ProgramFixture f;
        const QStringList list = {"/m/a, b.mp3", "-", u"/m/été.ogg"_s, ""};
        f.main().lstPlay()->addItems(list);
        const QString path = f.appFolder.filePath(written);
        f.dialogs.fileAnswers = {f.appFolder.filePath(typed), path};
        f.program->panel().cmdAPlayList_Click(2);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
        // "Charger" gives back every entry that names something.
        f.main().lstPlay()->clear();
        f.program->panel().cmdAPlayList_Click(3);
        QCOMPARE(f.entries(), path.endsWith(u"lst"_s) || path.endsWith(u"txt"_s) ? list : list.first(3));
    }
};

QTEST_MAIN(TestPlaylistFiles)
#include "test_playlistfiles.moc"
