// The main window's frame and menus, the zoom commands and the about box, on a fake engine.
#include "ProgramFixture.h"
#include "ui/ClickableLabel.h"
#include "ui/Twips.h"
#include "ui/ZoomCommands.h"
#include "ui/frmAbout.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
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

QStringList itemsOf(const QMenu *menu)
{
    QStringList items;
    for (const QAction *action : menu->actions())
        items.append(action->isSeparator() ? u"-"_s : action->objectName() + u' ' + action->text());
    return items;
}

} // namespace

class TestWindows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theWindowFoldsAndKeepsItsShape()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        QVERIFY(main.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(main.width(), Twips::toPixelsX(5145, &main));
        QCOMPARE(main.height(), Twips::toPixelsY(5700, &main));
        for (const bool open : {false, true}) {
            main.chkPlay()->setChecked(open);
            QCOMPARE(main.picPlayList()->isVisible(), open);
            QCOMPARE(main.height(), Twips::toPixelsY(open ? 5700 : 1880, &main));
            // The rounded region follows the new height: corners cut, the bottom edge's middle kept.
            const QRegion shape = main.mask();
            QCOMPARE(shape.boundingRect(), main.rect());
            QVERIFY(!shape.contains(QPoint(0, main.height() - 1)));
            QVERIFY(shape.contains(QPoint(main.width() / 2, main.height() - 1)));
        }
    }

    void rightClicksOpenTheMenuWithOrWithoutItsDefault()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        QMenu *menu = main.mnuBar();
        QTest::mouseClick(&main, Qt::RightButton, {}, backgroundOf(main));
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->defaultAction(), main.mnuShortcut(1));
        menu->hide();

        QWidget *panel = main.picPlayList();
        QTest::mouseClick(panel, Qt::RightButton, {}, backgroundOf(*panel));
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->defaultAction(), nullptr);
        menu->hide();

        // The menu key opens it as the background does.
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(10, 10), main.mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(&main, &key);
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->defaultAction(), main.mnuShortcut(1));
        menu->hide();

        // Neither the list itself nor a left click opens it.
        QTest::mouseClick(main.lstPlay()->viewport(), Qt::RightButton, {}, QPoint(20, 20));
        QTest::mouseClick(&main, Qt::LeftButton, {}, backgroundOf(main));
        QTest::qWait(50);
        QVERIFY(!menu->isVisible());

        QCOMPARE(itemsOf(menu),
                 (QStringList{u"mnuShortcut0 Précédent"_s, u"mnuShortcut1 Lire"_s, u"mnuShortcut2 Pause"_s,
                              u"mnuShortcut3 Arrêter"_s, u"mnuShortcut4 Suivant"_s, u"mnuShortcut5 Ouvrir"_s,
                              u"mnuOnTop P&remier plan"_s, u"mnuAutoVCD Lecture auto &VCD"_s,
                              u"mnuHide &Afficher/réduire Qwelto Player"_s, u"mnuExit &Quitter"_s}));
        const char *keys[] = {"Ctrl+B", "Ctrl+P", "Ctrl+A", "Ctrl+S", "Ctrl+N", "Ctrl+O"};
        for (int i = 0; i < frmMain::ShortcutCount; ++i)
            QCOMPARE(main.mnuShortcut(i)->shortcut().toString(), QLatin1String(keys[i]));
        QCOMPARE(main.mnuOnTop()->shortcut().toString(), u"Ctrl+L"_s);
        QCOMPARE(main.mnuExit()->shortcut().toString(), u"Ctrl+Q"_s);
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
    }

    void theOnTopAndShowOptions()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        SharedState &state = f.program->sharedState();
        // The choice and its mark flip together; the window follows at the next tick (see the tick's tests).
        for (const bool on : {true, false}) {
            main.mnuOnTop()->trigger();
            QCOMPARE(state.OnTop, on);
            QCOMPARE(main.mnuOnTop()->isChecked(), on);
        }

        main.mnuHide()->trigger();
        QTRY_VERIFY(main.isMinimized());
        main.mnuHide()->trigger();
        QTRY_VERIFY(!main.isMinimized());
    }

    void theMenuItemsAndKeysRunTheButtons()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        for (const char *entry : {"/m/a.avi", "/m/b.avi", "/m/c.avi"})
            main.lstPlay()->addItem(QLatin1String(entry));
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
    }

    void theZoomCommandsSizeTheVideoWindow()
    {
        QCOMPARE(ZoomCommands::halfOf({4245, 3585}), QSize(2122, 1792));
        QCOMPARE(ZoomCommands::doubleOf({4800, 3600}), QSize(9640, 7240));

        ProgramFixture f;
        frmMain &main = f.main();
        QCOMPARE(itemsOf(main.mnuZoom()),
                 (QStringList{u"mnuHalf &Demi taille"_s, u"mnuOriginal Taille &originale"_s,
                              u"mnuDouble &Double Taile"_s, u"-"_s, u"mnuFullCtrl &Activer plein écran"_s,
                              u"mnuFull &Plein écran"_s, u"mnuFit Fit to &Size"_s}));
        for (QAction *size : {main.mnuHalf(), main.mnuOriginal(), main.mnuDouble(), main.mnuFull()})
            QVERIFY(!size->isCheckable());

        main.lstPlay()->addItem(u"/m/film.avi"_s);
        main.lstPlay()->setCurrentRow(0);
        f.program->transport().lstPlay_DblClick();
        frmPlayer &video = f.program->videoWindow();
        QCOMPARE(video.size(), Twips::toPixels(QSize(4245, 3585), &video));

        main.mnuHalf()->trigger();
        QCOMPARE(video.size(), Twips::toPixels(QSize(2122, 1792), &video));
        QCOMPARE(f.engine().DisplaySize(), 4);
        QVERIFY(video.isVisible());

        // Native size: the window stays, the engine area takes the picture (320 x 240).
        main.mnuOriginal()->trigger();
        QCOMPARE(video.size(), Twips::toPixels(QSize(2122, 1792), &video));
        QCOMPARE(f.engine().DisplaySize(), 0);
        QCOMPARE(video.engineArea()->size(), QSize(320, 240));

        main.mnuDouble()->trigger();
        QCOMPARE(video.size(), Twips::toPixels(QSize(9640, 7240), &video));
        QCOMPARE(f.engine().DisplaySize(), 4);

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
        main.mnuFullCtrl()->trigger();
        QVERIFY(!main.mnuFullCtrl()->isChecked() && f.engine().FullScreenControls());
    }

    void theAboutBoxSuspendsOnTop()
    {
        // Not on top: nothing to suspend or give back.
        {
            ProgramFixture f;
            f.main();
            SharedState &state = f.program->sharedState();
            f.program->about().cmdAbt_Click();
            frmAbout *box = f.program->about().existing();
            QVERIFY(box && box->isVisible());
            QCOMPARE(box->size(), Twips::toPixels(QSize(6390, 3735), box));
            QVERIFY(!box->mask().isEmpty());
            QCOMPARE(box->Label1()->text(), u"Version : 2.0"_s);
            box->cmdOk()->click();
            QTRY_VERIFY(!f.program->about().existing());
            QVERIFY(!state.OnTop && !state.OnTopSuspended);
        }
        // On top: off while the box is open, a second "?" changes nothing, OK gives it back.
        {
            ProgramFixture f;
            frmMain &main = f.main();
            SharedState &state = f.program->sharedState();
            main.mnuOnTop()->trigger();
            main.cmdAbt()->click();
            frmAbout *box = f.program->about().existing();
            QVERIFY(!state.OnTop && state.OnTopSuspended);
            main.cmdAbt()->click();
            QCOMPARE(f.program->about().existing(), box);
            QVERIFY(box->isVisible() && !state.OnTop && state.OnTopSuspended);
            f.program->about().cmdOk_Click();
            QVERIFY(state.OnTop && !state.OnTopSuspended);
            QVERIFY(main.mnuOnTop()->isChecked());
        }
        // Shut down with the box open: off in memory, yet saved as the check mark shows it.
        {
            ProgramFixture f;
            frmMain &main = f.main();
            main.mnuOnTop()->trigger();
            main.cmdAbt()->click();
            QPointer<frmAbout> box = f.program->about().existing();
            main.close();
            QTRY_VERIFY(!box || !box->isVisible());
            QVERIFY(!f.program->sharedState().OnTop);
            QCOMPARE(f.settings->stored(u"Ontop"_s), u"True"_s);
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
    }
};

QTEST_MAIN(TestWindows)
#include "test_windows.moc"
