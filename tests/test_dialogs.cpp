// The dialog object against dialogs answered by the test: what it asks for, and what it keeps of the
// answer. Also what Qt's own file dialog makes of the filters it is given.
#include "FakeDialogs.h"
#include "dialogs/cDlgcom.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

namespace {

const char *const MediaFilter =
    "Tous les fichiers Qwelto (*.dat, *.mp3, *.mpeg, *.mpg, *.avi, *.wav, *.cda, *.mid, *.wma )|"
    "*.dat;*.mp3;*.mpeg;*.mpg;*.avi;*.wma;*.wav;*.cda;*.mid;*.asf|Video CD (*.dat) |*.dat| AVI Video (*.avi) "
    "|*.avi|Fichiers MP3|*.mp3|Tous les fichiers (*.*) |*.*";
const char *const ListFilter = "List (*.lst) |*.lst| All files (*.*) |*.*";

// Whether any of the patterns takes the name, the way Qt's file model compares names on a file system
// that tells the cases apart.
bool takes(const QStringList &patterns, const QString &name)
{
    return std::any_of(patterns.begin(), patterns.end(), [&name](const QString &p) {
        return QRegularExpression::fromWildcard(p, Qt::CaseSensitive).match(name).hasMatch();
    });
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cancelClearsTheAnswerButKeepsTheFolderAndFillsInTheFilter()
    {
        FakeDialogs dialogs;
        dialogs.fileAnswers << QStringLiteral("/home/u/Musique/a.mp3") << std::nullopt;
        cDlgcom d(dialogs);
        d.setFlags(cDlgcom::OFN_FILEMUSTEXIST);
        QVERIFY(d.ShowOpen());
        QCOMPARE(dialogs.fileRequests.at(0).nameFilters, QStringList{QStringLiteral("Tous(*.*) (*)")});
        // The next dialog starts on the name the first one gave.
        QVERIFY(!d.ShowOpen());
        QCOMPARE(dialogs.fileRequests.at(1).fileName, QStringLiteral("/home/u/Musique/a.mp3"));
        QCOMPARE(d.Filter(), QStringLiteral("Tous(*.*)|*.*"));
        QCOMPARE(d.FilterIndex(), 1L);
        QCOMPARE(d.FileName(), QString());
        QCOMPARE(d.FileTitle(), QString());
        QCOMPARE(d.Flags(), 0L);
        QCOMPARE(d.Folder(), QStringLiteral("/home/u/Musique"));
    }

    void filtersBecomeQtsFormWithTheirDescriptions_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("media") << QString::fromLatin1(MediaFilter)
                               << QStringList{
                                      "Tous les fichiers Qwelto (*.dat, *.mp3, *.mpeg, *.mpg, *.avi, *.wav, "
                                      "*.cda, *.mid, *.wma ) (*.[dD][aA][tT] *.[mM][pP]3 *.[mM][pP][eE][gG] "
                                      "*.[mM][pP][gG] *.[aA][vV][iI] *.[wW][mM][aA] *.[wW][aA][vV] "
                                      "*.[cC][dD][aA] *.[mM][iI][dD] *.[aA][sS][fF])",
                                      "Video CD (*.dat) (*.[dD][aA][tT])",
                                      " AVI Video (*.avi) (*.[aA][vV][iI])", "Fichiers MP3 (*.[mM][pP]3)",
                                      "Tous les fichiers (*.*) (*)"};
        QTest::newRow("list") << QString::fromLatin1(ListFilter)
                              << QStringList{"List (*.lst) (*.[lL][sS][tT])", " All files (*.*) (*)"};
    }
    void filtersBecomeQtsFormWithTheirDescriptions()
    {
        QFETCH(QString, filter);
        QTEST(cDlgcom::nameFiltersOf(filter), "expected");
    }

    void qtsDialogMatchesNamesWhateverTheirCase_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QStringList>("left");
        const QString media = QString::fromLatin1(MediaFilter);
        QTest::newRow("media, all") << media << 0
                                    << QStringList{"CLIP.MP3", "clip.mp3", "Film.Avi", "AVSEQ01.DAT", "u.asf"}
                                    << QStringList{"notes.txt", "README", "clip.mp3.txt", "a.mp4"};
        QTest::newRow("media, every file")
            << media << 4 << QStringList{"CLIP.MP3", "README", "notes.txt", ".hidden"} << QStringList{};
        QTest::newRow("list") << QString::fromLatin1(ListFilter) << 0 << QStringList{"Ma liste.LST", "a.lst"}
                              << QStringList{"a.lst.bak", "lst"};
    }
    void qtsDialogMatchesNamesWhateverTheirCase()
    {
        QFETCH(QString, filter);
        QFETCH(int, index);
        QFETCH(QStringList, taken);
        QFETCH(QStringList, left);
        // The patterns are those Qt's widget dialog hands its file model for the chosen filter.
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        const QStringList filters = cDlgcom::nameFiltersOf(filter);
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.at(index));
        auto *model = dialog.findChild<QFileSystemModel *>();
        QVERIFY(model);
        const QStringList patterns = model->nameFilters();
        for (const QString &name : taken)
            QVERIFY2(takes(patterns, name), qPrintable(name + " not taken by " + patterns.join(' ')));
        for (const QString &name : left)
            QVERIFY2(!takes(patterns, name), qPrintable(name + " taken by " + patterns.join(' ')));
    }

    void answerGivesNameTitleAndFolder_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("folder");
        QTest::newRow("in a folder") << QString("/home/u/Musique/a.mp3") << QString("a.mp3")
                                     << QString("/home/u/Musique");
        // As it always was: a file at the root has no folder.
        QTest::newRow("at the root") << QString("/a.mp3") << QString("a.mp3") << QString();
    }
    void answerGivesNameTitleAndFolder()
    {
        QFETCH(QString, path);
        FakeDialogs dialogs;
        dialogs.fileAnswers << path;
        cDlgcom d(dialogs);
        QVERIFY(d.ShowOpen());
        QCOMPARE(d.FileName(), path);
        QTEST(d.FileTitle(), "title");
        QTEST(d.Folder(), "folder");
    }

    void flagsAndFilterIndexReachTheDialog_data()
    {
        QTest::addColumn<long>("flags");
        QTest::addColumn<long>("index");
        QTest::addColumn<bool>("overwritePrompt");
        QTest::addColumn<bool>("mustExist");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<long>("flagsAfter");
        QTest::addColumn<int>("selected");
        QTest::newRow("overwrite, unkept bit dropped")
            << 0x20002L << 1L << true << false << false << 0x2L << 0;
        QTest::newRow("must exist, third filter") << 0x1000L << 3L << false << true << false << 0x1000L << 2;
        QTest::newRow("gap bits dropped, no such filter")
            << 0xE0L << 99L << false << false << false << 0L << 4;
        QTest::newRow("every bit") << 0x7FFFFFFFL << 5L << true << true << true << 0x1FF1FL << 4;
    }
    void flagsAndFilterIndexReachTheDialog()
    {
        QFETCH(long, flags);
        QFETCH(long, index);
        FakeDialogs dialogs;
        dialogs.fileAnswers << QStringLiteral("/m/a.mp3");
        cDlgcom d(dialogs);
        d.setFlags(flags);
        d.setFilter(QString::fromLatin1(MediaFilter));
        // Counted from one, as the caller always has.
        d.setFilterIndex(index);
        QVERIFY(d.ShowSave());
        const FileDialogBackend::FileRequest &r = dialogs.fileRequests.at(0);
        QTEST(r.overwritePrompt, "overwritePrompt");
        QTEST(r.fileMustExist, "mustExist");
        QTEST(r.readOnlyChecked, "readOnly");
        QTEST(r.selectedFilter, "selected");
        QTEST(d.Flags(), "flagsAfter");
        QCOMPARE(d.FilterIndex(), index);
    }

    void folderChooserChangesOnlyTheFolder()
    {
        FakeDialogs dialogs;
        dialogs.folderAnswers << QStringLiteral("/home/u/Musique") << std::nullopt;
        cDlgcom d(dialogs);
        d.setDialogTitle(QStringLiteral("Choisissez un répertoire :"));
        d.setFileName(QStringLiteral("/x/a.mp3"));
        QVERIFY(d.ShowOpenFolder());
        QCOMPARE(d.Folder(), QStringLiteral("/home/u/Musique"));
        QCOMPARE(dialogs.folderPrompts, QStringList{QStringLiteral("Choisissez un répertoire :")});
        // A cancel keeps the folder chosen before.
        QVERIFY(!d.ShowOpenFolder());
        QCOMPARE(d.Folder(), QStringLiteral("/home/u/Musique"));
        QCOMPARE(d.FileName(), QStringLiteral("/x/a.mp3"));
        QVERIFY(dialogs.fileRequests.isEmpty());
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
