#include "ProgramFixture.h"
#include "app/StoredOptions.h"
#include "ui/Twips.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTest>

#include <limits>

class TestSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void storedTextConverts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("boolean"); // -1: does not convert
        QTest::addColumn<int>("integer"); // INT_MIN: does not convert
        QTest::newRow("True") << "True" << 1 << INT_MIN;
        QTest::newRow("false, any case") << "false" << 0 << INT_MIN;
        QTest::newRow("zero") << "0" << 0 << 0;
        QTest::newRow("minus one") << "-1" << 1 << -1;
        QTest::newRow("half rounds to even") << "2.5" << 1 << 2;
        QTest::newRow("three and a half") << "3.5" << 1 << 4;
        QTest::newRow("beyond 16 bits") << "32768" << 1 << INT_MIN;
        QTest::newRow("words") << "oui" << -1 << INT_MIN;
        QTest::newRow("empty") << "" << -1 << INT_MIN;
    }

    void storedTextConverts()
    {
        QFETCH(QString, text);
        QFETCH(int, boolean);
        QFETCH(int, integer);
        const std::optional<bool> b = StoredOptions::toBoolean(text);
        QCOMPARE(b.has_value() ? int(*b) : -1, boolean);
        const std::optional<int> i = StoredOptions::toInteger16(text);
        QCOMPARE(i.value_or(INT_MIN), integer);
    }

    // Window positions are read as singles: a number rounds to the nearest one, and only a number past
    // the largest single fails to convert, not the largest single's own 9-digit text.
    void storedSinglesRoundToTheNearest_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("converts");
        QTest::addColumn<float>("value");
        QTest::newRow("twips") << "1440" << true << 1440.0f;
        QTest::newRow("largest single as written")
            << "3.40282347e+38" << true << std::numeric_limits<float>::max();
        QTest::newRow("lowest single as written")
            << "-3.40282347e+38" << true << std::numeric_limits<float>::lowest();
        QTest::newRow("past the largest single") << "3.4028236e+38" << false << 0.0f;
        QTest::newRow("not finite") << "inf" << false << 0.0f;
    }

    void storedSinglesRoundToTheNearest()
    {
        QFETCH(QString, text);
        QFETCH(bool, converts);
        QFETCH(float, value);
        const std::optional<float> single = StoredOptions::toSingle(text);
        QCOMPARE(single.has_value(), converts);
        if (converts)
            QCOMPARE(*single, value);
    }

    void aFirstRunHasTheDefaults()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        const SharedState &state = f.program->sharedState();
        QCOMPARE(f.engine().Volume(), 0L);
        QVERIFY(!f.engine().Mute());
        QVERIFY(!state.ShuffleOn);
        QVERIFY(!state.RepeatOn);
        QVERIFY(state.TimeMode);
        QCOMPARE(main.chkPlay()->checkState(), Qt::Checked);
        QVERIFY(main.picPlayList()->isVisible());
        QVERIFY(!state.OnTop);
        // Loading marks the choice as not applied; the window's first resize then applies it.
        QVERIFY(!state.TopMostApplied);
        QVERIFY(!f.topMostCalls.isEmpty() && !f.topMostCalls.last().topMost);
        QVERIFY(!main.mnuFit()->isChecked());
        QCOMPARE(main.scrlVol()->value(), 10);
    }

    void storedOptionsAreApplied()
    {
        ProgramFixture f;
        f.settings->store("Vol", "-790");
        f.settings->store("suff", "2");
        f.settings->store("timemode", "False");
        f.settings->store("mute", "True");
        f.settings->store("repeat", "1");
        f.settings->store("play", "0");
        f.settings->store("Ontop", "True");
        f.settings->store("FitToSize", "True");
        frmMain &main = f.main();
        const SharedState &state = f.program->sharedState();
        QCOMPARE(f.engine().Volume(), -790L);
        QCOMPARE(main.scrlVol()->value(), 4);
        QCOMPARE(main.chkSuffle()->checkState(), Qt::Checked);
        QVERIFY(state.ShuffleOn);
        QVERIFY(!state.TimeMode);
        QCOMPARE(main.lblpls()->text(), QStringLiteral("+")); // until the time is clicked
        QVERIFY(f.engine().Mute());
        QCOMPARE(main.Check1()->property("Value").toInt(), 1);
        QCOMPARE(main.Check1()->text(), QStringLiteral("V")); // the glyph shows the restored mute
        QVERIFY(state.RepeatOn);
        QVERIFY(main.picPlayList()->isHidden());
        QCOMPARE(main.height(), Twips::toPixelsY(1880, &main));
        QVERIFY(state.OnTop && state.TopMostApplied);
        QVERIFY(!f.topMostCalls.isEmpty() && f.topMostCalls.last().topMost);
        QVERIFY(main.mnuFit()->isChecked() && state.FitToSize);
    }

    void aVolumeOutsideTheTableLeavesTheSlider()
    {
        ProgramFixture f;
        f.settings->store("Vol", "-650");
        QCOMPARE(f.main().scrlVol()->value(), 10);
        QCOMPARE(f.engine().Volume(), -650L);
    }

    void aValueThatDoesNotConvertEndsTheLoad()
    {
        ProgramFixture f;
        f.writeLastList("\"/m/a.ogg\"\r\n");
        f.settings->store("timemode", "False");
        f.settings->store("mute", "peut-être");
        f.settings->store("repeat", "True");
        frmMain &main = f.main();
        // The keys before it are applied, the rest of the options and of the load are not.
        QVERIFY(!f.program->sharedState().TimeMode);
        QVERIFY(!f.program->sharedState().RepeatOn);
        QCOMPARE(main.lstPlay()->count(), 0);
        QVERIFY(f.dialogs.fileRequests.isEmpty());
    }

    // A run that stopped before reading lastlist.lst keeps it as lastlist.lst.bak before writing its own.
    void aListThatWasNeverReadIsKeptAsBak()
    {
        ProgramFixture f;
        f.writeLastList("\"/m/a.ogg\"\r\n");
        f.settings->store("suff", "abc");
        f.main().close();
        QFile bak(f.lastList() + QStringLiteral(".bak"));
        QVERIFY(bak.open(QIODevice::ReadOnly) && bak.readAll() == "\"/m/a.ogg\"\r\n");
    }

    // Written by hand, top=615,5 is one value, not a list.
    void handWrittenValuesKeepTheirCommas()
    {
        QTemporaryDir config;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
        const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
        QFile file(config.filePath(name + QStringLiteral(".conf")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[Options]\ntop=615,5\n") > 0);
        file.close();
        QCOMPARE(SettingsStore::perUser()->read(QStringLiteral("Options"), QStringLiteral("top"), {}),
                 QStringLiteral("615,5"));
    }

    void windowsOffTheScreenComeBackOntoIt()
    {
        // The test screen is 800 x 600; the window 343 x 380 pixels, its title strip from 60 to 301.
        const struct {
            const char *left;
            const char *top;
            QPoint placed;
        } cases[] = {{"60000", "300", {457, 20}},
                     {"300", "-150", {20, 0}},
                     {"-15", "300", {-1, 20}},
                     {"300", "300", {20, 20}}};
        for (const auto &c : cases) {
            ProgramFixture f;
            f.settings->store("left", QLatin1String(c.left));
            f.settings->store("top", QLatin1String(c.top));
            QCOMPARE(f.main().pos(), c.placed);
        }
    }

    void shutdownSavesTheTenKeysInOrderAndSkipsOneThatFails()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        main.move(Twips::toPixelsX(900, &main), Twips::toPixelsY(615, &main));
        main.scrlVol()->setValue(5);
        main.chkRepeat()->setCheckState(Qt::PartiallyChecked);
        main.chkSuffle()->setCheckState(Qt::Checked);
        main.chkPlay()->setCheckState(Qt::Unchecked);
        main.mnuOnTop()->setChecked(true);
        f.program->tick().lblTime_Click();
        f.settings->refused = {QStringLiteral("mute")};
        main.close();
        QCOMPARE(f.settings->writtenKeys, (QStringList{"Vol", "suff", "timemode", "repeat", "top", "left",
                                                       "play", "Ontop", "FitToSize"}));
        const QStringList expected = {"-600", "1", "False", "True", "615", "900", "0", "True", "False"};
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(f.settings->stored(f.settings->writtenKeys[i]), expected[i]);
    }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
