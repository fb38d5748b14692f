// Small things of the main window and its dialogs that users ran into, one check each.
#include "ProgramFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTest>

class TestDetails : public QObject {
    Q_OBJECT

private Q_SLOTS:
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

QTEST_MAIN(TestDetails)
#include "test_details.moc"
