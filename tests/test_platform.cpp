#include "app/PlatformChoice.h"

#include <QProcess>
#include <QTest>

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void decide_data()
    {
        QTest::addColumn<QByteArray>("qpa");
        QTest::addColumn<QByteArray>("argv");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("installed"); // platforms whose plugin is there, ';'-separated
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QByteArray>("forced");
        constexpr int Run = int(PlatformChoice::Outcome::Run);
        constexpr int None = int(PlatformChoice::Outcome::NoDisplay);
        constexpr int Missing = int(PlatformChoice::Outcome::MissingPlugin);
        const QByteArray all = "xcb;wayland;offscreen";
        QTest::newRow("X and Wayland: X") << QByteArray() << QByteArray() << QByteArray(":0")
                                          << QByteArray("w-0") << all << Run << QByteArray("xcb");
        QTest::newRow("Wayland only") << QByteArray() << QByteArray() << QByteArray() << QByteArray("w-0")
                                      << all << Run << QByteArray("wayland");
        QTest::newRow("explicit wayland honoured")
            << QByteArray("wayland") << QByteArray() << QByteArray(":0") << QByteArray("w-0") << all << Run
            << QByteArray();
        QTest::newRow("-platform honoured") << QByteArray() << QByteArray("wayland") << QByteArray(":0")
                                            << QByteArray("w-0") << all << Run << QByteArray();
        QTest::newRow("offscreen needs no display") << QByteArray("offscreen") << QByteArray() << QByteArray()
                                                    << QByteArray() << all << Run << QByteArray();
        QTest::newRow("nothing") << QByteArray() << QByteArray() << QByteArray() << QByteArray() << all
                                 << None << QByteArray();
        QTest::newRow("explicit xcb without X") << QByteArray("xcb") << QByteArray() << QByteArray()
                                                << QByteArray("w-0") << all << None << QByteArray();
        QTest::newRow("explicit wayland, no plugin")
            << QByteArray("wayland") << QByteArray() << QByteArray(":0") << QByteArray("w-0")
            << QByteArray("xcb") << Missing << QByteArray();
        QTest::newRow("Wayland only, no plugin")
            << QByteArray() << QByteArray() << QByteArray() << QByteArray("w-0") << QByteArray("xcb")
            << Missing << QByteArray();
        QTest::newRow("no xcb plugin: Wayland")
            << QByteArray() << QByteArray() << QByteArray(":0") << QByteArray("w-0") << QByteArray("wayland")
            << Run << QByteArray("wayland");
        QTest::newRow("list falls back") << QByteArray("wayland;xcb") << QByteArray() << QByteArray(":0")
                                         << QByteArray("w-0") << QByteArray("xcb") << Run << QByteArray();
    }
    void decide()
    {
        QFETCH(QByteArray, qpa);
        QFETCH(QByteArray, argv);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, installed);
        QFETCH(int, outcome);
        QFETCH(QByteArray, forced);
        const QList<QByteArray> plugins = installed.split(';');
        const PlatformChoice choice = PlatformChoice::decide(
            {qpa, display, wayland, argv, [&](const QByteArray &name) { return plugins.contains(name); }});
        QCOMPARE(int(choice.outcome), outcome);
        QCOMPARE(choice.platform, forced);
    }

    // Qt aborts when told to use a platform it cannot load; the player says why and stops cleanly.
    void missingPluginIsAMessageNotAnAbort()
    {
        QProcess player;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland-absent"));
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("nowhere"));
        player.setProcessEnvironment(env);
        player.start(QStringLiteral(QWELTO_BINARY), {});
        QVERIFY(player.waitForFinished(30000));
        QCOMPARE(player.exitStatus(), QProcess::NormalExit);
        QCOMPARE(player.exitCode(), 2);
        QVERIFY(
            player.readAllStandardError().contains("\"wayland-absent\" platform plugin is not installed"));
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
