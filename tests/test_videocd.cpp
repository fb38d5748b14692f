// The Video CD commands on a disc laid out in a temporary folder, with a fake engine.
#include "ProgramFixture.h"
#include "playlist/VideoCd.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A disc: the track folder and files under a root, each name as given.
QString layOut(const QTemporaryDir &root, const QString &folder, const QStringList &files)
{
    QDir(root.path()).mkpath(folder);
    for (const QString &name : files) {
        QFile file(root.filePath(folder + u'/' + name));
        if (file.open(QIODevice::WriteOnly))
            file.write("not really MPEG");
    }
    return root.path();
}

} // namespace

class TestVideoCd : public QObject {
    Q_OBJECT

private Q_SLOTS:
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
};

QTEST_MAIN(TestVideoCd)
#include "test_videocd.moc"
