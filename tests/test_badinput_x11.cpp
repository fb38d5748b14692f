// The real program fed what a user's disk really holds: media that cannot be played among media
// that can, list files that are damaged or were never list files, options that do not convert.
// It must not crash or hang, must play what it can, and must keep what it was given.
#include "MediaMaker.h"
#include "PlayerProcess.h"
#include "app/OptionConversions.h"
#include "playlist/ListFile.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <QSettings>
#include <QTest>

#include <csignal>
#include <sys/stat.h>

namespace {

// Folders nested until the path is `length` characters long, each name within the 255-byte limit.
QString deepFolder(const QString &root, int length)
{
    QString path = root;
    int n = 0;
    while (path.size() < length)
        path += QStringLiteral("/dossier %1 ").arg(++n) + QString(100, QChar(u'é'));
    QDir().mkpath(path);
    return path;
}

} // namespace

class TestBadInput : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (!MediaMaker::haveFfmpeg())
            QSKIP("needs ffmpeg to make the media");
    }

    // Every kind of file that cannot be played, between files that can: the player skips the first
    // and plays the second, to the end of the list, and saves the list as it was.
    void unplayableMediaIsSkippedAndTheRestPlays()
    {
        PlayerProcess player;
        const QString mediaDir = QDir(player.folder()).filePath(QStringLiteral("media"));
        QDir().mkpath(mediaDir);
        MediaMaker maker(mediaDir);

        const QString deep = deepFolder(mediaDir, 1500) + QStringLiteral("/au fond.wav");
        QVERIFY(QFile::copy(maker.tone(QStringLiteral("court.wav"), 0.6), deep));
        const QStringList playable = {
            maker.tone(QStringLiteral("日本語の歌.mp3"), 0.6), maker.tone(QStringLiteral("Песня.ogg"), 0.6),
            maker.make(QStringLiteral("avi"), 0.6, QStringLiteral("فيلم قصير")),
            deep, // longer than any path Windows allowed, well within what Linux allows
        };
        for (const QString &path : playable)
            QVERIFY2(!path.isEmpty(), qPrintable(maker.lastError()));

        // The first third of a film: its index and most of its frames are missing.
        QFile whole(maker.make(QStringLiteral("avi"), 2.0, QStringLiteral("entier")));
        QVERIFY(whole.open(QIODevice::ReadOnly));
        const QString truncated = QDir(mediaDir).filePath(QStringLiteral("tronqué.avi"));
        QVERIFY(PlayerProcess::writeBytes(truncated, whole.read(whole.size() / 3)));
        const QString unreadable = maker.tone(QStringLiteral("interdit.wav"), 0.6);
        const QString fifo = maker.namedPipe(QStringLiteral("tube.mp3"));

        const QStringList entries = {
            maker.emptyFile(QStringLiteral("vide.mp3")),
            playable.at(0),
            maker.randomBytes(QStringLiteral("hasard.avi")),
            truncated,
            maker.directory(QStringLiteral("dossier.mp3")),
            playable.at(1),
            maker.missing(QStringLiteral("absent.ogg")),
            unreadable,
            fifo,
            mediaDir + QLatin1Char('/') + QString(5000, QLatin1Char('x')) + QStringLiteral(".mp3"),
            playable.at(2),
            playable.at(3),
        };
        QVERIFY(ListFile::write(player.listPath(), entries));
        player.runAsOrdinaryUser();
        // Everything readable by the player, whoever it runs as, but the one file that must not be.
        QDirIterator all(mediaDir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                         QDirIterator::Subdirectories);
        while (all.hasNext()) {
            const QString path = all.next();
            ::chmod(QFile::encodeName(path).constData(), QFileInfo(path).isDir() ? 0777 : 0666);
        }
        QVERIFY(QFile::setPermissions(unreadable, QFileDevice::Permissions()));

        QVERIFY(player.start());
        QSet<QString> played;
        QElapsedTimer clock;
        clock.start();
        while (played.size() < playable.size() && clock.elapsed() < 40000 && player.isRunning()) {
            for (const QString &open : player.openFiles()) {
                if (playable.contains(open))
                    played.insert(open);
            }
            QTest::qWait(20);
        }
        QVERIFY2(player.isRunning(), "the player ended by itself");
        for (const QString &path : playable)
            QVERIFY2(played.contains(path), qPrintable(QStringLiteral("never played: ") + path.left(200)));
        // Past the end of the list it waits for the user, still answering.
        QTest::qWait(1500);
        QCOMPARE(player.signalAndWait(SIGTERM), 0);
        QCOMPARE(ListFile::read(player.listPath()).value_or(QStringList()), entries);
    }

    // A list on a disk that is not there: walking it, the player still answers SIGTERM (generous
    // bound: it took minutes), and saves the list back as it was.
    void aListOfMissingFilesKeepsThePlayerAnswering()
    {
        PlayerProcess player;
        QByteArray bytes;
        for (int i = 0; i < 100000; ++i)
            bytes += "\"/media/absent/piste " + QByteArray::number(i) + ".avi\"\r\n";
        QVERIFY(PlayerProcess::writeBytes(player.listPath(), bytes) && player.start());
        QTest::qWait(3500); // the splash hands over at about 2.8 s
        QCOMPARE(player.signalAndWait(SIGTERM, 5000), 0);
        QVERIFY(PlayerProcess::readBytes(player.listPath()) == bytes);
    }

    void damagedListFilesLoadWhatTheyCan_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray garbage(256 * 1024, '\0');
        QRandomGenerator random(77u);
        for (char &b : garbage)
            b = static_cast<char>(random.bounded(256));
        QTest::newRow("binary garbage") << garbage;
        QTest::newRow("a 10 MB line") << QByteArray("\"/m/a.mp3\"\r\n") + QByteArray(10 * 1024 * 1024, 'z') +
                                             QByteArray("\r\n\"/m/b.mp3\"\r\n");
        QTest::newRow("unbalanced quotes")
            << QByteArray("\"/m/a.mp3\r\n/m/b.mp3\"\r\n\"\r\n\"/m/c, d.mp3\r\n\"");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("Windows-1252")
            << QByteArray("\"C:\\Musique\\\xC9t\xE9 \x96 caf\xE9.mp3\"\r\n\"/m/\x80uro.mp3\"\r\n");
    }

    // The list comes back as the program read it: whatever the reader could make of the file is
    // written back, in the program's own form, and nothing of it is lost.
    void damagedListFilesLoadWhatTheyCan()
    {
        QFETCH(QByteArray, bytes);
        PlayerProcess player;
        QVERIFY(PlayerProcess::writeBytes(player.listPath(), bytes));
        QVERIFY(player.start());
        QTest::qWait(4500); // the splash hands over at about 2.8 s
        QVERIFY2(player.isRunning(), "the player ended by itself");
        QCOMPARE(player.signalAndWait(SIGTERM), 0);
        const QStringList loaded = ListFile::decode(bytes);
        const QByteArray saved = PlayerProcess::readBytes(player.listPath());
        QCOMPARE(saved.size(), ListFile::encode(loaded).size());
        QVERIFY(saved == ListFile::encode(loaded));
    }

    // Options that do not convert end the restore where they stand; the program runs on with the
    // rest at their defaults and saves ten values it can read back.
    void optionsThatDoNotConvertAreReplaced()
    {
        PlayerProcess player;
        QVERIFY(PlayerProcess::writeBytes(player.settingsPath(),
                                          "[Options]\nVol=beaucoup\nsuff=1e400\ntimemode=peut-\xEAtre\n"
                                          "mute=\nrepeat=2\ntop=-99999999999\nleft=NaN\nplay=7\n"));
        QVERIFY(player.start());
        QTest::qWait(4500);
        QVERIFY2(player.isRunning(), "the player ended by itself");
        QCOMPARE(player.signalAndWait(SIGTERM), 0);
        QSettings saved(player.settingsPath(), QSettings::IniFormat);
        saved.beginGroup(QStringLiteral("Options"));
        QCOMPARE(saved.childKeys().size(), 10);
        QVERIFY(StoredOptions::toLong(saved.value(QStringLiteral("Vol")).toString()));
        for (const char *key : {"top", "left"})
            QVERIFY2(StoredOptions::toSingle(saved.value(QLatin1String(key)).toString()), key);
        for (const char *key : {"suff", "play"})
            QVERIFY2(StoredOptions::toInteger16(saved.value(QLatin1String(key)).toString()), key);
        for (const char *key : {"timemode", "mute", "repeat", "Ontop", "FitToSize"})
            QVERIFY2(StoredOptions::toBoolean(saved.value(QLatin1String(key)).toString()), key);
    }
};

QTEST_MAIN(TestBadInput)
#include "test_badinput_x11.moc"
