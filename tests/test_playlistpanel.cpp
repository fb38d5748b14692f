#include "ProgramFixture.h"
#include "playlist/FolderScan.h"
#include "playlist/Playlist.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;
using St = FakeMediaEngine::State;

static bool write(const QString &path, const QByteArray &bytes = "x")
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

struct Rig : ProgramFixture {
    PlaylistPanel &p = program->panel();
    explicit Rig(const QStringList &list = {}) { main().lstPlay()->addItems(list); }
    QStringList entries() { return Playlist::entries(*main().lstPlay()); }
    void play(int row)
    {
        main().lstPlay()->setCurrentRow(row);
        program->transport().lstPlay_DblClick();
    }
};

class TestPlaylistPanel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void removeTakesTheSelectedEntryAndClearsTheCaptionAndEnterPlays()
    {
        Rig f({"/m/a.ogg", "/m/b.avi", "/m/c.ogg"});
        QListWidget *lstPlay = f.main().lstPlay();
        QLabel *txtFN = f.main().txtFN();
        lstPlay->setCurrentRow(-1);
        txtFN->setText(u"something"_s);
        QTest::mouseClick(f.main().cmdAPlayList(1), Qt::LeftButton);
        QCOMPARE(f.entries().size(), 3);
        QCOMPARE(txtFN->text(), QString());
        lstPlay->setCurrentRow(2);
        f.p.cmdAPlayList_Click(1);
        QCOMPARE(f.entries(), (QStringList{"/m/a.ogg", "/m/b.avi"}));
        QCOMPARE(lstPlay->currentRow(), -1);
        QCOMPARE(txtFN->text(), QString());
        // The full stop typed in the list does the same; the Delete key does nothing here.
        lstPlay->setCurrentRow(0);
        QTest::keyClick(lstPlay, Qt::Key_Delete);
        QCOMPARE(f.entries().size(), 2);
        lstPlay->setCurrentRow(0);
        QTest::keyClick(lstPlay, '.');
        QCOMPARE(f.entries(), QStringList{"/m/b.avi"});

        lstPlay->setCurrentRow(0);
        QTest::keyClick(lstPlay, Qt::Key_Return);
        QCOMPARE(f.engine().FileName(), u"/m/b.avi"_s);
        QCOMPARE(f.engine().state(), St::Playing);
    }

    // A damaged list file can hold a line of megabytes. The window lays out only its first part, or
    // every repaint of the list and the caption would take seconds; the entry itself stays whole.
    void anAbsurdlyLongEntryIsShownCutButKeptWhole()
    {
        const QString huge(1'000'000, u'z');
        const QString shown = Playlist::shownText(huge);
        QCOMPARE(shown.size(), Playlist::LongestShownText + 1);
        QVERIFY(huge.startsWith(shown.chopped(1)));
        Rig f({huge, shown});
        QListWidget *lstPlay = f.main().lstPlay();
        QStyleOptionViewItem option;
        option.initFrom(lstPlay);
        const QModelIndex hugeRow = lstPlay->model()->index(0, 0);
        const QModelIndex shownRow = lstPlay->model()->index(1, 0);
        QCOMPARE(lstPlay->itemDelegate()->sizeHint(option, hugeRow),
                 lstPlay->itemDelegate()->sizeHint(option, shownRow));
        lstPlay->setCurrentRow(0);
        QCOMPARE(f.main().txtFN()->text(), *Playlist::selectionCaption(shown));
        QCOMPARE(f.main().txtFN()->toolTip(), Playlist::shownText(huge));
        QCOMPARE(f.entries().first(), huge);
    }

    void saveAndLoadRoundTripEmptyOverwriteHandWrittenAndUnreadable()
    {
        Rig f;
        // An empty list saved over an existing file leaves zero bytes.
        const QString old = f.appFolder.filePath(u"old.lst"_s);
        QVERIFY(write(old));
        f.dialogs.fileAnswers = {old};
        f.p.cmdAPlayList_Click(2);
        QCOMPARE(QFileInfo(old).size(), 0);

        const QStringList list = {"/home/u/Films/a, b.avi", "-", "/home/u/Musique/été.mp3"};
        f.main().lstPlay()->addItems(list);
        const QString path = f.appFolder.filePath(u"ma liste"_s);
        const QString hand = f.appFolder.filePath(u"hand.lst"_s);
        QVERIFY(write(hand, "a.mp3,b.mp3\nc.mp3"));
        f.dialogs.fileAnswers = {path, path + u".lst"_s, hand, f.appFolder.filePath(u"no such file.lst"_s)};
        f.p.cmdAPlayList_Click(2);
        // The typed name with ".lst" added, and no question before replacing.
        QVERIFY(QFileInfo::exists(path + u".lst"_s));
        QCOMPARE(f.dialogs.fileRequests[1].open, false);
        QVERIFY(!f.dialogs.fileRequests[1].overwritePrompt);

        f.main().lstPlay()->clear();
        f.main().lstPlay()->addItem(u"/other.ogg"_s);
        f.main().txtFN()->setText(u"caption"_s);
        f.p.cmdAPlayList_Click(3);
        QCOMPARE(f.entries(), list);
        QCOMPARE(f.main().txtFN()->text(), QString());
        f.p.cmdAPlayList_Click(3);
        QCOMPARE(f.entries(), (QStringList{"a.mp3", "b.mp3", "c.mp3"}));
        f.p.cmdAPlayList_Click(3);
        QVERIFY(f.entries().isEmpty());
    }

    void emptyingKeepsPlayingAndTheDialogsPauseAndShowTheVideoWindowAgain()
    {
        Rig f({"/m/a.ogg", "/m/b.avi"});
        f.play(1);
        f.p.cmdAPlayList_Click(4);
        QVERIFY(f.entries().isEmpty());
        QCOMPARE(f.engine().state(), St::Playing);
        QCOMPARE(f.program->sharedState().CurrentIndex, 1);
        f.p.cmdAPlayList_Click(7); // no such button

        f.main().lstPlay()->addItem(u"/m/a.ogg"_s);
        f.program->videoWindow().hide();
        f.main().txtFN()->setText(u"kept"_s);
        f.p.cmdAPlayList_Click(3); // cancelled
        QCOMPARE(f.engine().state(), St::Paused);
        QVERIFY(!f.program->sharedState().IsPaused);
        QVERIFY(f.program->videoWindow().isVisible());
        QCOMPARE(f.entries(), QStringList{"/m/a.ogg"});
        QCOMPARE(f.main().txtFN()->text(), u"kept"_s);
    }

    void theAddButtonOpensTheAddMenu()
    {
        Rig f;
        f.main().show();
        f.p.cmdAPlayList_Click(0);
        QTRY_VERIFY(f.main().mnuMain()->isVisible());
        const QList<QAction *> items = f.main().mnuMain()->actions();
        QCOMPARE(items.size(), 4);
        QCOMPARE(items[0], f.main().mnuFile());
        QVERIFY(items[1]->isSeparator());
        QCOMPARE(items[2], f.main().mnuAddDir());
        QCOMPARE(items[3], f.main().mnuAddVCD());
        f.main().mnuMain()->hide();
    }

    void openCancelledMovesOnThenOpenReplacesTheListAndPlays()
    {
        for (const bool repeat : {false, true}) {
            const QStringList three = {"/m/a.ogg", "/m/b.ogg", "/m/c.ogg"};
            Rig f(three);
            f.main().chkRepeat()->setCheckState(repeat ? Qt::Checked : Qt::Unchecked);
            f.play(1);
            f.engine().advance(1.0);
            // Stopped before the dialog, then Next and Play run.
            f.program->adder().cmdOpen_Click();
            QCOMPARE(f.entries(), three);
            QCOMPARE(f.engine().opened, (QStringList{"/m/b.ogg", "/m/c.ogg"}));

            f.dialogs.fileAnswers = {u"/m/new.mp3"_s};
            f.program->adder().cmdOpen_Click();
            QCOMPARE(f.entries(), QStringList{"/m/new.mp3"});
            QCOMPARE(f.engine().FileName(), u"/m/new.mp3"_s);
            QCOMPARE(f.engine().state(), St::Playing);
        }
    }

    void addAFileOrAFolderGroupedByPatternSkippingSubFoldersAndHiddenFiles()
    {
        QTemporaryDir media;
        for (const char *name : {"b.avi", "a.mp3", "c.dat", "CLIP.MPEG", "notes.txt", ".hidden.mp3", "x.mpg",
                                 "song.WMA", "sub.mp3/", "deeper/", "deeper/inner.mp3"})
            QVERIFY(QByteArray(name).endsWith('/') ? QDir(media.path()).mkdir(QLatin1String(name))
                                                   : write(media.filePath(QLatin1String(name))));
        // A file is appended, nothing else changes; a cancelled file dialog adds nothing.
        Rig f({"/m/first.ogg"});
        f.dialogs.fileAnswers = {u"/m/b.avi"_s, std::nullopt};
        f.program->adder().mnuFile_Click();
        f.program->adder().mnuFile_Click();
        const QStringList before = {"/m/first.ogg", "/m/b.avi"};
        QCOMPARE(f.entries(), before);
        QCOMPARE(f.main().lstPlay()->currentRow(), -1);

        f.dialogs.folderAnswers = {media.path(), media.path() + u'/', std::nullopt};
        f.program->adder().mnuAddDir_Click();
        const QString dir = media.path() + u'/';
        const QStringList once = {dir + "c.dat", dir + "b.avi",     dir + "a.mp3",
                                  dir + "x.mpg", dir + "CLIP.MPEG", dir + "song.WMA"};
        QCOMPARE(f.entries(), before + once);
        // The same folder again (chosen with a trailing separator): appended again, one separator.
        f.program->adder().mnuAddDir_Click();
        QCOMPARE(f.entries(), before + once + once);
        // Cancelled: nothing changes.
        f.program->adder().mnuAddDir_Click();
        QCOMPARE(f.entries().size(), 14);
        QVERIFY(f.engine().opened.isEmpty());
        QCOMPARE(FolderScan::join(u"/"_s, u"clip.avi"_s), u"/clip.avi"_s);
        if (::geteuid() != 0) { // root reads every folder
            QFile::setPermissions(media.path(), QFileDevice::WriteOwner);
            QVERIFY(FolderScan::scan(media.path()).isEmpty());
            QFile::setPermissions(media.path(),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
    }
};

QTEST_MAIN(TestPlaylistPanel)
#include "test_playlistpanel.moc"
