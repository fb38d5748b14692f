// The order and the kinds of "add a folder", on folders made for each row, and the open dialog's filters.
#include "playlist/DialogFilters.h"
#include "playlist/FolderScan.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestFolderScan : public QObject {
    Q_OBJECT

private Q_SLOTS:
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

    void theOpenDialogOffersTheNewerKindsAfterTheLongStandingFilters()
    {
        const QString filter = mediaDialogFilter();
        QVERIFY(filter.startsWith(QString::fromUtf8(MediaFilter) + u'|'));
        const QStringList patterns = filter.section(u'|', -1).split(u';');
        for (const QString &kind : FolderScan::Patterns + FolderScan::ExtraPatterns)
            QVERIFY2(patterns.count(kind) == 1, qPrintable(kind));
    }
};

QTEST_GUILESS_MAIN(TestFolderScan)
#include "test_folderscan.moc"
