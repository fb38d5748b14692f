#include "playlist/ListFile.h"
#include "playlist/Playlist.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestListFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void writtenFormatIsByteExact()
    {
        QCOMPARE(ListFile::encode({QStringLiteral("C:\\Musique\\a.mp3")}),
                 QByteArray("\"C:\\Musique\\a.mp3\"\r\n"));
        QCOMPARE(ListFile::encode({QStringLiteral("C:\\Musique\\a.mp3")}).size(), 20);
        QCOMPARE(ListFile::encode({}), QByteArray());
        // Accented names are written in the locale's encoding (UTF-8 here), nothing escaped.
        QCOMPARE(ListFile::encode({QStringLiteral("/home/zoé/été.ogg"), QStringLiteral("-"), QString()}),
                 QByteArray("\"/home/zo\xC3\xA9/\xC3\xA9t\xC3\xA9.ogg\"\r\n\"-\"\r\n\"\"\r\n"));
    }

    void roundTripKeepsEveryEntryThatAPathCanBe()
    {
        const QStringList entries = {
            QStringLiteral("C:\\Films\\a, b.avi"),
            QStringLiteral("/media/cdrom/MPEGAV/AVSEQ01.DAT"),
            QStringLiteral("-"),
            QString(),
            QStringLiteral("  leading blanks.mp3"),
            QStringLiteral("/tmp/è ü ß 日本.wav"),
        };
        QCOMPARE(ListFile::decode(ListFile::encode(entries)), entries);
    }

    void readingIsTolerantOfHandWrittenAndForeignFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        const QStringList ab = {QStringLiteral("a.mp3"), QStringLiteral("b.mp3")};
        QTest::newRow("CR LF") << QByteArray("\"a.mp3\"\r\n\"b.mp3\"\r\n") << ab;
        QTest::newRow("LF") << QByteArray("\"a.mp3\"\n\"b.mp3\"\n") << ab;
        QTest::newRow("CR") << QByteArray("\"a.mp3\"\r\"b.mp3\"\r") << ab;
        QTest::newRow("no final line end") << QByteArray("\"a.mp3\"\r\n\"b.mp3\"") << ab;
        QTest::newRow("UTF-8 byte-order mark") << QByteArray("\xEF\xBB\xBF\"a.mp3\"\r\n\"b.mp3\"\r\n") << ab;
        QTest::newRow("unquoted, comma separated") << QByteArray("a.mp3,b.mp3\r\n") << ab;
        QTest::newRow("blanks before fields") << QByteArray("  a.mp3,   \"b.mp3\"\r\n") << ab;
        QTest::newRow("blank lines") << QByteArray("\r\n\"a.mp3\"\r\n\r\n\r\nb.mp3\r\n\r\n") << ab;
        QTest::newRow("junk after closing quote")
            << QByteArray("\"a.mp3\" junk\r\n\"b.mp3\"x,\r\n")
            << QStringList{QStringLiteral("a.mp3"), QStringLiteral("b.mp3"), QString()};
        QTest::newRow("quote inside an entry splits it")
            << QByteArray("\"say \"hi\".mp3\"\r\n") << QStringList{QStringLiteral("say ")};
        QTest::newRow("unterminated quote ends at the line end") << QByteArray("\"a.mp3\r\nb.mp3\r\n") << ab;
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("Windows-1252 accents") << QByteArray("\"C:\\Musique\\\xE9t\xE9 \x80 \x9C.mp3\"\r\n")
                                              << QStringList{QStringLiteral("C:\\Musique\\été € œ.mp3")};
        QTest::newRow("UTF-8 accents") << QByteArray("\"C:\\Musique\\\xC3\xA9t\xC3\xA9.mp3\"\r\n")
                                       << QStringList{QStringLiteral("C:\\Musique\\été.mp3")};
    }

    void readingIsTolerantOfHandWrittenAndForeignFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QCOMPARE(ListFile::decode(bytes), expected);
    }

    void writingReplacesTheFileAtomically()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.lst"));
        writeBytes(path, "\"old.mp3\"\r\n");
        QVERIFY(ListFile::write(path, {QStringLiteral("new.mp3")}));
        QCOMPARE(readBytes(path), QByteArray("\"new.mp3\"\r\n"));
        // No temporary file is left behind next to it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("list.lst")});

        QVERIFY(ListFile::write(path, {}));
        QCOMPARE(readBytes(path).size(), 0);
        QCOMPARE(ListFile::read(path), std::optional<QStringList>(QStringList()));
    }

    void aFolderThatCannotBeWrittenKeepsTheOldFile()
    {
        if (::geteuid() == 0)
            QSKIP("root writes into read-only folders; the end-to-end test covers a read-only folder "
                  "otherwise");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lastlist.lst"));
        writeBytes(path, "\"old.mp3\"\r\n");
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QVERIFY(!ListFile::write(path, {QStringLiteral("new.mp3")}));
        QFile::setPermissions(dir.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(readBytes(path), QByteArray("\"old.mp3\"\r\n"));
    }

    void writingToAPathThatIsAFolderFailsWithoutHarm()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lastlist.lst"));
        QVERIFY(QDir().mkdir(path));
        QVERIFY(!ListFile::write(path, {QStringLiteral("a.mp3")}));
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(!ListFile::read(path).has_value());
    }

    void loadEmptiesTheListOnlyOnceTheFileIsOpen()
    {
        QTemporaryDir dir;
        QListWidget lstPlay;
        lstPlay.addItems({QStringLiteral("kept.mp3")});
        QVERIFY(!Playlist::load(lstPlay, dir.filePath(QStringLiteral("missing.lst"))));
        QCOMPARE(Playlist::entries(lstPlay), QStringList{QStringLiteral("kept.mp3")});

        const QString path = dir.filePath(QStringLiteral("three.lst"));
        writeBytes(path, "\"/m/1.mp3\"\r\n\"/m/2, deux.avi\"\r\n\"-\"\r\n");
        QVERIFY(Playlist::load(lstPlay, path));
        QCOMPARE(
            Playlist::entries(lstPlay),
            (QStringList{QStringLiteral("/m/1.mp3"), QStringLiteral("/m/2, deux.avi"), QStringLiteral("-")}));

        // What was loaded is saved back byte for byte.
        const QString again = dir.filePath(QStringLiteral("again.lst"));
        QVERIFY(Playlist::save(lstPlay, again));
        QCOMPARE(readBytes(again), readBytes(path));
    }

    void selectionShowsTheFileNameAndKeepsItForMarkers()
    {
        QListWidget lstPlay;
        QLabel txtFN;
        lstPlay.addItems({QStringLiteral("C:\\Musique\\Album\\titre.mp3"), QStringLiteral("titre.mp3"),
                          QStringLiteral("-"), QStringLiteral("/home/u/Musique/chanson.ogg"),
                          QStringLiteral("C:\\Dossier\\"), QString()});
        const QString prefix = QStringLiteral(" Chanson selectionnée :    ");

        lstPlay.setCurrentRow(0);
        Playlist::lstPlay_Click(lstPlay, txtFN);
        QCOMPARE(txtFN.text(), prefix + QStringLiteral("titre.mp3"));
        QCOMPARE(txtFN.toolTip(), QStringLiteral("C:\\Musique\\Album\\titre.mp3"));

        lstPlay.setCurrentRow(3);
        Playlist::lstPlay_Click(lstPlay, txtFN);
        QCOMPARE(txtFN.text(), prefix + QStringLiteral("chanson.ogg"));

        // A marker, an empty entry and no selection leave the caption and tooltip alone.
        for (int row : {2, 5, -1}) {
            lstPlay.setCurrentRow(row);
            Playlist::lstPlay_Click(lstPlay, txtFN);
            QCOMPARE(txtFN.text(), prefix + QStringLiteral("chanson.ogg"));
            QCOMPARE(txtFN.toolTip(), QStringLiteral("/home/u/Musique/chanson.ogg"));
        }

        lstPlay.setCurrentRow(1);
        Playlist::lstPlay_Click(lstPlay, txtFN);
        QCOMPARE(txtFN.text(), prefix + QStringLiteral("titre.mp3"));
        lstPlay.setCurrentRow(4);
        Playlist::lstPlay_Click(lstPlay, txtFN);
        QCOMPARE(txtFN.text(), prefix);
    }
};

QTEST_MAIN(TestListFile)
#include "test_listfile.moc"
