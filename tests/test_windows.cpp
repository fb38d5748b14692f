// The main window's frame and menus, the zoom commands, the about box and the video window, on a fake
// engine; the drawn symbols and picture toggles.
#include "ProgramFixture.h"
#include "ui/ClickableLabel.h"
#include "ui/GlyphButton.h"
#include "ui/Glyphs.h"
#include "ui/Marquee.h"
#include "ui/PictureToggle.h"
#include "ui/Twips.h"
#include "ui/WindowPlacement.h"
#include "ui/frmAbout.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A point of a widget where no child is: its own background.
QPoint backgroundOf(QWidget &widget)
{
    for (int y = 2; y < widget.height(); y += 3)
        for (int x = 2; x < widget.width(); x += 3)
            if (!widget.childAt(x, y))
                return {x, y};
    return {};
}

QImage imageOf(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

using Screens = QList<QRect>;

class TestWindows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void rightClicksOpenTheMenuWithOrWithoutItsDefault()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        QMenu *menu = main.mnuBar();
        QWidget *panel = main.picPlayList();
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(10, 10), main.mapToGlobal(QPoint(10, 10)));
        // The background and the menu key offer "Lire" as the default; the panel offers none.
        const std::pair<std::function<void()>, QAction *> ways[] = {
            {[&] { QTest::mouseClick(&main, Qt::RightButton, {}, backgroundOf(main)); }, main.mnuShortcut(1)},
            {[&] { QTest::mouseClick(panel, Qt::RightButton, {}, backgroundOf(*panel)); }, nullptr},
            {[&] { QApplication::sendEvent(&main, &key); }, main.mnuShortcut(1)}};
        for (const auto &[open, defaultAction] : ways) {
            open();
            QTRY_VERIFY(menu->isVisible());
            QCOMPARE(menu->defaultAction(), defaultAction);
            menu->hide();
        }
        // Neither the list itself nor a left click opens it.
        QTest::mouseClick(main.lstPlay()->viewport(), Qt::RightButton, {}, QPoint(20, 20));
        QTest::mouseClick(&main, Qt::LeftButton, {}, backgroundOf(main));
        // The menu opens in the release's own handler; anything those clicks posted has run after this.
        QCoreApplication::processEvents();
        QVERIFY(!menu->isVisible());
    }

    void theWindowIsDraggedWithTheLeftButtonOnly()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        main.move(100, 100);
        const QPoint grab = backgroundOf(main);
        QTest::mousePress(&main, Qt::RightButton, {}, grab);
        QTest::mouseMove(&main, grab + QPoint(40, 30));
        QTest::mouseRelease(&main, Qt::RightButton, {}, grab + QPoint(40, 30));
        main.mnuBar()->hide();
        QCOMPARE(main.pos(), QPoint(100, 100));
        // By the title strip, the window follows the mouse.
        QLabel *title = main.Label3();
        QTest::mousePress(title, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseMove(title, QPoint(45, 35));
        QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(45, 35));
        QTRY_COMPARE(main.pos(), QPoint(140, 130));
        // The window marks are buttons, not handles.
        QTest::mouseClick(static_cast<QWidget *>(main.Minimised()), Qt::LeftButton);
        QTRY_VERIFY(main.isMinimized());
        QCOMPARE(main.pos(), QPoint(140, 130));
        main.mnuHide()->trigger();
        QTRY_VERIFY(!main.isMinimized());
    }

    void theMenuItemsAndKeysRunTheButtons()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        main.lstPlay()->addItems({"/m/a.avi", "/m/b.avi", "/m/c.avi"});
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        // "Lire" from the menu does what the play button does: an empty engine starts the next entry.
        main.mnuShortcut(1)->trigger();
        QCOMPARE(f.engine().FileName(), u"/m/b.avi"_s);
        // The keys act with the menu closed.
        QTest::keyClick(&main, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(f.program->sharedState().IsPaused);
        QTest::keyClick(&main, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(f.engine().FileName(), u"/m/c.avi"_s);
        QTest::keyClick(&main, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(f.engine().FileName(), u"/m/b.avi"_s);
        QTest::keyClick(&main, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(f.engine().state(), FakeMediaEngine::State::Stopped);
        QTest::keyClick(&main, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(f.dialogs.fileRequests.size(), 1);
        f.program->shortcuts().mnuShortcut_Click(6); // beyond the six: nothing
        QCOMPARE(f.engine().opened.size(), 4);
        QTest::keyClick(&main, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(f.program->sharedState().OnTop && main.mnuOnTop()->isChecked());
    }

    // The full-screen bar's pause is the pause button's: one press of the button then resumes.
    void theFullScreenBarPausesAsThePauseButtonDoes()
    {
        ProgramFixture f;
        f.main().lstPlay()->addItem(u"/m/film.avi"_s);
        f.main().lstPlay()->setCurrentRow(0);
        f.program->transport().lstPlay_DblClick();
        f.engine().pressBar(MediaEngine::BarCommand::PlayPause);
        QCOMPARE(f.engine().state(), FakeMediaEngine::State::Paused);
        f.main().cmdPause()->click();
        QCOMPARE(f.engine().state(), FakeMediaEngine::State::Playing);
    }

    void theZoomCommandsSizeTheVideoWindow()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        main.lstPlay()->addItem(u"/m/film.avi"_s);
        main.lstPlay()->setCurrentRow(0);
        f.program->transport().lstPlay_DblClick();
        frmPlayer &video = f.program->videoWindow();
        // The magnifier button opens the zoom menu, from the button itself wherever the mouse is.
        QCursor::setPos(0, 0);
        main.cmdFull()->click();
        QTRY_VERIFY(main.mnuZoom()->isVisible());
        QCOMPARE(main.mnuZoom()->pos(), main.cmdFull()->mapToGlobal(QPoint(0, main.cmdFull()->height())));
        main.mnuZoom()->hide();
        // Each command, then the window's size in twips and the engine's display mode (4 fit, 0 native).
        const std::tuple<QAction *, QSize, int> steps[] = {{main.mnuHalf(), {2122, 1792}, 4},
                                                           {main.mnuOriginal(), {2122, 1792}, 0},
                                                           {main.mnuDouble(), {9640, 7240}, 4}};
        for (const auto &[command, twips, mode] : steps) {
            command->trigger();
            QCOMPARE(video.size(), Twips::toPixels(twips, &video));
            QCOMPARE(f.engine().DisplaySize(), mode);
            QVERIFY(video.isVisible());
            if (mode == 0) // the engine area takes the picture (320 x 240)
                QCOMPARE(video.engineArea()->size(), QSize(320, 240));
        }
        // Full screen from native size, then out of it: fit, not native.
        f.engine().setDisplaySize(0);
        main.mnuFull()->trigger();
        QCOMPARE(f.engine().DisplaySize(), 3);
        main.mnuFull()->trigger();
        QCOMPARE(f.engine().DisplaySize(), 4);
        // The video window minimised itself for full screen; leaving it from the picture brings it back.
        video.showMinimized();
        QTRY_VERIFY(video.isMinimized());
        f.engine().fullScreenLeft();
        QTRY_VERIFY(!video.isMinimized());
        main.mnuFullCtrl()->trigger();
        QVERIFY(main.mnuFullCtrl()->isChecked() && !f.engine().FullScreenControls());
    }

    void theAboutBoxSuspendsOnTop()
    {
        // Not on top: nothing to suspend or give back.
        {
            ProgramFixture f;
            f.main();
            f.program->about().cmdAbt_Click();
            frmAbout *box = f.program->about().existing();
            QVERIFY(box && box->isVisible() && !box->mask().isEmpty());
            box->cmdOk()->click();
            QTRY_VERIFY(!f.program->about().existing());
            QVERIFY(!f.program->sharedState().OnTop && !f.program->sharedState().OnTopSuspended);
        }
        // On top: off while the box is open, a second "?" changes nothing, OK gives it back; shut down with
        // the box open, it is saved as the check mark shows it.
        for (const bool closeWithTheBoxOpen : {false, true}) {
            ProgramFixture f;
            frmMain &main = f.main();
            SharedState &state = f.program->sharedState();
            main.mnuOnTop()->trigger();
            main.cmdAbt()->click();
            QPointer<frmAbout> box = f.program->about().existing();
            main.cmdAbt()->click();
            QCOMPARE(f.program->about().existing(), box);
            QVERIFY(box->isVisible() && !state.OnTop && state.OnTopSuspended);
            if (closeWithTheBoxOpen) {
                main.close();
                QTRY_VERIFY(!box || !box->isVisible());
                QVERIFY(!state.OnTop);
                QCOMPARE(f.settings->stored(u"Ontop"_s), u"True"_s);
            } else {
                f.program->about().cmdOk_Click();
                QVERIFY(state.OnTop && !state.OnTopSuspended && main.mnuOnTop()->isChecked());
            }
        }
    }

    void everyControlCanBeReachedAndNamed()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        int focusable = 0;
        for (QWidget *widget : main.findChildren<QWidget *>()) {
            if (widget->focusPolicy() == Qt::NoFocus || widget->parent() == main.lstPlay())
                continue;
            ++focusable;
            QVERIFY2(!widget->accessibleName().isEmpty(), qPrintable(widget->objectName()));
        }
        // Transport (6), mute, zoom, about, time, marks (2), three sliders, three toggles, the list
        // and the panel's five buttons.
        QCOMPARE(focusable, 24);
        // A label that acts as a button answers the keyboard too.
        const bool timeMode = f.program->sharedState().TimeMode;
        QTest::keyClick(main.lblTime(), Qt::Key_Space);
        QCOMPARE(f.program->sharedState().TimeMode, !timeMode);
    }

    void resizeKeepsTheFitMode()
    {
        ProgramFixture f;
        f.program->mainWindow().mnuFit()->setChecked(true);
        f.engine().setFileName(QStringLiteral("/m/film.avi"));
        frmPlayer &player = f.program->videoWindow();
        player.show();
        QVERIFY(QTest::qWaitForWindowExposed(&player));
        FakeMediaEngine &engine = f.engine();
        // With fit checked a resize sets fit, except in full screen; unchecked it leaves the mode.
        const std::tuple<bool, int, int> steps[] = {{true, 0, 4}, {true, 3, 3}, {false, 0, 0}};
        for (const auto &[fit, before, after] : steps) {
            f.program->mainWindow().mnuFit()->setChecked(fit);
            engine.setDisplaySize(before);
            player.resize(player.width() + 40, player.height() + 30);
            QCoreApplication::processEvents();
            QCOMPARE(engine.DisplaySize(), after);
        }
    }

    void closingEndsPlaybackMovesOnAndMakesAFreshHiddenWindow()
    {
        for (const bool fit : {false, true}) {
            ProgramFixture f;
            f.writeLastList("\"/m/a.avi\"\r\n\"/m/été.avi\"\r\n\"/m/c.avi\"\r\n");
            f.main().mnuFit()->setChecked(fit);
            f.tick();
            QPointer<frmPlayer> old = f.program->existingVideoWindow();
            QVERIFY(QTest::qWaitForWindowExposed(old));
            old->activateWindow();
            QTRY_VERIFY(old->isActiveWindow());
            QCOMPARE(old->windowTitle(), QStringLiteral("/m/été.avi"));
            old->close();
            QTRY_VERIFY(!old);
            QCOMPARE(f.enginesMade, 1);
            QCOMPARE(f.engine().FileName(), QString());
            QCOMPARE(f.enginesMade, 2);
            // The fresh window takes its display mode from the fit option.
            QCOMPARE(f.engine().DisplaySize(), fit ? 4 : 0);
            QVERIFY(f.program->existingVideoWindow()->isHidden());
            QCOMPARE(f.program->existingVideoWindow()->windowTitle(), QString());
            // The closed window ended the entry: the next tick goes on to the next one.
            f.tick();
            QCOMPARE(f.engine().FileName(), QStringLiteral("/m/c.avi"));
        }
    }

    void glyphButtonFollowsItsCaption()
    {
        GlyphButton button(QStringLiteral("U"));
        button.resize(22, 22);
        const QImage soundOn = imageOf(button);
        // The mute logic flips the caption and reads it back; the picture must follow, both ways, and be
        // a symbol, not the caption's letter written out in its stead.
        QVERIFY(Glyphs::hasGlyph(QStringLiteral("U")) && Glyphs::hasGlyph(QStringLiteral("V")));
        button.setText(QStringLiteral("V"));
        QVERIFY(imageOf(button) != soundOn);
        button.setText(QStringLiteral("U"));
        QCOMPARE(imageOf(button), soundOn);
    }

    void pictureToggleAnswersAnywhereOnItsPicture()
    {
        PictureToggle toggle(PictureToggle::Kind::Repeat);
        toggle.resize(51, 15);
        toggle.show();
        QVERIFY(QTest::qWaitForWindowExposed(&toggle));
        // The far end of a wide picture is no less the toggle than where a check mark would be.
        for (const QPoint spot : {QPoint(48, 7), QPoint(25, 13), QPoint(2, 2)}) {
            const bool wasChecked = toggle.isChecked();
            QTest::mouseClick(&toggle, Qt::LeftButton, {}, spot);
            QVERIFY2(toggle.isChecked() != wasChecked, qPrintable(QString::number(spot.x())));
        }
    }

    void pictureToggleShowsAPictureFromOutside()
    {
        PictureToggle toggle(PictureToggle::Kind::Shuffle);
        toggle.resize(26, 15);
        const QImage own = imageOf(toggle);
        QPixmap red(20, 11);
        red.fill(QColor(0xff, 0, 0));
        // The middle of the picture, whatever a pixel of rounding does to where it is centred.
        QImage redMiddle(18, 9, QImage::Format_ARGB32_Premultiplied);
        redMiddle.fill(QColor(0xff, 0, 0));
        // The shuffle logic hands its picture as the icon; either way it shows whatever the state, until
        // it is taken away.
        for (const bool asIcon : {true, false}) {
            asIcon ? toggle.setIcon(QIcon(red)) : toggle.setPicture(red);
            for (const Qt::CheckState state : {Qt::Checked, Qt::Unchecked}) {
                toggle.setCheckState(state);
                QVERIFY2(imageOf(toggle).copy(4, 3, 18, 9) == redMiddle, asIcon ? "icon" : "picture");
            }
            toggle.setPicture(QPixmap());
            QCOMPARE(imageOf(toggle), own);
        }
    }

    // Where the windows go: the rules on made-up monitor layouts, then the windows on the test's screen.
    void aRestoredPositionStaysReachable_data()
    {
        QTest::addColumn<QPoint>("saved");
        QTest::addColumn<Screens>("screens");
        QTest::addColumn<QPoint>("placed");
        const QRect wide(0, 0, 1920, 1080), right(1920, 0, 1280, 1024), left(-1280, 0, 1280, 1024);
        QTest::newRow("second screen") << QPoint(2000, 100) << Screens{wide, right} << QPoint(2000, 100);
        QTest::newRow("it is gone") << QPoint(2000, 100) << Screens{wide} << QPoint(1577, 100);
        QTest::newRow("smaller now") << QPoint(1500, 900) << Screens{QRect(0, 0, 1024, 768)}
                                     << QPoint(681, 388);
        QTest::newRow("strip above") << QPoint(100, -10) << Screens{wide} << QPoint(100, 0);
        QTest::newRow("strip still whole") << QPoint(-50, 100) << Screens{wide} << QPoint(-50, 100);
        QTest::newRow("far off") << QPoint(-5000, 300) << Screens{wide, right} << QPoint(0, 300);
        QTest::newRow("screen on the left")
            << QPoint(-1500, 200) << Screens{left, wide} << QPoint(-1280, 200);
        QTest::newRow("screen too small") << QPoint(50, 50) << Screens{QRect(0, 0, 300, 200)} << QPoint(0, 0);
    }

    void aRestoredPositionStaysReachable()
    {
        QFETCH(QPoint, saved);
        QFETCH(Screens, screens);
        QFETCH(QPoint, placed);
        // The main window's size and title strip at 96 dpi.
        QCOMPARE(WindowPlacement::reachable(saved, QSize(343, 380), QRect(60, 3, 241, 12), screens), placed);
    }

    void aFirstRunCentresTheWindowAndTheVideoWindowFollowsIt()
    {
        QCOMPARE(WindowPlacement::centred(QRect(1920, 0, 1280, 1024), QSize(343, 380)), QPoint(2388, 322));
        ProgramFixture f;
        frmMain &main = f.main();
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(main.pos(), WindowPlacement::centred(area, main.size()));

        // The video window opens in the middle of the main window's screen; then it stays where it is put.
        frmPlayer &video = f.program->videoWindow();
        f.engine().setFileName(u"/m/film.avi"_s);
        video.show();
        QCOMPARE(video.frameGeometry().center(), area.center());
        video.hide();
        video.move(5, 5);
        video.show();
        QCOMPARE(video.pos(), QPoint(5, 5));
    }

    // Small things of the main window and its dialogs that users ran into, one check each.
    void theMainWindowShowsWhatItSays()
    {
        ProgramFixture f;
        // A value that does not convert ends the options' load before the panel's: the toggle still
        // agrees with the panel shown, so the next start does not fold it.
        f.settings->store(QStringLiteral("top"), QStringLiteral("haut"));
        frmMain &main = f.main();
        QVERIFY(!main.picPlayList()->isHidden() && main.chkPlay()->isChecked());
        // The selection caption shows whole above the list that overlaps its lower part.
        const QLabel *caption = main.txtFN();
        QVERIFY(caption->alignment() & Qt::AlignTop);
        QVERIFY(caption->y() + caption->fontMetrics().height() <= main.lstPlay()->y());
        // A right click on the marquee reaches the window (its menu, where Ctrl+A is Pause), not an
        // editing menu offering Ctrl+A.
        QVERIFY(main.childAt(main.txtTitle()->geometry().center()) != main.txtTitle());
        main.close();
        QCOMPARE(f.settings->stored(QStringLiteral("play")), QStringLiteral("1"));
    }

    void doubleSizeTwiceAndAClickOnTheSeekBar()
    {
        ProgramFixture f;
        f.main().lstPlay()->addItem(QStringLiteral("/m/film.avi"));
        f.main().lstPlay()->setCurrentRow(0);
        f.program->transport().lstPlay_DblClick();
        f.main().mnuDouble()->trigger();
        const QSize filled = f.program->videoWindow().engineArea()->size();
        QVERIFY(filled.width() > 2 * 320);
        f.main().mnuDouble()->trigger();
        QCOMPARE(f.program->videoWindow().engineArea()->size(), filled);

        // The click goes to where it was made, not one step.
        QSlider *bar = f.main().scrlTime();
        bar->setRange(0, 100);
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() * 3 / 4, bar->height() / 2));
        QVERIFY2(bar->value() > 60 && bar->value() < 90, qPrintable(QString::number(bar->value())));
    }

    void theDialogsOpenWhereTheUserLastChose()
    {
        QTemporaryDir music, lists;
        ProgramFixture f;
        f.main();
        f.dialogs.fileAnswers = {music.filePath(QStringLiteral("a.mp3")), std::nullopt};
        f.program->adder().mnuFile_Click();
        f.program->adder().mnuFile_Click();
        QCOMPARE(f.dialogs.fileRequests.last().initialFolder, music.path());
        // Also for the next run, under a key of its own, not among the ten options.
        QCOMPARE(f.settings->values.value(QStringLiteral("Dialogs/LastFolder")), music.path());
        // A folder chosen for "add a folder" counts too.
        f.dialogs.folderAnswers = {lists.path()};
        f.program->adder().mnuAddDir_Click();
        f.program->panel().cmdAPlayList_Click(3);
        QCOMPARE(f.dialogs.fileRequests.last().initialFolder, lists.path());
    }
};

QTEST_MAIN(TestWindows)
#include "test_windows.moc"
