#include "app/PlatformChoice.h"

#include <QProcess>
#include <QTest>

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void decide_data()
    {
        QTest::addColumn<QString>("setting");  // QT_QPA_PLATFORM|-platform|DISPLAY|WAYLAND_DISPLAY|plugins
        QTest::addColumn<QString>("expected"); // the outcome, then the platform forced
        const auto row = [](const char *name, const char *setting, const char *expected) {
            QTest::newRow(name) << QString::fromLatin1(setting) << QString::fromLatin1(expected);
        };
        row("X and Wayland: X", "||:0|w-0|xcb;wayland", "Run xcb");
        row("Wayland only", "|||w-0|xcb;wayland", "Run wayland");
        row("-platform honoured", "|wayland|:0|w-0|xcb;wayland", "Run ");
        row("nothing", "|||||xcb;wayland", "NoDisplay ");
        row("explicit wayland, no plugin", "wayland||:0|w-0|xcb", "MissingPlugin ");
        row("Wayland only, no plugin", "|||w-0|xcb", "MissingPlugin ");
        row("no xcb plugin: Wayland", "||:0|w-0|wayland", "Run wayland");
        row("a list falls back", "wayland;xcb||:0|w-0|xcb", "Run ");
    }
    void decide()
    {
        QFETCH(QString, setting);
        QFETCH(QString, expected);
        const QList<QByteArray> in = setting.toLatin1().split('|');
        const QList<QByteArray> plugins = in.at(4).split(';');
        const PlatformChoice choice =
            PlatformChoice::decide({in.at(0), in.at(2), in.at(3), in.at(1),
                                    [&](const QByteArray &name) { return plugins.contains(name); }});
        const char *outcomes[] = {"Run", "NoDisplay", "MissingPlugin"};
        QCOMPARE(QString::fromLatin1(outcomes[int(choice.outcome)]) + QLatin1Char(' ') +
                     QString::fromLatin1(choice.platform),
                 expected);
    }

    // Qt aborts when told to use a platform it cannot load; the player says why and stops cleanly.
    void missingPluginIsAMessageNotAnAbort()
    {
        qputenv("QT_QPA_PLATFORM", "wayland-absent");
        qputenv("WAYLAND_DISPLAY", "nowhere");
        QProcess player;
        player.start(QStringLiteral(QWELTO_BINARY), {});
        QVERIFY(player.waitForFinished(30000));
        QCOMPARE(player.exitCode(), 2);
        QVERIFY(
            player.readAllStandardError().contains("\"wayland-absent\" platform plugin is not installed"));
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
