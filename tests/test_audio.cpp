#include "ProgramFixture.h"
#include "playback/LevelTable.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <cmath>

namespace {

// An engine that takes no balance at all.
struct NoBalanceEngine : FakeMediaEngine {
    void setBalance(long) override {}
};

} // namespace

class TestAudio : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void levelTableFollowsTheAmplitudeRule()
    {
        // Position i of 1..9 plays at about i/10 of full amplitude, and the halves mirror each other.
        QCOMPARE(LevelTable[0], -9640);
        QCOMPARE(LevelTable[10], 0);
        for (int i = 1; i <= 9; ++i) {
            const int expected = static_cast<int>(std::trunc(2000.0 * std::log10(i / 10.0) / 10.0)) * 10;
            QCOMPARE(int(LevelTable[static_cast<std::size_t>(i)]), expected);
        }
        for (std::size_t i = 0; i <= 20; ++i)
            QCOMPARE(LevelTable[20 - i], -LevelTable[i]);
    }

    void volumeSliderSetsTheEngineAndShowsThePosition()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        QCOMPARE(main.LabVol()->text(), QStringLiteral("Volume : 10"));
        const struct {
            int position;
            long volume;
        } cases[] = {{5, -600}, {0, -9640}, {7, -300}, {10, 0}};
        for (const auto &c : cases) {
            main.scrlVol()->setValue(c.position);
            QCOMPARE(f.engine().Volume(), c.volume);
            QCOMPARE(main.LabVol()->text(), QStringLiteral("Volume : %1").arg(c.position));
        }
        QVERIFY(f.pauses.isEmpty());
    }

    void balanceCaptionTakesTheSideFromTheEngine()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        QCOMPARE(main.LabBal()->text(), QStringLiteral("Balance"));
        const struct {
            int position;
            long balance;
            const char *caption;
        } cases[] = {{11, 90, "10% Droit"},  {9, -90, "10% Gauche"},   {0, -9640, "100% Gauche"},
                     {15, 600, "50% Droit"}, {20, 9640, "100% Droit"}, {3, -1040, "70% Gauche"},
                     {10, 0, "Centre"}};
        for (const auto &c : cases) {
            main.scrlBal()->setValue(c.position);
            QCOMPARE(f.engine().Balance(), c.balance);
            QCOMPARE(main.LabBal()->text(), QString::fromUtf8(c.caption));
        }
        // Every change ends with the quarter-second pause, "Centre" included.
        QCOMPARE(f.pauses, QList<int>(7, 250));
    }

    void anEngineThatRefusesBalanceShowsCentre()
    {
        ProgramFixture f;
        f.program = std::make_unique<Program>(
            ProgramEnvironment{f.appFolder.path(),
                               [](QWidget *) { return std::make_unique<NoBalanceEngine>(); },
                               f.random,
                               {},
                               [](int, const std::function<void()> &) {},
                               [](QWidget &, bool, QPoint) {}});
        frmMain &main = f.main();
        main.scrlBal()->setValue(15);
        QCOMPARE(main.LabBal()->text(), QStringLiteral("Centre"));
    }

    // A balance drag applies its last position once the settling pause is over; the engine made
    // after the user closed the video window takes the levels the controls show.
    void theUsersLevelsSurviveADragAndANewEngine()
    {
        ProgramFixture f;
        f.holdPauses = true;
        frmMain &main = f.main();
        for (int p : {11, 12, 15})
            main.scrlBal()->setValue(p);
        QCOMPARE(f.engine().Balance(), 90L);
        f.heldPause();
        QCOMPARE(main.LabBal()->text(), QStringLiteral("50% Droit"));
        main.scrlVol()->setValue(4);
        main.Check1()->click();
        QPointer<frmPlayer> player = f.program->existingVideoWindow();
        player->close();
        QTRY_VERIFY(!player);
        QCOMPARE(std::tuple(f.engine().Volume(), f.engine().Balance(), f.engine().Mute()),
                 std::tuple(-790L, 600L, true));
    }

    void muteIsDecidedByTheCaption()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        main.scrlVol()->setValue(4);
        QCOMPARE(main.Check1()->text(), QStringLiteral("U"));
        QTest::mouseClick(main.Check1(), Qt::LeftButton);
        QCOMPARE(main.Check1()->text(), QStringLiteral("V"));
        QVERIFY(f.engine().Mute());
        QCOMPARE(f.engine().Volume(), -790); // muting keeps the volume
        main.scrlVol()->setValue(8);
        QVERIFY(f.engine().Mute());
        QTest::mouseClick(main.Check1(), Qt::LeftButton);
        QCOMPARE(main.Check1()->text(), QStringLiteral("U"));
        QVERIFY(!f.engine().Mute());
        QCOMPARE(f.engine().Volume(), -190);

        // Any other caption does nothing.
        main.Check1()->setText(QStringLiteral("X"));
        f.program->audio().Check1_Click();
        QVERIFY(!f.engine().Mute());
        QCOMPARE(main.Check1()->text(), QStringLiteral("X"));
    }
};

QTEST_MAIN(TestAudio)
#include "test_audio.moc"
