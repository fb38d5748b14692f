#include "ProgramFixture.h"
#include "playlist/DialogFilters.h"
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

namespace {

void touch(const QString &path)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write("x");
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

class TestPlaylistPanel : public QObject {
    Q_OBJECT

    static QStringList entries(ProgramFixture &f) { return Playlist::entries(*f.main().lstPlay()); }
    static void fill(ProgramFixture &f, const QStringList &list) { f.main().lstPlay()->addItems(list); }

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void removeTakesTheSelectedEntryAndAlwaysClearsTheCaption()
    {
        ProgramFixture f;
        fill(f, {"/m/a.ogg", "/m/b.ogg", "/m/c.ogg"});
        QListWidget *lstPlay = f.main().lstPlay();
        QLabel *txtFN = f.main().txtFN();

        lstPlay->setCurrentRow(-1);
        txtFN->setText(QStringLiteral("something"));
        QTest::mouseClick(f.main().cmdAPlayList(1), Qt::LeftButton);
        QCOMPARE(entries(f).size(), 3);
        QCOMPARE(txtFN->text(), QString());

        lstPlay->setCurrentRow(2);
        f.program->panel().cmdAPlayList_Click(1);
        QCOMPARE(entries(f), (QStringList{"/m/a.ogg", "/m/b.ogg"}));
        QCOMPARE(lstPlay->currentRow(), -1);
        QCOMPARE(txtFN->text(), QString());

        // The full stop typed in the list does the same; the Delete key does nothing here.
        lstPlay->setCurrentRow(0);
        QTest::keyClick(lstPlay, Qt::Key_Delete);
        QCOMPARE(entries(f).size(), 2);
        lstPlay->setCurrentRow(0);
        QTest::keyClick(lstPlay, '.');
        QCOMPARE(entries(f), QStringList{"/m/b.ogg"});
    }

    void enterPlaysTheSelectedEntryLikeADoubleClick()
    {
        ProgramFixture f;
        fill(f, {"/m/a.ogg", "/m/b.avi"});
        f.main().lstPlay()->setCurrentRow(1);
        QTest::keyClick(f.main().lstPlay(), Qt::Key_Return);
        QCOMPARE(f.engine().FileName(), QStringLiteral("/m/b.avi"));
        QCOMPARE(f.program->sharedState().CurrentIndex, 1);
    }

    void saveThenLoadGivesBackTheSameList()
    {
        ProgramFixture f;
        const QStringList list = {"/home/u/Films/a, b.avi", "-", "/home/u/Musique/été.mp3"};
        fill(f, list);
        const QString path = f.appFolder.filePath(QStringLiteral("ma liste"));
        f.dialogs.fileAnswers = {path, path};
        f.program->panel().cmdAPlayList_Click(2);
        // Exactly the typed name, no extension added.
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(f.dialogs.fileRequests[0].open, false);
        QCOMPARE(f.dialogs.fileRequests[0].nameFilters.size(), 2);
        QVERIFY(!f.dialogs.fileRequests[0].overwritePrompt);

        f.main().lstPlay()->clear();
        f.main().lstPlay()->addItem(QStringLiteral("/other.ogg"));
        f.main().txtFN()->setText(QStringLiteral("caption"));
        f.program->panel().cmdAPlayList_Click(3);
        QCOMPARE(entries(f), list);
        QCOMPARE(f.main().txtFN()->text(), QString());
    }

    void saveReplacesAnExistingFileAndAnEmptyListGivesZeroBytes()
    {
        ProgramFixture f;
        const QString path = f.appFolder.filePath(QStringLiteral("old.lst"));
        touch(path);
        f.dialogs.fileAnswers = {path};
        f.program->panel().cmdAPlayList_Click(2);
        QCOMPARE(bytesOf(path), QByteArray());
    }

    void theDialogsPauseTheEngineAndShowTheVideoWindowAgain()
    {
        ProgramFixture f;
        fill(f, {"/m/a.avi"});
        f.main().lstPlay()->setCurrentRow(0);
        f.program->transport().lstPlay_DblClick();
        f.program->videoWindow().hide();
        f.main().txtFN()->setText(QStringLiteral("kept"));
        f.program->panel().cmdAPlayList_Click(3); // cancelled
        QCOMPARE(f.engine().state(), FakeMediaEngine::State::Paused);
        QVERIFY(!f.program->sharedState().IsPaused);
        QVERIFY(f.program->videoWindow().isVisible());
        QCOMPARE(entries(f), QStringList{"/m/a.avi"});
        QCOMPARE(f.main().txtFN()->text(), QStringLiteral("kept"));
    }

    void loadingAFileThatCannotBeReadEmptiesTheList()
    {
        ProgramFixture f;
        fill(f, {"/m/a.ogg"});
        f.dialogs.fileAnswers = {f.appFolder.filePath(QStringLiteral("no such file.lst"))};
        f.program->panel().cmdAPlayList_Click(3);
        QVERIFY(entries(f).isEmpty());
    }

    void loadingAHandWrittenFileGivesOneEntryPerName()
    {
        ProgramFixture f;
        const QString path = f.appFolder.filePath(QStringLiteral("hand.lst"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("a.mp3,b.mp3\nc.mp3");
        file.close();
        f.dialogs.fileAnswers = {path};
        f.program->panel().cmdAPlayList_Click(3);
        QCOMPARE(entries(f), (QStringList{"a.mp3", "b.mp3", "c.mp3"}));
    }

    void emptyingKeepsTheCurrentFilePlaying()
    {
        ProgramFixture f;
        fill(f, {"/m/a.ogg", "/m/b.ogg"});
        f.main().lstPlay()->setCurrentRow(1);
        f.program->transport().lstPlay_DblClick();
        f.program->panel().cmdAPlayList_Click(4);
        QVERIFY(entries(f).isEmpty());
        QCOMPARE(f.engine().state(), FakeMediaEngine::State::Playing);
        QCOMPARE(f.program->sharedState().CurrentIndex, 1);
        f.program->panel().cmdAPlayList_Click(7); // no such button
    }

    void theAddButtonOpensTheAddMenu()
    {
        ProgramFixture f;
        f.main().show();
        f.program->panel().cmdAPlayList_Click(0);
        QTRY_VERIFY(f.main().mnuMain()->isVisible());
        QCOMPARE(f.main().mnuMain()->actions().size(), 2);
        QCOMPARE(f.main().mnuFile()->text(), QStringLiteral("Ajouter un &fichier"));
        QCOMPARE(f.main().mnuAddDir()->text(), QStringLiteral("Ajouter un &répertoir"));
        f.main().mnuMain()->hide();
    }

    void openReplacesTheListAndPlaysTheChosenFile()
    {
        for (const bool repeat : {false, true}) {
            ProgramFixture f;
            QStringList ten;
            for (int i = 0; i < 10; ++i)
                ten.append(QStringLiteral("/m/%1.ogg").arg(i));
            fill(f, ten);
            f.main().chkRepeat()->setCheckState(repeat ? Qt::Checked : Qt::Unchecked);
            f.main().lstPlay()->setCurrentRow(5);
            f.program->transport().lstPlay_DblClick();
            f.dialogs.fileAnswers = {QStringLiteral("/m/new.mp3")};
            f.program->adder().cmdOpen_Click();
            QCOMPARE(entries(f), QStringList{"/m/new.mp3"});
            QCOMPARE(f.engine().FileName(), QStringLiteral("/m/new.mp3"));
            QCOMPARE(f.engine().state(), FakeMediaEngine::State::Playing);
            QCOMPARE(f.dialogs.fileRequests[0].nameFilters.size(), 5);
            QVERIFY(f.dialogs.fileRequests[0].nameFilters[0].startsWith(
                QStringLiteral("Tous les fichiers Qwelto (*.dat, *.mp3, *.mpeg, *.mpg, *.avi, *.wav, *.cda, "
                               "*.mid, *.wma )")));
        }
    }

    void openCancelledStopsThenMovesOnWithinTheList()
    {
        ProgramFixture f;
        fill(f, {"/m/a.ogg", "/m/b.ogg", "/m/c.ogg"});
        f.main().lstPlay()->setCurrentRow(0);
        f.program->transport().lstPlay_DblClick();
        f.engine().advance(1.0);
        f.program->adder().cmdOpen_Click();
        QCOMPARE(entries(f).size(), 3);
        // Stopped before the dialog, then Next and Play ran: b plays.
        QCOMPARE(f.engine().opened, (QStringList{"/m/a.ogg", "/m/b.ogg"}));
        QVERIFY(f.program->videoWindow().isVisible() ||
                f.engine().FileName().endsWith(QLatin1String(".ogg")));
    }

    void addAFileAppendsAndTouchesNothingElse()
    {
        ProgramFixture f;
        fill(f, {"/m/a.ogg"});
        f.dialogs.fileAnswers = {QStringLiteral("/m/b.avi"), std::nullopt};
        f.program->adder().mnuFile_Click();
        f.program->adder().mnuFile_Click();
        QCOMPARE(entries(f), (QStringList{"/m/a.ogg", "/m/b.avi"}));
        QVERIFY(f.engine().opened.isEmpty());
        QCOMPARE(f.main().lstPlay()->currentRow(), -1);
    }

    void addAFolderGroupsByPatternAndSkipsSubFoldersAndHiddenFiles()
    {
        ProgramFixture f;
        QTemporaryDir media;
        for (const char *name :
             {"b.avi", "a.mp3", "c.dat", "CLIP.MPEG", "notes.txt", ".hidden.mp3", "x.mpg", "song.WMA"})
            touch(media.filePath(QLatin1String(name)));
        QVERIFY(QDir(media.path()).mkdir(QStringLiteral("sub.mp3")));
        QVERIFY(QDir(media.path()).mkdir(QStringLiteral("deeper")));
        touch(media.filePath(QStringLiteral("deeper/inner.mp3")));

        fill(f, {"/m/first.ogg"});
        f.dialogs.folderAnswers = {media.path(), media.path() + QLatin1Char('/'), std::nullopt};
        f.program->adder().mnuAddDir_Click();
        const QString dir = media.path() + QLatin1Char('/');
        const QStringList once = {dir + "c.dat", dir + "b.avi",     dir + "a.mp3",
                                  dir + "x.mpg", dir + "CLIP.MPEG", dir + "song.WMA"};
        QCOMPARE(entries(f), QStringList{"/m/first.ogg"} + once);
        QCOMPARE(
            f.dialogs.folderPrompts[0],
            QStringLiteral(
                "Qwelto Player 2.0 va chercher les fichiers multimédia dans le répertoire selectionné :"));

        // The same folder again (chosen with a trailing separator): appended again, one separator.
        f.program->adder().mnuAddDir_Click();
        QCOMPARE(entries(f), QStringList{"/m/first.ogg"} + once + once);
        // Cancelled: nothing changes.
        f.program->adder().mnuAddDir_Click();
        QCOMPARE(entries(f).size(), 13);
        QVERIFY(f.engine().opened.isEmpty());
    }

    void pathsJoinWithOneSeparator()
    {
        QCOMPARE(FolderScan::join(QStringLiteral("/"), QStringLiteral("clip.avi")),
                 QStringLiteral("/clip.avi"));
        QCOMPARE(FolderScan::join(QStringLiteral("/home/u/Musique"), QStringLiteral("clip.avi")),
                 QStringLiteral("/home/u/Musique/clip.avi"));
    }

    void anUnreadableFolderAddsNothing()
    {
        if (::geteuid() == 0)
            QSKIP("root reads every folder");
        QTemporaryDir media;
        touch(media.filePath(QStringLiteral("a.mp3")));
        QFile::setPermissions(media.path(), QFileDevice::WriteOwner);
        QVERIFY(FolderScan::scan(media.path()).isEmpty());
        QFile::setPermissions(media.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
};

QTEST_MAIN(TestPlaylistPanel)
#include "test_playlistpanel.moc"
