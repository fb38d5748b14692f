// The dialog object against dialogs answered by the test: what it asks for, and what it keeps of the
// answer. Also what Qt's own file dialog makes of the filters it is given.
#include "dialogs/cDlgcom.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

namespace {

const char *const MediaFilter =
    "Tous les fichiers Qwelto (*.dat, *.mp3, *.mpeg, *.mpg, *.avi, *.wav, *.cda, *.mid, *.wma )|"
    "*.dat;*.mp3;*.mpeg;*.mpg;*.avi;*.wma;*.wav;*.cda;*.mid;*.asf|Video CD (*.dat) |*.dat| AVI Video (*.avi) "
    "|*.avi|Fichiers MP3|*.mp3|Tous les fichiers (*.*) |*.*";
const char *const ListFilter = "List (*.lst) |*.lst| All files (*.*) |*.*";

// Each run takes the next prepared answer (a cancel when none is left) and records what it was asked.
struct ScriptedDialogs final : FileDialogBackend {
    QList<FileRequest> fileRequests;
    QList<std::optional<FileAnswer>> fileAnswers;
    QList<QWidget *> folderOwners;
    QStringList folderPrompts;
    QList<std::optional<QString>> folderAnswers;

    std::optional<FileAnswer> runFileDialog(const FileRequest &request) override
    {
        fileRequests << request;
        return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.takeFirst();
    }
    std::optional<QString> runFolderDialog(QWidget *owner, const QString &prompt) override
    {
        folderOwners << owner;
        folderPrompts << prompt;
        return folderAnswers.isEmpty() ? std::nullopt : folderAnswers.takeFirst();
    }
};

FileDialogBackend::FileAnswer chosen(const QString &path, bool readOnly = false)
{
    return FileDialogBackend::FileAnswer{path, readOnly};
}

// Whether any of the patterns takes the name, the way Qt's file model compares names on a file system
// that tells the cases apart.
bool takes(const QStringList &patterns, const QString &name)
{
    for (const QString &p : patterns) {
        if (QRegularExpression::fromWildcard(p, Qt::CaseSensitive).match(name).hasMatch())
            return true;
    }
    return false;
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startsEmptyAndSettersOnlyStore()
    {
        ScriptedDialogs dialogs;
        cDlgcom d(dialogs);
        QCOMPARE(d.FileName(), QString());
        QCOMPARE(d.FileTitle(), QString());
        QCOMPARE(d.DefaultEx(), QString());
        QCOMPARE(d.InitDir(), QString());
        QCOMPARE(d.FilterIndex(), 0L);
        QCOMPARE(d.Filter(), QString());
        QCOMPARE(d.hdcOwner(), nullptr);
        QCOMPARE(d.Flags(), 0L);
        QCOMPARE(d.DialogTitle(), QString());
        QCOMPARE(d.Folder(), QString());

        QWidget owner;
        d.setFileName(QStringLiteral("a.mp3"));
        d.setDefaultEx(QStringLiteral("mp3"));
        d.setInitDir(QStringLiteral("/tmp"));
        d.setFilterIndex(7);
        d.setFilter(QStringLiteral("X"));
        d.sethdcOwner(&owner);
        d.setFlags(0x7FFFFFFF);
        d.setDialogTitle(QStringLiteral("Titre"));
        QCOMPARE(d.FileName(), QStringLiteral("a.mp3"));
        QCOMPARE(d.DefaultEx(), QStringLiteral("mp3"));
        QCOMPARE(d.InitDir(), QStringLiteral("/tmp"));
        QCOMPARE(d.FilterIndex(), 7L);
        QCOMPARE(d.Filter(), QStringLiteral("X"));
        QCOMPARE(d.hdcOwner(), &owner);
        QCOMPARE(d.Flags(), 0x7FFFFFFFL);
        QCOMPARE(d.DialogTitle(), QStringLiteral("Titre"));
        QVERIFY(dialogs.fileRequests.isEmpty());
        QVERIFY(dialogs.folderPrompts.isEmpty());
    }

    void missingFilterAndIndexAreFilledInAndStay_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<long>("index");
        QTest::addColumn<QString>("filterAfter");
        QTest::addColumn<long>("indexAfter");
        QTest::addColumn<QStringList>("nameFilters");
        QTest::addColumn<int>("selected");
        const QString all = QString::fromLatin1(cDlgcom::DefaultFilter);
        const QStringList allFilters{QStringLiteral("Tous(*.*) (*)")};
        QTest::newRow("open, nothing set") << false << QString() << 0L << all << 1L << allFilters << 0;
        QTest::newRow("save, nothing set") << true << QString() << 0L << all << 1L << allFilters << 0;
        QTest::newRow("filter set") << false << QString::fromLatin1(ListFilter) << 0L
                                    << QString::fromLatin1(ListFilter) << 1L
                                    << QStringList{QStringLiteral("List (*.lst) (*.[lL][sS][tT])"),
                                                   QStringLiteral(" All files (*.*) (*)")}
                                    << 0;
        QTest::newRow("index past the default") << false << QString() << 3L << all << 3L << allFilters << 0;
        QTest::newRow("negative index") << false << QString() << -2L << all << -2L << allFilters << 0;
    }
    void missingFilterAndIndexAreFilledInAndStay()
    {
        QFETCH(bool, save);
        QFETCH(QString, filter);
        QFETCH(long, index);
        ScriptedDialogs dialogs;
        cDlgcom d(dialogs);
        d.setFilter(filter);
        d.setFilterIndex(index);
        // The user cancels: the filled-in values stay all the same.
        QVERIFY(!(save ? d.ShowSave() : d.ShowOpen()));
        QTEST(d.Filter(), "filterAfter");
        QTEST(d.FilterIndex(), "indexAfter");
        QCOMPARE(dialogs.fileRequests.size(), 1);
        QCOMPARE(dialogs.fileRequests[0].open, !save);
        QTEST(dialogs.fileRequests[0].nameFilters, "nameFilters");
        QTEST(dialogs.fileRequests[0].selectedFilter, "selected");
    }

    void filtersBecomeQtsFormWithTheirDescriptions_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("media")
            << QString::fromLatin1(MediaFilter)
            << QStringList{
                   QStringLiteral("Tous les fichiers Qwelto (*.dat, *.mp3, *.mpeg, *.mpg, *.avi, *.wav, "
                                  "*.cda, *.mid, *.wma ) (*.[dD][aA][tT] *.[mM][pP]3 *.[mM][pP][eE][gG] "
                                  "*.[mM][pP][gG] *.[aA][vV][iI] *.[wW][mM][aA] *.[wW][aA][vV] "
                                  "*.[cC][dD][aA] *.[mM][iI][dD] *.[aA][sS][fF])"),
                   QStringLiteral("Video CD (*.dat) (*.[dD][aA][tT])"),
                   QStringLiteral(" AVI Video (*.avi) (*.[aA][vV][iI])"),
                   QStringLiteral("Fichiers MP3 (*.[mM][pP]3)"),
                   QStringLiteral("Tous les fichiers (*.*) (*)")};
        QTest::newRow("list") << QString::fromLatin1(ListFilter)
                              << QStringList{QStringLiteral("List (*.lst) (*.[lL][sS][tT])"),
                                             QStringLiteral(" All files (*.*) (*)")};
        QTest::newRow("blanks around patterns")
            << QStringLiteral("Sons|*.wav ; *.MID")
            << QStringList{QStringLiteral("Sons (*.[wW][aA][vV] *.[mM][iI][dD])")};
        QTest::newRow("set kept as written")
            << QStringLiteral("Pistes|piste[0-9].cda")
            << QStringList{QStringLiteral("Pistes ([pP][iI][sS][tT][eE][0-9].[cC][dD][aA])")};
        QTest::newRow("trailing description dropped")
            << QStringLiteral("A|*.a|B") << QStringList{QStringLiteral("A (*.[aA])")};
        QTest::newRow("description alone") << QStringLiteral("A") << QStringList{};
        QTest::newRow("empty") << QString() << QStringList{};
        QTest::newRow("no patterns") << QStringLiteral("A||B|*.b")
                                     << QStringList{QStringLiteral("A ()"), QStringLiteral("B (*.[bB])")};
        QTest::newRow("bars only") << QStringLiteral("|||")
                                   << QStringList{QStringLiteral("()"), QStringLiteral("()")};
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
                                    << QStringList{"CLIP.MP3", "clip.mp3", "Film.Avi", "AVSEQ01.DAT",
                                                   "x.MpEg",   "t.WMA",    "u.asf"}
                                    << QStringList{"notes.txt", "README", "mp3", "clip.mp3.txt", "a.mp4"};
        QTest::newRow("media, video CD")
            << media << 1 << QStringList{"AVSEQ01.DAT", "b.dat"} << QStringList{"CLIP.MP3", "dat"};
        QTest::newRow("media, MP3") << media << 3 << QStringList{"CLIP.MP3", "Clip.Mp3"}
                                    << QStringList{"CLIP.MP4", "a.wav"};
        QTest::newRow("media, every file")
            << media << 4 << QStringList{"CLIP.MP3", "README", "notes.txt", ".hidden", "a.b.c"}
            << QStringList{};
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
        QVERIFY(!patterns.isEmpty());
        for (const QString &name : taken)
            QVERIFY2(takes(patterns, name),
                     qPrintable(name + QLatin1String(" not taken by ") + patterns.join(' ')));
        for (const QString &name : left)
            QVERIFY2(!takes(patterns, name),
                     qPrintable(name + QLatin1String(" taken by ") + patterns.join(' ')));
    }

    void settingsReachTheRequest()
    {
        ScriptedDialogs dialogs;
        QWidget owner;
        cDlgcom d(dialogs);
        d.sethdcOwner(&owner);
        d.setDialogTitle(QStringLiteral("Enregistrer la liste"));
        d.setInitDir(QStringLiteral("/home/u/Listes"));
        d.setFileName(QStringLiteral("ma liste"));
        d.setDefaultEx(QStringLiteral("lst"));
        d.setFilter(QString::fromLatin1(ListFilter));
        QVERIFY(!d.ShowSave());
        const FileDialogBackend::FileRequest &r = dialogs.fileRequests.at(0);
        QCOMPARE(r.open, false);
        QCOMPARE(r.owner, &owner);
        QCOMPARE(r.title, QStringLiteral("Enregistrer la liste"));
        QCOMPARE(r.initialFolder, QStringLiteral("/home/u/Listes"));
        QCOMPARE(r.fileName, QStringLiteral("ma liste"));
        QCOMPARE(r.defaultSuffix, QStringLiteral("lst"));

        // Left empty, they stay empty: the dialog then makes its own choices.
        cDlgcom plain(dialogs);
        QVERIFY(!plain.ShowOpen());
        const FileDialogBackend::FileRequest &p = dialogs.fileRequests.at(1);
        QCOMPARE(p.open, true);
        QCOMPARE(p.owner, nullptr);
        QVERIFY(p.title.isEmpty() && p.initialFolder.isEmpty() && p.fileName.isEmpty());
        QVERIFY(p.defaultSuffix.isEmpty());
    }

    void filterIndexChoosesTheFilterCountingFromOne_data()
    {
        QTest::addColumn<long>("index");
        QTest::addColumn<int>("selected");
        QTest::newRow("first") << 1L << 0;
        QTest::newRow("third") << 3L << 2;
        QTest::newRow("last") << 5L << 4;
        QTest::newRow("past the last") << 99L << 4;
    }
    void filterIndexChoosesTheFilterCountingFromOne()
    {
        QFETCH(long, index);
        ScriptedDialogs dialogs;
        dialogs.fileAnswers << chosen(QStringLiteral("/m/a.avi"));
        cDlgcom d(dialogs);
        d.setFilter(QString::fromLatin1(MediaFilter));
        d.setFilterIndex(index);
        QVERIFY(d.ShowOpen());
        QCOMPARE(dialogs.fileRequests.at(0).nameFilters.size(), 5);
        QTEST(dialogs.fileRequests.at(0).selectedFilter, "selected");
        QCOMPARE(d.FilterIndex(), index);
    }

    void answerGivesNameTitleAndFolder_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("folder");
        QTest::newRow("in a folder") << false << "/home/u/Musique/a.mp3"
                                     << "a.mp3"
                                     << "/home/u/Musique";
        QTest::newRow("at the root") << false << "/a.mp3"
                                     << "a.mp3"
                                     << "";
        QTest::newRow("saved, no extension") << true << "/home/u/Listes/ma liste"
                                             << "ma liste"
                                             << "/home/u/Listes";
        QTest::newRow("accented") << false << QStringLiteral("/home/u/Vidéos/Été.avi")
                                  << QStringLiteral("Été.avi") << QStringLiteral("/home/u/Vidéos");
    }
    void answerGivesNameTitleAndFolder()
    {
        QFETCH(bool, save);
        QFETCH(QString, path);
        ScriptedDialogs dialogs;
        dialogs.fileAnswers << chosen(path);
        cDlgcom d(dialogs);
        d.setFilterIndex(2);
        QVERIFY(save ? d.ShowSave() : d.ShowOpen());
        QCOMPARE(d.FileName(), path);
        QTEST(d.FileTitle(), "title");
        QTEST(d.Folder(), "folder");
        QCOMPARE(d.FilterIndex(), 2L);
    }

    void cancelAfterAnAnswerClearsTheNameButKeepsTheFolder()
    {
        ScriptedDialogs dialogs;
        dialogs.fileAnswers << chosen(QStringLiteral("/home/u/Musique/a.mp3"), true) << std::nullopt;
        cDlgcom d(dialogs);
        d.setFlags(cDlgcom::OFN_READONLY | cDlgcom::OFN_FILEMUSTEXIST);
        QVERIFY(d.ShowOpen());
        QCOMPARE(d.Flags(), cDlgcom::OFN_READONLY | cDlgcom::OFN_FILEMUSTEXIST);
        // The next dialog starts on the name the first one gave.
        QVERIFY(!d.ShowOpen());
        QCOMPARE(dialogs.fileRequests.at(1).fileName, QStringLiteral("/home/u/Musique/a.mp3"));
        QCOMPARE(d.FileName(), QString());
        QCOMPARE(d.FileTitle(), QString());
        QCOMPARE(d.Flags(), 0L);
        QCOMPARE(d.Folder(), QStringLiteral("/home/u/Musique"));
        QCOMPARE(d.Filter(), QString::fromLatin1(cDlgcom::DefaultFilter));
        QCOMPARE(d.FilterIndex(), 1L);
    }

    void flagsAreMaskedAndTheReadOnlyStateComesBack_data()
    {
        QTest::addColumn<long>("flags");
        QTest::addColumn<bool>("overwritePrompt");
        QTest::addColumn<bool>("mustExist");
        QTest::addColumn<bool>("readOnlyIn");
        QTest::addColumn<bool>("readOnlyOut");
        QTest::addColumn<long>("flagsAfter");
        QTest::newRow("unkept bit dropped") << (0x20000L | 0x2L) << true << false << false << false << 0x2L;
        QTest::newRow("none") << 0L << false << false << false << false << 0L;
        QTest::newRow("must exist") << 0x1000L << false << true << false << false << 0x1000L;
        QTest::newRow("every bit") << 0x7FFFFFFFL << true << true << true << true << 0x1FF1FL;
        QTest::newRow("gap bits dropped") << 0xE0L << false << false << false << false << 0L;
        QTest::newRow("read-only cleared by the user") << 0x5L << false << false << true << false << 0x4L;
        QTest::newRow("read-only checked by the user") << 0x4L << false << false << false << true << 0x5L;
    }
    void flagsAreMaskedAndTheReadOnlyStateComesBack()
    {
        QFETCH(long, flags);
        QFETCH(bool, readOnlyOut);
        ScriptedDialogs dialogs;
        dialogs.fileAnswers << chosen(QStringLiteral("/m/a.mp3"), readOnlyOut);
        cDlgcom d(dialogs);
        d.setFlags(flags);
        QVERIFY(d.ShowOpen());
        const FileDialogBackend::FileRequest &r = dialogs.fileRequests.at(0);
        QTEST(r.overwritePrompt, "overwritePrompt");
        QTEST(r.fileMustExist, "mustExist");
        QTEST(r.readOnlyChecked, "readOnlyIn");
        QTEST(d.Flags(), "flagsAfter");
    }

    void folderChooserChangesOnlyTheFolder()
    {
        ScriptedDialogs dialogs;
        dialogs.folderAnswers << QStringLiteral("/home/u/Musique") << std::nullopt;
        QWidget owner;
        cDlgcom d(dialogs);
        d.sethdcOwner(&owner);
        d.setDialogTitle(QStringLiteral("Choisissez un répertoire :"));
        d.setFileName(QStringLiteral("/x/a.mp3"));
        d.setFlags(cDlgcom::OFN_OVERWRITEPROMPT);

        QVERIFY(d.ShowOpenFolder());
        QCOMPARE(d.Folder(), QStringLiteral("/home/u/Musique"));
        QCOMPARE(dialogs.folderPrompts, QStringList{QStringLiteral("Choisissez un répertoire :")});
        QCOMPARE(dialogs.folderOwners.at(0), &owner);

        QVERIFY(!d.ShowOpenFolder());
        QCOMPARE(d.Folder(), QStringLiteral("/home/u/Musique"));

        QCOMPARE(d.FileName(), QStringLiteral("/x/a.mp3"));
        QCOMPARE(d.FileTitle(), QString());
        QCOMPARE(d.Flags(), cDlgcom::OFN_OVERWRITEPROMPT);
        QCOMPARE(d.Filter(), QString());
        QCOMPARE(d.FilterIndex(), 0L);
        QVERIFY(dialogs.fileRequests.isEmpty());
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
