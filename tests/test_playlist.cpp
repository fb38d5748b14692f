// The playlist: the list-file format, the panel's commands, adding files and folders, the CD-ROM drive
// found in the mount table and the Video CD commands on a disc laid out in a temporary folder, on a fake
// engine.
#include "FileBytes.h"
#include "ProgramFixture.h"
#include "core/FolderScan.h"
#include "core/MediaKind.h"
#include "core/UserFile.h"
#include "disc/CdDrive.h"
#include "disc/VideoCdDisc.h"
#include "playlist/DialogFilters.h"
#include "playlist/ListFile.h"
#include "playlist/Playlist.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/VideoCd.h"
#include "ui/Marquee.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeDatabase>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using St = FakeMediaEngine::State;

namespace {

// A disc: the track folder and files under a root, each name as given.
QString layOut(const QTemporaryDir &root, const QString &folder, const QStringList &files)
{
    QDir(root.path()).mkpath(folder);
    for (const QString &name : files)
        writeBytes(root.filePath(folder + u'/' + name), "not really MPEG");
    return root.path();
}

} // namespace

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

class TestPlaylist : public QObject {
    Q_OBJECT
    using B = QByteArray;
    using L = QStringList;

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
        QVERIFY(writeBytes(old, "x"));
        f.dialogs.fileAnswers = {old};
        f.p.cmdAPlayList_Click(2);
        QCOMPARE(QFileInfo(old).size(), 0);

        const QStringList list = {"/home/u/Films/a, b.avi", "-", "/home/u/Musique/été.mp3"};
        f.main().lstPlay()->addItems(list);
        const QString path = f.appFolder.filePath(u"ma liste"_s);
        const QString hand = f.appFolder.filePath(u"hand.lst"_s);
        QVERIFY(writeBytes(hand, "a.mp3,b.mp3\nc.mp3"));
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
        f.p.cmdAPlayList_Click(0); // the add button opens the add menu
        QTRY_VERIFY(f.main().mnuMain()->isVisible());
        f.main().mnuMain()->hide();

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
                                                   : writeBytes(media.filePath(QLatin1String(name)), "x"));
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

    void writtenFormatIsByteExactAndReadsBackEveryEntryAPathCanBe()
    {
        QCOMPARE(ListFile::encode({u"C:\\Musique\\a.mp3"_s}), QByteArray("\"C:\\Musique\\a.mp3\"\r\n"));
        // Accented names are written in the locale's encoding (UTF-8 here), nothing escaped.
        QCOMPARE(ListFile::encode({u"/home/zoé/été.ogg"_s, u"-"_s, QString()}),
                 QByteArray("\"/home/zo\xC3\xA9/\xC3\xA9t\xC3\xA9.ogg\"\r\n\"-\"\r\n\"\"\r\n"));
        const QStringList entries = {"C:\\Films\\a, b.avi",  "/cd/MPEGAV/AVSEQ01.DAT", "-", "",
                                     "  leading blanks.mp3", "/tmp/è ü ß 日本.wav"};
        QCOMPARE(ListFile::decode(ListFile::encode(entries)), entries);
    }

    void readingIsTolerantOfHandWrittenAndForeignFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        const L ab = {"a.mp3", "b.mp3"};
        QTest::newRow("CR LF") << B("\"a.mp3\"\r\n\"b.mp3\"\r\n") << ab;
        QTest::newRow("LF") << B("\"a.mp3\"\n\"b.mp3\"\n") << ab;
        QTest::newRow("CR") << B("\"a.mp3\"\r\"b.mp3\"\r") << ab;
        QTest::newRow("no final line end") << B("\"a.mp3\"\r\n\"b.mp3\"") << ab;
        QTest::newRow("UTF-8 byte-order mark") << B("\xEF\xBB\xBF\"a.mp3\"\r\n\"b.mp3\"\r\n") << ab;
        QTest::newRow("unquoted, comma separated") << B("a.mp3,b.mp3\r\n") << ab;
        QTest::newRow("blanks before fields") << B("  a.mp3,   \"b.mp3\"\r\n") << ab;
        QTest::newRow("blank lines") << B("\r\n\"a.mp3\"\r\n\r\n\r\nb.mp3\r\n\r\n") << ab;
        QTest::newRow("trailing junk") << B("\"a.mp3\" junk\r\n\"b.mp3\"x,\r\n") << L{"a.mp3", "b.mp3", ""};
        QTest::newRow("quote inside splits") << B("\"say \"hi\".mp3\"\r\n") << L{"say "};
        QTest::newRow("unterminated quote ends at the line end") << B("\"a.mp3\r\nb.mp3\r\n") << ab;
        QTest::newRow("empty file") << B() << L();
        QTest::newRow("Windows-1252") << B("\"C:\\\xE9t\xE9 \x80 \x9C.mp3\"\r\n") << L{u"C:\\été € œ.mp3"_s};
        QTest::newRow("UTF-8 accents") << B("\"C:\\\xC3\xA9t\xC3\xA9.mp3\"\r\n") << L{u"C:\\été.mp3"_s};
        QTest::newRow("one Windows-1252 entry among UTF-8 ones")
            << B("\"/\xC3\xA9t\xC3\xA9.mp3\"\r\n\"/\xE9t\xE9.mp3\",\xC3\xA9\r\n")
            << L{u"/été.mp3"_s, u"/été.mp3"_s, u"é"_s};
    }

    void readingIsTolerantOfHandWrittenAndForeignFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QCOMPARE(ListFile::decode(bytes), expected);
    }

    void writingReplacesAtomicallyOrFailsWithoutHarm()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"list.lst"_s);
        QVERIFY(ListFile::write(path, {u"old.mp3"_s}));
        QVERIFY(ListFile::write(path, {u"new.mp3"_s}));
        QCOMPARE(readBytes(path), QByteArray("\"new.mp3\"\r\n"));
        // No temporary file is left behind next to it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"list.lst"_s});
        // A folder that cannot be written keeps the old file (root writes there regardless).
        if (::geteuid() != 0) {
            QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            QVERIFY(!ListFile::write(path, {u"other.mp3"_s}));
            QFile::setPermissions(dir.path(),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QCOMPARE(readBytes(path), QByteArray("\"new.mp3\"\r\n"));
        }
        QVERIFY(ListFile::write(path, {}));
        QCOMPARE(readBytes(path), QByteArray());
        QCOMPARE(ListFile::read(path), std::optional<QStringList>(QStringList()));

        // A link is followed to a regular file, which keeps its permissions. A folder, a named pipe (which
        // a careless open would wait on), a link to one or to nothing is neither read nor replaced.
        const QString target = dir.filePath(u"target.lst"_s), link = dir.filePath(u"link.lst"_s);
        QVERIFY(writeBytes(target, "x") && QFile::link(target, link));
        QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        const QFileDevice::Permissions permissions = QFile::permissions(target);
        QVERIFY(ListFile::write(link, {u"a.mp3"_s}) && QFileInfo(link).isSymLink());
        QCOMPARE(readBytes(target), QByteArray("\"a.mp3\"\r\n"));
        QCOMPARE(QFile::permissions(target), permissions);
        const QStringList odd = {dir.filePath(u"folder"_s), dir.filePath(u"pipe"_s),
                                 dir.filePath(u"to pipe"_s), dir.filePath(u"to nothing"_s)};
        QVERIFY(QDir().mkdir(odd[0]) && ::mkfifo(QFile::encodeName(odd[1]).constData(), 0600) == 0);
        QVERIFY(QFile::link(odd[1], odd[2]) && QFile::link(dir.filePath(u"nothing"_s), odd[3]));
        for (const QString &name : odd) {
            QVERIFY2(!ListFile::write(name, {u"a.mp3"_s}) && !ListFile::read(name), qPrintable(name));
            QVERIFY(!QFileInfo(name).isFile());
        }
        // Larger than any real list: taken as missing, without being read.
        QFile huge(dir.filePath(u"huge.lst"_s));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(UserFile::LargestRead + 1));
        QVERIFY(!ListFile::read(huge.fileName()).has_value());
    }

    void loadEmptiesTheListOnlyOnceTheFileIsOpenAndSavesBackTheSameBytes()
    {
        QTemporaryDir dir;
        QListWidget lstPlay;
        lstPlay.addItem(u"kept.mp3"_s);
        QVERIFY(!Playlist::load(lstPlay, dir.filePath(u"missing.lst"_s)));
        QCOMPARE(Playlist::entries(lstPlay), QStringList{"kept.mp3"});
        const QString path = dir.filePath(u"three.lst"_s);
        QVERIFY(ListFile::write(path, {u"/m/1.mp3"_s, u"/m/2, deux.avi"_s, u"-"_s}));
        QVERIFY(Playlist::load(lstPlay, path));
        QCOMPARE(Playlist::entries(lstPlay), (QStringList{"/m/1.mp3", "/m/2, deux.avi", "-"}));
        const QString again = dir.filePath(u"again.lst"_s);
        QVERIFY(Playlist::save(lstPlay, again));
        QCOMPARE(readBytes(again), readBytes(path));
    }

    void selectionShowsTheFileNameAndKeepsItForMarkers()
    {
        QListWidget lstPlay;
        QLabel txtFN;
        lstPlay.addItems({"C:\\Musique\\Album\\titre.mp3", "titre.mp3", "-", "/home/u/Musique/chanson.ogg",
                          "C:\\Dossier\\", ""});
        const auto select = [&](int row) {
            lstPlay.setCurrentRow(row);
            Playlist::lstPlay_Click(lstPlay, txtFN);
            return txtFN.text().remove(u" Chanson selectionnée :    "_s) + u'|' + txtFN.toolTip();
        };
        QCOMPARE(select(0), u"titre.mp3|C:\\Musique\\Album\\titre.mp3"_s);
        QCOMPARE(select(3), u"chanson.ogg|/home/u/Musique/chanson.ogg"_s);
        // A marker, an empty entry and no selection leave the caption and tooltip alone.
        for (int row : {2, 5, -1})
            QCOMPARE(select(row), u"chanson.ogg|/home/u/Musique/chanson.ogg"_s);
        QCOMPARE(select(1), u"titre.mp3|titre.mp3"_s);
        QCOMPARE(select(4), u"|C:\\Dossier\\"_s);
    }

    void theFirstOpticalDriveOfTheMountTable_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("root");
        const QByteArray system =
            "proc /proc proc rw 0 0\n/dev/vda1 / ext4 rw 0 0\ntmpfs /tmp tmpfs rw 0 0\n";
        QTest::newRow("no drive") << system << QString();
        QTest::newRow("one drive") << system + "/dev/sr0 /media/cdrom0 iso9660 ro 0 0\n"
                                   << "/media/cdrom0";
        QTest::newRow("two drives, the first is used")
            << system + "/dev/sr1 /media/cdrom1 iso9660 ro 0 0\n/dev/sr0 /media/cdrom0 udf ro 0 0\n"
            << "/media/cdrom1";
        QTest::newRow("a Video CD image mounted from a loop device")
            << system + "/dev/loop3 /mnt/vcd iso9660 ro 0 0\n"
            << "/mnt/vcd";
        QTest::newRow("a disc whose label holds blanks")
            << system + "/dev/sr0 /media/u/MON\\040FILM udf ro 0 0\n"
            << "/media/u/MON FILM";
        QTest::newRow("a disc of another file system, mounted from the drive")
            << system + "/dev/cdrom /media/cd auto ro 0 0\n"
            << "/media/cd";
        QTest::newRow("a short line") << QByteArray("garbage\n/dev/sr0\n") << QString();
    }

    void theFirstOpticalDriveOfTheMountTable()
    {
        QFETCH(QByteArray, table);
        QFETCH(QString, root);
        QCOMPARE(CdDrive::firstIn(table), root);
    }

    void theFirstOpticalDriveWithOrWithoutADisc_data()
    {
        QTest::addColumn<QByteArray>("cdromInfo");
        QTest::addColumn<QStringList>("block");
        QTest::addColumn<QStringList>("libcdio");
        QTest::addColumn<QString>("drive");
        const QByteArray info =
            "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n\ndrive name:\t\tsr10\tsr2\n";
        QTest::newRow("kernel's table") << info << QStringList() << QStringList() << "/dev/sr2";
        QTest::newRow("block devices")
            << QByteArray() << QStringList{"sr1", "sr0"} << QStringList() << "/dev/sr0";
        QTest::newRow("libcdio") << QByteArray() << QStringList() << QStringList{"/dev/cdrw"} << "/dev/cdrw";
        QTest::newRow("none: mounts") << QByteArray() << QStringList() << QStringList() << "/mnt/vcd";
    }
    void theFirstOpticalDriveWithOrWithoutADisc()
    {
        QFETCH(QByteArray, cdromInfo);
        QFETCH(QStringList, block);
        QFETCH(QStringList, libcdio);
        QFETCH(QString, drive);
        QCOMPARE(CdDrive::firstDrive(cdromInfo, block, libcdio, "/dev/loop3 /mnt/vcd iso9660 ro 0 0\n"),
                 drive);
    }

    void theDriveBehindAMountedDisc()
    {
        const QByteArray table = "/dev/vda1 / ext4 rw 0 0\n/dev/sr0 /media/u/MON\\040FILM udf ro 0 0\n";
        QCOMPARE(CdDrive::deviceMountedAt(QStringLiteral("/media/u/MON FILM/"), table), "/dev/sr0");
        QCOMPARE(CdDrive::deviceMountedAt(QStringLiteral("/media/u"), table), QString());
    }

    void theTracksAreFoundWhateverTheirCase()
    {
        QTemporaryDir disc;
        layOut(disc, u"MPEGAV"_s, {u"AVSEQ02.DAT"_s, u"avseq01.dat"_s, u"MUSIC01.DAT"_s, u".avseq09.dat"_s});
        QDir(disc.path()).mkpath(u"MPEGAV/AVSEQ03.DIR"_s);
        const QString at = disc.path() + u"/MPEGAV/"_s;
        QCOMPARE(VideoCd::tracks(disc.path()), (QStringList{at + u"avseq01.dat"_s, at + u"AVSEQ02.DAT"_s}));

        // A disc that is not a Video CD, an empty drive, no drive at all (the current folder).
        QTemporaryDir data;
        layOut(data, u"DATA"_s, {u"AVSEQ01.DAT"_s});
        QVERIFY(VideoCd::tracks(data.path()).isEmpty());
        QVERIFY(VideoCd::tracks(data.filePath(u"nothing"_s)).isEmpty());
        const QString before = QDir::currentPath();
        QDir::setCurrent(layOut(data, u"mpegav"_s, {u"AVSEQ01.DAT"_s}));
        QCOMPARE(VideoCd::tracks(QString()), QStringList{u"mpegav/AVSEQ01.DAT"_s});
        QDir::setCurrent(before);
    }

    // Eight sectors read as one run where some fail: one that reads on its own second try arrives whole,
    // one that never reads is zeros, and their neighbours are whole.
    void badSectorsAreTriedAgainThenLeftAsZeros()
    {
        QList<int> failures = {0, 0, 9, 2, 0, 0, 0, 9}; // tries that fail, by sector
        constexpr int Size = VideoCdDisc::RawSectorSize;
        const auto read = [&](std::int32_t first, std::uint32_t count, std::uint8_t *out) {
            bool ok = true;
            for (std::int32_t i = first; i < first + std::int32_t(count); ++i) {
                std::memset(out + (i - first) * Size, 100 + i, Size);
                ok = failures[i]-- <= 0 && ok;
            }
            return ok;
        };
        std::vector<std::uint8_t> sectors(8 * Size);
        QCOMPARE(VideoCdDisc::readSkippingBad(read, 0, 8, sectors.data()), 2u);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(sectors[i * Size] + sectors[i * Size + Size - 1], i == 2 || i == 7 ? 0 : 2 * (100 + i));
    }

    void addingTwiceAppendsTwiceAndChangesNothingElse()
    {
        QTemporaryDir disc;
        ProgramFixture f;
        frmMain &main = f.main();
        f.program->sharedState().CdDrives = u"  "_s + layOut(disc, u"MPEGAV"_s, {u"AVSEQ01.DAT"_s}) + u" "_s;
        main.lstPlay()->addItem(u"/m/a.mp3"_s);
        f.program->videoCd().mnuAddVCD_Click();
        main.mnuAddVCD()->trigger();
        const QString track = disc.filePath(u"MPEGAV/AVSEQ01.DAT"_s);
        QCOMPARE(f.entries(), (QStringList{u"/m/a.mp3"_s, track, track}));
        QCOMPARE(main.lstPlay()->currentRow(), -1);
        QVERIFY(f.engine().opened.isEmpty());
    }

    void autoPlayReplacesTheListAndStartsTheFirstTrack()
    {
        QTemporaryDir disc;
        ProgramFixture f;
        frmMain &main = f.main();
        SharedState &state = f.program->sharedState();
        main.lstPlay()->addItems({u"/m/a.mp3"_s, u"/m/b.mp3"_s});
        main.lstPlay()->setCurrentRow(1);
        state.CurrentIndex = 1;

        // An empty drive: nothing changes, no box.
        state.CdDrives = disc.path();
        main.mnuAutoVCD()->trigger();
        QCOMPARE(f.entries(), (QStringList{u"/m/a.mp3"_s, u"/m/b.mp3"_s}));
        QVERIFY(f.engine().opened.isEmpty() && f.errorBoxes.isEmpty());

        layOut(disc, u"MPEGAV"_s, {u"AVSEQ01.DAT"_s, u"AVSEQ02.DAT"_s});
        const QString first = disc.filePath(u"MPEGAV/AVSEQ01.DAT"_s);
        const QString shownBefore = main.txtFN()->text();
        f.engine().durationOfEachFile = 74 * 60 + 0.9;
        main.mnuAutoVCD()->trigger();
        QCOMPARE(f.entries(), (QStringList{first, disc.filePath(u"MPEGAV/AVSEQ02.DAT"_s)}));
        QCOMPARE(f.engine().FileName(), first);
        QCOMPARE(f.engine().state(), FakeMediaEngine::State::Playing);
        QCOMPARE(main.scrlTime()->maximum(), 4440);
        QCOMPARE(main.txtTitle()->text(), u" - Qwelto Player 2.0 - "_s + shownBefore + QString(45, u' '));
        QVERIFY(f.program->videoWindow().isVisible());
        QVERIFY(f.errorBoxes.isEmpty());
        QCOMPARE(state.CurrentIndex, 1);
    }

    void aTrackThatCannotBeOpenedIsReportedAndPlayGoesOn()
    {
        QTemporaryDir disc;
        ProgramFixture f;
        f.main();
        f.program->sharedState().CdDrives = layOut(disc, u"MPEGAV"_s, {u"AVSEQ01.DAT"_s});
        const QString track = disc.filePath(u"MPEGAV/AVSEQ01.DAT"_s);
        f.engine().unplayable.insert(track);
        f.program->videoCd().mnuAutoVCD_Click();
        QCOMPARE(f.errorBoxes, QStringList{f.engine().ErrorDescription()});
        QCOMPARE(f.entries(), QStringList{track});
        QCOMPARE(f.engine().plays, 1);
        QVERIFY(f.program->videoWindow().isVisible());
    }

    // The order and the kinds of "add a folder", on folders made for each row.
    void namesComeGroupedByKindEachGroupInNaturalOrder_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("expected");
        // Created in reverse so that creation order cannot pass for the sort.
        QTest::newRow("an album numbered past nine")
            << QStringList{u"12 - Fin.mp3"_s, u"2 - Deux.mp3"_s, u"10 - Dix.mp3"_s, u"01 - Un.mp3"_s,
                           u"9 - Neuf.mp3"_s}
            << QStringList{u"01 - Un.mp3"_s, u"2 - Deux.mp3"_s, u"9 - Neuf.mp3"_s, u"10 - Dix.mp3"_s,
                           u"12 - Fin.mp3"_s};
        QTest::newRow("case and accents set aside")
            << QStringList{u"Zèbre.wav"_s, u"été.wav"_s, u"Eau.wav"_s, u"abricot.wav"_s, u"Étoile.wav"_s}
            << QStringList{u"abricot.wav"_s, u"Eau.wav"_s, u"été.wav"_s, u"Étoile.wav"_s, u"Zèbre.wav"_s};
        QTest::newRow("the seven kinds first, then the newer ones in their own order")
            << QStringList{u"a.mov"_s,  u"b.flac"_s, u"c.ogg"_s, u"d.wma"_s, u"e.dat"_s,  u"f.MID"_s,
                           u"g.midi"_s, u"h.vob"_s,  u"i.asf"_s, u"j.txt"_s, u"k.opus"_s, u"l.mp3"_s}
            << QStringList{u"e.dat"_s, u"l.mp3"_s,  u"d.wma"_s, u"c.ogg"_s, u"k.opus"_s, u"b.flac"_s,
                           u"f.MID"_s, u"g.midi"_s, u"h.vob"_s, u"i.asf"_s, u"a.mov"_s};
        QTest::newRow("names equal but for case keep one order")
            << QStringList{u"b.mp3"_s, u"B.mp3"_s, u"a.mp3"_s}
            << QStringList{u"a.mp3"_s, u"B.mp3"_s, u"b.mp3"_s};
    }

    void namesComeGroupedByKindEachGroupInNaturalOrder()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, expected);
        QTemporaryDir folder;
        for (auto name = files.crbegin(); name != files.crend(); ++name)
            QVERIFY(QFile(folder.filePath(*name)).open(QIODevice::WriteOnly));
        QCOMPARE(FolderScan::scan(folder.path()).replaceInStrings(folder.path() + u'/', QString()), expected);
    }

    // Every kind is offered for the type the desktop gives its files, under names the desktop knows, and
    // can be chosen in the dialog.
    void everyKindIsOfferedByTheDesktopEntryAndTheDialog()
    {
        const QMimeDatabase desktop;
        QStringList offered;
        for (const QByteArray &line : readBytes(QStringLiteral(QWELTO_DESKTOP_ENTRY)).split('\n'))
            if (line.startsWith("MimeType="))
                offered = QString::fromUtf8(line.mid(9)).split(u';', Qt::SkipEmptyParts);
        QCOMPARE(offered, MediaKind::offeredMimeTypes());
        const QStringList choosable = mediaDialogFilter().section(u'|', -1).split(u';');
        for (const MediaKind::Kind &kind : MediaKind::kinds()) {
            const QString ending = QString::fromLatin1(kind.ending);
            QVERIFY2(choosable.contains(u"*."_s + ending), kind.ending);
            for (const QString &type : QString::fromLatin1(kind.mimeTypes).split(u' ', Qt::SkipEmptyParts))
                QVERIFY2(desktop.mimeTypeForName(type).isValid(), qPrintable(type));
            const QMimeType given = desktop.mimeTypeForFile(u"x."_s + ending, QMimeDatabase::MatchExtension);
            QVERIFY2(given.isDefault() || offered.contains(given.name()),
                     qPrintable(ending + u' ' + given.name()));
        }
    }

    // Playlists of other players (M3U, M3U8, PLS) read by "Charger" and written by "Sauvgarder".
    void readsEachFormatSkippingBadLines_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        // "%D" stands for the list's folder, "%P" for the folder above it.
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("extended m3u") << u"a.m3u"_s
                                      << QByteArray("#EXTM3U\r\n#EXTINF:123,Artiste - Titre\r\n/abs/a.mp3\r\n"
                                                    "  rel/b.ogg  \r\n\r\n# note\r\n../c.wav\r\n-\n")
                                      << QStringList{"/abs/a.mp3", "%D/rel/b.ogg", "%P/c.wav", "-"};
        QTest::newRow("m3u8 with URIs")
            << u"b.M3U8"_s
            << QByteArray("\xEF\xBB\xBF#EXTM3U\nfile:///home/u/M%C3%BAsica/"
                          "%C3%A9t%C3%A9%201.mp3\nhttp://radio.example/live\n"
                          "/home/u/Vidéos/film.avi\nfile://localhost/srv/a.mp3\nfile://nas/srv/b.mp3")
            << QStringList{u"/home/u/Música/été 1.mp3"_s, u"/home/u/Vidéos/film.avi"_s, u"/srv/a.mp3"_s};
        QTest::newRow("m3u in Windows-1252, but for one line")
            << u"c.m3u"_s << QByteArray("caf\xe9 \x93live\x94.mp3\r\n\xC3\xA9t\xC3\xA9.mp3\r\n")
            << QStringList{u"%D/café “live”.mp3"_s, u"%D/été.mp3"_s};
        QTest::newRow("broken m3u")
            << u"d.m3u"_s
            << (QByteArray("a") + '\0' +
                "b.mp3\nfile://\nfile:///%00x.mp3\nfile:///a%0Ab.mp3\nhttps://x/y\n\n#\n/ok")
            << QStringList{"/ok"};
        QTest::newRow("pls") << u"e.pls"_s
                             << QByteArray(
                                    "[playlist]\nNumberOfEntries=3\nFile2=b.ogg\nTitle2=B\nFile1=/a.mp3\n"
                                    "file10=file:///c%20d.wav\nLength1=-1\nVersion=2\n")
                             << QStringList{"/a.mp3", "%D/b.ogg", "/c d.wav"};
        QTest::newRow("broken pls") << u"f.pls"_s
                                    << QByteArray(
                                           "[playlist]\nFile=x.mp3\nFileX=x.mp3\nFile3=\nFile+4=x.mp3\n"
                                           "File99999999999999999999999=x.mp3\n=x\nFile2 = /ok.mp3\r\n"
                                           "File1=http://radio/stream\n\xff")
                                    << QStringList{"/ok.mp3"};
        QTest::newRow("lst stays our format") << u"g.lst"_s << QByteArray("#EXTM3U,a.mp3\n[playlist]")
                                              << QStringList{"#EXTM3U", "a.mp3", "[playlist]"};
        QTest::newRow("m3u by its content")
            << u"h.txt"_s << QByteArray("#EXTM3U\nx.mp3\n") << QStringList{"%D/x.mp3"};
        QTest::newRow("pls by its content")
            << u"i"_s << QByteArray("[Playlist]\nFile1=/y.mp3\n") << QStringList{"/y.mp3"};
        QTest::newRow("other names, our format")
            << u"j.txt"_s << QByteArray("\"/z.mp3\"\r\n") << QStringList{"/z.mp3"};
    }

    void readsEachFormatSkippingBadLines()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"lists"_s);
        QVERIFY(writeBytes(QDir(folder).filePath(name), bytes));
        for (QString &e : expected)
            e.replace(u"%D"_s, folder).replace(u"%P"_s, dir.path());
        QCOMPARE(PlaylistFiles::read(QDir(folder).filePath(name)), std::optional<QStringList>(expected));
        QVERIFY(!PlaylistFiles::read(QDir(folder).filePath(u"missing.m3u"_s)));
    }

    void sauvgarderWritesTheFormatTheNameAsksFor_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray m3u = "#EXTM3U\n/m/a, b.mp3\n-\n/m/été.ogg\n";
        QTest::newRow("m3u8") << u"mix.m3u8"_s << u"mix.m3u8"_s << m3u;
        QTest::newRow("m3u") << u"mix.M3U"_s << u"mix.M3U"_s << m3u;
        QTest::newRow("pls") << u"mix.pls"_s << u"mix.pls"_s
                             << QByteArray("[playlist]\nFile1=/m/a, b.mp3\nFile2=-\nFile3=/m/été.ogg\n"
                                           "NumberOfEntries=3\nVersion=2\n");
        const QByteArray lst = "\"/m/a, b.mp3\"\r\n\"-\"\r\n\"/m/été.ogg\"\r\n\"\"\r\n";
        QTest::newRow("no extension") << u"mix"_s << u"mix.lst"_s << lst;
        QTest::newRow("another extension") << u"mix.txt"_s << u"mix.txt"_s << lst;
    }

    void sauvgarderWritesTheFormatTheNameAsksFor()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(QByteArray, bytes);
        ProgramFixture f;
        const QStringList list = {"/m/a, b.mp3", "-", u"/m/été.ogg"_s, ""};
        f.main().lstPlay()->addItems(list);
        const QString path = f.appFolder.filePath(written);
        f.dialogs.fileAnswers = {f.appFolder.filePath(typed), path};
        f.program->panel().cmdAPlayList_Click(2);
        QCOMPARE(readBytes(path), bytes);
        // "Charger" gives back every entry that names something.
        f.main().lstPlay()->clear();
        f.program->panel().cmdAPlayList_Click(3);
        QCOMPARE(f.entries(), path.endsWith(u"lst"_s) || path.endsWith(u"txt"_s) ? list : list.first(3));
    }
};

QTEST_MAIN(TestPlaylist)
#include "test_playlist.moc"
