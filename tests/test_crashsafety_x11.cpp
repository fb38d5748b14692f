// The player killed while it saves: half-way through writing lastlist.lst or its options, or just
// before the written file takes the old one's place. Whatever the moment, the next run finds
// either the old file or the new one, whole, never a cut one.
#include "PlayerProcess.h"
#include "app/OptionConversions.h"
#include "playlist/ListFile.h"

#include <QSettings>
#include <QTest>

#include <csignal>

namespace {

// A list in a form only a hand would write: once the program has saved it, it reads differently.
const QByteArray HandWrittenList("/m/a.mp3,/m/b.ogg\n/m/c d.wav\n");

// All ten options, in a form the program does not write (lower-case booleans).
const QByteArray EarlierOptions("[Options]\nVol=-790\nsuff=1\ntimemode=true\nmute=false\nrepeat=true\n"
                                "top=1500\nleft=1500\nplay=1\nOntop=false\nFitToSize=true\n");

} // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedWhileSaving_data()
    {
        QTest::addColumn<bool>("listFile"); // else the options
        QTest::addColumn<QString>("moment");
        QTest::addColumn<int>("skip");
        QTest::newRow("list, half written") << true << QStringLiteral("write") << 0;
        QTest::newRow("list, being synced") << true << QStringLiteral("sync") << 0;
        QTest::newRow("options, first key half written") << false << QStringLiteral("write") << 0;
        QTest::newRow("options, fifth key half written") << false << QStringLiteral("write") << 4;
        QTest::newRow("options, last key being synced") << false << QStringLiteral("sync") << 9;
    }

    void killedWhileSaving()
    {
        QFETCH(bool, listFile);
        QFETCH(QString, moment);
        QFETCH(int, skip);
        PlayerProcess player;
        QVERIFY(PlayerProcess::writeBytes(player.listPath(), HandWrittenList));
        QVERIFY(PlayerProcess::writeBytes(player.settingsPath(), EarlierOptions));
        player.setEnvironment(QStringLiteral("LD_PRELOAD"), QStringLiteral(KILL_MID_WRITE));
        // The address sanitizer wants to be first in line; this library only passes calls on.
        const QString asan = qEnvironmentVariable("ASAN_OPTIONS");
        player.setEnvironment(QStringLiteral("ASAN_OPTIONS"),
                              (asan.isEmpty() ? QString() : asan + QLatin1Char(':')) +
                                  QStringLiteral("verify_asan_link_order=0"));
        const QFileInfo target(listFile ? player.listPath() : player.settingsPath());
        player.setEnvironment(QStringLiteral("QWELTO_KILL_UNDER"), target.absolutePath() + QLatin1Char('/'));
        player.setEnvironment(QStringLiteral("QWELTO_KILL_AT"), moment);
        player.setEnvironment(QStringLiteral("QWELTO_KILL_SKIP"), QString::number(skip));

        QVERIFY(player.start());
        QTest::qWait(4500);
        QVERIFY2(player.isRunning(), "the player ended by itself");
        // The session ends the player; it saves, and dies in the middle.
        QCOMPARE(player.signalAndWait(SIGTERM), -3);
        QCOMPARE(player.process().exitCode(), int(SIGKILL));

        if (listFile) {
            QCOMPARE(PlayerProcess::readBytes(player.listPath()), HandWrittenList);
            QCOMPARE(PlayerProcess::readBytes(player.settingsPath()), EarlierOptions);
            return;
        }
        QCOMPARE(ListFile::read(player.listPath()).value_or(QStringList()),
                 ListFile::decode(HandWrittenList));
        // Each option is stored as it comes, so some may be new and some old, but every one is
        // there and reads.
        QSettings options(player.settingsPath(), QSettings::IniFormat);
        QCOMPARE(options.status(), QSettings::NoError);
        options.beginGroup(QStringLiteral("Options"));
        QCOMPARE(options.childKeys().size(), 10);
        QCOMPARE(options.value(QStringLiteral("Vol")).toString(), QStringLiteral("-790"));
        for (const char *key : {"timemode", "mute", "repeat", "Ontop", "FitToSize"})
            QVERIFY2(StoredOptions::toBoolean(options.value(QLatin1String(key)).toString()), key);
        if (skip == 0)
            QCOMPARE(PlayerProcess::readBytes(player.settingsPath()), EarlierOptions);
        else
            QVERIFY(PlayerProcess::readBytes(player.settingsPath()) != EarlierOptions);
    }
};

QTEST_MAIN(TestCrashSafety)
#include "test_crashsafety_x11.moc"
