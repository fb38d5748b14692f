#include "playlist/ListFile.h"
#include "playlist/Playlist.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

class TestListFile : public QObject {
    Q_OBJECT
    using B = QByteArray;
    using L = QStringList;

    static B readBytes(const QString &path)
    {
        QFile f(path);
        return f.open(QFile::ReadOnly) ? f.readAll() : B("?");
    }

private Q_SLOTS:
    void writtenFormatIsByteExactAndReadsBackEveryEntryAPathCanBe()
    {
        QCOMPARE(ListFile::encode({u"C:\\Musique\\a.mp3"_s}), QByteArray("\"C:\\Musique\\a.mp3\"\r\n"));
        // Accented names are written in the locale's encoding (UTF-8 here), nothing escaped.
        QCOMPARE(ListFile::encode({u"/home/zoé/été.ogg"_s, u"-"_s, QString()}),
                 QByteArray("\"/home/zo\xC3\xA9/\xC3\xA9t\xC3\xA9.ogg\"\r\n\"-\"\r\n\"\"\r\n"));
        const QStringList entries = {"C:\\Films\\a, b.avi",  "/cd/MPEGAV/AVSEQ01.DAT", "-", "",
                                     "  leading blanks.mp3", "/tmp/è ü ß 日本.wav"};
        QCOMPARE(ListFile::decode(ListFile::encode(entries)), entries);
    }

    void readingIsTolerantOfHandWrittenAndForeignFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        const L ab = {"a.mp3", "b.mp3"};
        QTest::newRow("CR LF") << B("\"a.mp3\"\r\n\"b.mp3\"\r\n") << ab;
        QTest::newRow("LF") << B("\"a.mp3\"\n\"b.mp3\"\n") << ab;
        QTest::newRow("CR") << B("\"a.mp3\"\r\"b.mp3\"\r") << ab;
        QTest::newRow("no final line end") << B("\"a.mp3\"\r\n\"b.mp3\"") << ab;
        QTest::newRow("UTF-8 byte-order mark") << B("\xEF\xBB\xBF\"a.mp3\"\r\n\"b.mp3\"\r\n") << ab;
        QTest::newRow("unquoted, comma separated") << B("a.mp3,b.mp3\r\n") << ab;
        QTest::newRow("blanks before fields") << B("  a.mp3,   \"b.mp3\"\r\n") << ab;
        QTest::newRow("blank lines") << B("\r\n\"a.mp3\"\r\n\r\n\r\nb.mp3\r\n\r\n") << ab;
        QTest::newRow("trailing junk") << B("\"a.mp3\" junk\r\n\"b.mp3\"x,\r\n") << L{"a.mp3", "b.mp3", ""};
        QTest::newRow("quote inside splits") << B("\"say \"hi\".mp3\"\r\n") << L{"say "};
        QTest::newRow("unterminated quote ends at the line end") << B("\"a.mp3\r\nb.mp3\r\n") << ab;
        QTest::newRow("empty file") << B() << L();
        QTest::newRow("Windows-1252") << B("\"C:\\\xE9t\xE9 \x80 \x9C.mp3\"\r\n") << L{u"C:\\été € œ.mp3"_s};
        QTest::newRow("UTF-8 accents") << B("\"C:\\\xC3\xA9t\xC3\xA9.mp3\"\r\n") << L{u"C:\\été.mp3"_s};
    }

    void readingIsTolerantOfHandWrittenAndForeignFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QCOMPARE(ListFile::decode(bytes), expected);
    }

    void writingReplacesAtomicallyOrFailsWithoutHarm()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"list.lst"_s);
        QVERIFY(ListFile::write(path, {u"old.mp3"_s}));
        QVERIFY(ListFile::write(path, {u"new.mp3"_s}));
        QCOMPARE(readBytes(path), QByteArray("\"new.mp3\"\r\n"));
        // No temporary file is left behind next to it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"list.lst"_s});
        // A folder that cannot be written keeps the old file (root writes there regardless).
        if (::geteuid() != 0) {
            QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            QVERIFY(!ListFile::write(path, {u"other.mp3"_s}));
            QFile::setPermissions(dir.path(),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QCOMPARE(readBytes(path), QByteArray("\"new.mp3\"\r\n"));
        }
        QVERIFY(ListFile::write(path, {}));
        QCOMPARE(readBytes(path), QByteArray());
        QCOMPARE(ListFile::read(path), std::optional<QStringList>(QStringList()));

        const QString folder = dir.filePath(u"lastlist.lst"_s);
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(!ListFile::write(folder, {u"a.mp3"_s}));
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(!ListFile::read(folder).has_value());
    }

    void loadEmptiesTheListOnlyOnceTheFileIsOpenAndSavesBackTheSameBytes()
    {
        QTemporaryDir dir;
        QListWidget lstPlay;
        lstPlay.addItem(u"kept.mp3"_s);
        QVERIFY(!Playlist::load(lstPlay, dir.filePath(u"missing.lst"_s)));
        QCOMPARE(Playlist::entries(lstPlay), QStringList{"kept.mp3"});
        const QString path = dir.filePath(u"three.lst"_s);
        QVERIFY(ListFile::write(path, {u"/m/1.mp3"_s, u"/m/2, deux.avi"_s, u"-"_s}));
        QVERIFY(Playlist::load(lstPlay, path));
        QCOMPARE(Playlist::entries(lstPlay), (QStringList{"/m/1.mp3", "/m/2, deux.avi", "-"}));
        const QString again = dir.filePath(u"again.lst"_s);
        QVERIFY(Playlist::save(lstPlay, again));
        QCOMPARE(readBytes(again), readBytes(path));
    }

    void selectionShowsTheFileNameAndKeepsItForMarkers()
    {
        QListWidget lstPlay;
        QLabel txtFN;
        lstPlay.addItems({"C:\\Musique\\Album\\titre.mp3", "titre.mp3", "-", "/home/u/Musique/chanson.ogg",
                          "C:\\Dossier\\", ""});
        const auto select = [&](int row) {
            lstPlay.setCurrentRow(row);
            Playlist::lstPlay_Click(lstPlay, txtFN);
            return txtFN.text().remove(u" Chanson selectionnée :    "_s) + u'|' + txtFN.toolTip();
        };
        QCOMPARE(select(0), u"titre.mp3|C:\\Musique\\Album\\titre.mp3"_s);
        QCOMPARE(select(3), u"chanson.ogg|/home/u/Musique/chanson.ogg"_s);
        // A marker, an empty entry and no selection leave the caption and tooltip alone.
        for (int row : {2, 5, -1})
            QCOMPARE(select(row), u"chanson.ogg|/home/u/Musique/chanson.ogg"_s);
        QCOMPARE(select(1), u"titre.mp3|titre.mp3"_s);
        QCOMPARE(select(4), u"|C:\\Dossier\\"_s);
    }
};

QTEST_MAIN(TestListFile)
#include "test_listfile.moc"
