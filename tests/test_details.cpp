// Small things of the main window and its dialogs that users ran into, one check each.
#include "ProgramFixture.h"
#include "dialogs/RememberedFolder.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTest>

class TestDetails : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theSelectionCaptionShowsWholeAboveTheList()
    {
        ProgramFixture f;
        const QLabel *caption = f.main().txtFN();
        QVERIFY(caption->alignment() & Qt::AlignTop);
        QVERIFY(caption->y() + caption->fontMetrics().height() <= f.main().lstPlay()->y());
    }

    void doubleSizeTwiceStillFillsTheWindow()
    {
        ProgramFixture f;
        f.main().lstPlay()->addItem(QStringLiteral("/m/film.avi"));
        f.main().lstPlay()->setCurrentRow(0);
        f.program->transport().lstPlay_DblClick();
        frmPlayer &video = f.program->videoWindow();
        f.main().mnuDouble()->trigger();
        const QSize filled = video.engineArea()->size();
        QVERIFY(filled.width() > 2 * 320);
        f.main().mnuDouble()->trigger();
        QCOMPARE(video.engineArea()->size(), filled);
    }

    void aClickOnTheSeekBarGoesWhereTheUserClicked()
    {
        ProgramFixture f;
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
        QVERIFY(!f.settings->values.contains(QStringLiteral("Options/LastFolder")));
        // A folder chosen for "add a folder" counts too.
        f.dialogs.folderAnswers = {lists.path()};
        f.program->adder().mnuAddDir_Click();
        f.program->panel().cmdAPlayList_Click(3);
        QCOMPARE(f.dialogs.fileRequests.last().initialFolder, lists.path());
    }

    void thePlaylistToggleAgreesWithThePanelWhenNoOptionApplies()
    {
        ProgramFixture f;
        // A value that does not convert ends the options' load before the panel's.
        f.settings->store(QStringLiteral("top"), QStringLiteral("haut"));
        frmMain &main = f.main();
        QVERIFY(!main.picPlayList()->isHidden());
        main.close();
        QCOMPARE(f.settings->stored(QStringLiteral("play")), QStringLiteral("1"));
    }

    void aRightClickOnTheMarqueeOpensTheWindowsMenuNotAnEditingOne()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        QVERIFY(main.childAt(main.txtTitle()->geometry().center()) != main.txtTitle());
    }
};

QTEST_MAIN(TestDetails)
#include "test_details.moc"
