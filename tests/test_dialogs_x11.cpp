// Qt's real dialogs as the user meets them, on an X display: the test plays the user from a timer while
// the dialog object waits on them.
#include "dialogs/QtFileDialogBackend.h"
#include "dialogs/cDlgcom.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

const char *const MediaFilter =
    "Tous les fichiers Qwelto (*.dat, *.mp3, *.mpeg, *.mpg, *.avi, *.wav, *.cda, *.mid, *.wma )|"
    "*.dat;*.mp3;*.mpeg;*.mpg;*.avi;*.wma;*.wav;*.cda;*.mid;*.asf|Video CD (*.dat) |*.dat| AVI Video (*.avi) "
    "|*.avi|Fichiers MP3|*.mp3|Tous les fichiers (*.*) |*.*";
const char *const Prompt =
    "Qwelto Player 2.0 va chercher les fichiers multimédia dans le répertoire selectionné :";

// Plays the user of the modal file dialog: `step` runs on every tick while a QFileDialog is the modal
// widget, until it answers true, having closed the dialog. A dialog still open after the deadline is
// cancelled, so that a failing test ends instead of waiting forever.
class User : public QObject {
public:
    explicit User(std::function<bool(QFileDialog &)> step) : m_step(std::move(step))
    {
        connect(&m_timer, &QTimer::timeout, this, &User::tick);
        m_timer.start(20);
        m_clock.start();
    }
    bool sawDialog() const { return m_seen; }
    bool timedOut() const { return m_timedOut; }

private:
    void tick()
    {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || m_done || m_busy)
            return;
        m_seen = true;
        if (m_clock.hasExpired(8000)) {
            m_timedOut = m_done = true;
            dialog->reject();
            return;
        }
        m_busy = true;
        m_done = m_step(*dialog);
        m_busy = false;
    }

    std::function<bool(QFileDialog &)> m_step;
    QTimer m_timer;
    QElapsedTimer m_clock;
    bool m_seen = false, m_done = false, m_busy = false, m_timedOut = false;
};

// The names the dialog's list shows for the folder it is in.
QStringList listedNames(QFileDialog &dialog)
{
    QStringList names;
    auto *view = dialog.findChild<QListView *>(QStringLiteral("listView"));
    if (!view || !view->model())
        return names;
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row)
        names << view->model()->index(row, 0, root).data().toString();
    names.sort();
    return names;
}

QLineEdit *nameEdit(QFileDialog &dialog)
{
    return dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
}

bool makeFiles(const QDir &dir, const QStringList &names)
{
    for (const QString &name : names) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write("x") != 1)
            return false;
    }
    return true;
}

} // namespace

class TestDialogsX11 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void openDialogShowsTheMediaFiltersAndListsNamesWhateverTheirCase()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(makeFiles(QDir(dir.path()), {"CLIP.MP3", "song.mp3", "notes.txt", "README"}));

        QStringList filters, shown, underFirst, underLast;
        QString objectName, title;
        int selected = -1;
        Qt::WindowModality modality = Qt::NonModal;
        int stage = 0;
        User user([&](QFileDialog &d) {
            if (stage == 0) {
                objectName = d.objectName();
                filters = d.nameFilters();
                modality = d.windowModality();
                title = d.windowTitle();
                if (auto *combo = d.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))) {
                    for (int i = 0; i < combo->count(); ++i)
                        shown << combo->itemText(i);
                    selected = combo->currentIndex();
                }
                stage = 1;
            } else if (stage == 1) {
                // The folder is read in the background: wait for the list to fill.
                underFirst = listedNames(d);
                if (underFirst.contains(QStringLiteral("song.mp3"))) {
                    d.selectNameFilter(d.nameFilters().constLast());
                    stage = 2;
                }
            } else if (stage == 2) {
                underLast = listedNames(d);
                if (underLast.contains(QStringLiteral("README"))) {
                    // Picks the upper-case file in the list, as a click would, and opens it.
                    auto *view = d.findChild<QListView *>(QStringLiteral("listView"));
                    const QModelIndexList hits =
                        view->model()->match(view->model()->index(0, 0, view->rootIndex()), Qt::DisplayRole,
                                             QStringLiteral("CLIP.MP3"), 1, Qt::MatchExactly);
                    if (hits.isEmpty())
                        return false;
                    view->setCurrentIndex(hits.first());
                    auto *buttons = d.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
                    buttons->button(QDialogButtonBox::Open)->click();
                    return true;
                }
            }
            return false;
        });

        cDlgcom d(FileDialogBackend::platform());
        d.setFilter(QString::fromLatin1(MediaFilter));
        d.setInitDir(dir.path());
        QVERIFY(d.ShowOpen());
        QVERIFY(!user.timedOut());

        QCOMPARE(objectName, QStringLiteral("fileDialog"));
        QCOMPARE(modality, Qt::ApplicationModal);
        QVERIFY(!title.isEmpty());
        QStringList expectedFilters = cDlgcom::nameFiltersOf(QString::fromLatin1(MediaFilter));
        // Qt's dialog keeps its filters with their blanks squeezed.
        for (QString &f : expectedFilters)
            f = f.simplified();
        QCOMPARE(filters, expectedFilters);
        QCOMPARE(selected, 0);
        // The user reads the descriptions as they were written, not the patterns behind them.
        QCOMPARE(shown,
                 (QStringList{QStringLiteral("Tous les fichiers Qwelto (*.dat, *.mp3, *.mpeg, *.mpg, "
                                             "*.avi, *.wav, *.cda, *.mid, *.wma )"),
                              QStringLiteral("Video CD (*.dat)"), QStringLiteral("AVI Video (*.avi)"),
                              QStringLiteral("Fichiers MP3"), QStringLiteral("Tous les fichiers (*.*)")}));
        QCOMPARE(underFirst, (QStringList{"CLIP.MP3", "song.mp3"}));
        QCOMPARE(underLast, (QStringList{"CLIP.MP3", "README", "notes.txt", "song.mp3"}));

        QCOMPARE(d.FileName(), QDir(dir.path()).filePath(QStringLiteral("CLIP.MP3")));
        QCOMPARE(d.FileTitle(), QStringLiteral("CLIP.MP3"));
        QCOMPARE(d.Folder(), dir.path());
        QCOMPARE(d.Flags(), 0L);
    }

    void typedNamesFollowTheFlags_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<long>("flags");
        QTest::addColumn<QString>("defaultEx");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("taken"); // empty: the dialog refuses the name
        QTest::addColumn<bool>("asksBeforeReplacing");
        QTest::newRow("open, a new name") << false << 0L << ""
                                          << "nouveau.mp3"
                                          << "nouveau.mp3" << false;
        QTest::newRow("open, must exist, a new name") << false << 0x1000L << ""
                                                      << "nouveau.mp3"
                                                      << "" << false;
        QTest::newRow("open, must exist, an existing name") << false << 0x1000L << ""
                                                            << "CLIP.MP3"
                                                            << "CLIP.MP3" << false;
        QTest::newRow("save, default extension") << true << 0L << "lst"
                                                 << "maliste"
                                                 << "maliste.lst" << false;
        QTest::newRow("save, no default extension") << true << 0L << ""
                                                    << "maliste"
                                                    << "maliste" << false;
        QTest::newRow("save, extension typed") << true << 0L << "lst"
                                               << "maliste.txt"
                                               << "maliste.txt" << false;
        QTest::newRow("save, replacing asked") << true << 0x2L << ""
                                               << "neuve.lst"
                                               << "neuve.lst" << true;
    }
    void typedNamesFollowTheFlags()
    {
        QFETCH(bool, save);
        QFETCH(long, flags);
        QFETCH(QString, defaultEx);
        QFETCH(QString, typed);
        QFETCH(QString, taken);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(makeFiles(QDir(dir.path()), {"CLIP.MP3"}));

        bool confirms = false, clicked = false, stayedOpen = false;
        User user([&](QFileDialog &d) {
            if (!clicked) {
                confirms = !d.testOption(QFileDialog::DontConfirmOverwrite);
                nameEdit(d)->setText(typed);
                auto *buttons = d.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
                buttons->button(save ? QDialogButtonBox::Save : QDialogButtonBox::Open)->click();
                clicked = true;
                return false;
            }
            // Still there after the click: the name was refused.
            stayedOpen = true;
            d.reject();
            return true;
        });

        cDlgcom d(FileDialogBackend::platform());
        d.setFlags(flags);
        d.setDefaultEx(defaultEx);
        d.setInitDir(dir.path());
        const bool ok = save ? d.ShowSave() : d.ShowOpen();
        QVERIFY(!user.timedOut());
        QVERIFY(clicked);
        QTEST(confirms, "asksBeforeReplacing");
        QCOMPARE(ok, !taken.isEmpty());
        QCOMPARE(stayedOpen, taken.isEmpty());
        QCOMPARE(d.FileName(), taken.isEmpty() ? QString() : QDir(dir.path()).filePath(taken));
        QCOMPARE(d.FileTitle(), taken);
        QCOMPARE(d.Folder(), taken.isEmpty() ? QString() : dir.path());
        QCOMPARE(d.Flags(), taken.isEmpty() ? 0L : flags);
    }

    void cancelGivesNothingBack()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(makeFiles(QDir(dir.path()), {"CLIP.MP3"}));
        QString title, typed, folder;
        int selected = -1;
        User user([&](QFileDialog &d) {
            title = d.windowTitle();
            typed = nameEdit(d)->text();
            folder = d.directory().absolutePath();
            if (auto *combo = d.findChild<QComboBox *>(QStringLiteral("fileTypeCombo")))
                selected = combo->currentIndex();
            QTest::keyClick(&d, Qt::Key_Escape);
            return true;
        });

        cDlgcom d(FileDialogBackend::platform());
        d.setFilter(QString::fromLatin1(MediaFilter));
        d.setFilterIndex(2);
        d.setDialogTitle(QStringLiteral("Ouvrir un média"));
        d.setFileName(QDir(dir.path()).filePath(QStringLiteral("CLIP.MP3")));
        d.setFlags(cDlgcom::OFN_FILEMUSTEXIST);
        QVERIFY(!d.ShowOpen());
        QVERIFY(user.sawDialog());
        QVERIFY(!user.timedOut());
        // It opened on the file name it was given, in that file's folder, under the second filter.
        QCOMPARE(title, QStringLiteral("Ouvrir un média"));
        QCOMPARE(typed, QStringLiteral("CLIP.MP3"));
        QCOMPARE(folder, dir.path());
        QCOMPARE(selected, 1);
        QCOMPARE(d.FileName(), QString());
        QCOMPARE(d.FileTitle(), QString());
        QCOMPARE(d.Flags(), 0L);
        QCOMPARE(d.Folder(), QString());
    }

    void ownerHoldsTheDialogAndMayGoAwayDuringIt()
    {
        auto *owner = new QWidget;
        owner->resize(300, 200);
        owner->show();
        QVERIFY(QTest::qWaitForWindowExposed(owner));
        QWidget *parent = nullptr;
        Qt::WindowModality modality = Qt::NonModal;
        User user([&](QFileDialog &d) {
            parent = d.parentWidget();
            modality = d.windowModality();
            // The main window closes while the dialog waits: the dialog goes with it.
            delete owner;
            return true;
        });

        cDlgcom d(FileDialogBackend::platform());
        d.sethdcOwner(owner);
        d.setFileName(QStringLiteral("/tmp/a.mp3"));
        QVERIFY(!d.ShowOpen());
        QVERIFY(user.sawDialog());
        QCOMPARE(parent, owner);
        QCOMPARE(modality, Qt::WindowModal);
        QCOMPARE(d.FileName(), QString());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    void folderChooserShowsItsPromptAndGivesTheFolder()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString music = QDir(dir.path()).filePath(QStringLiteral("Musique"));
        QVERIFY(QDir().mkpath(music));
        QVERIFY(makeFiles(QDir(dir.path()), {"CLIP.MP3"}));

        QString objectName, title, prompt;
        bool promptVisible = false, promptOnTop = false, dirsOnly = false;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        QStringList listed;
        int stage = 0;
        User user([&](QFileDialog &d) {
            if (stage == 0) {
                objectName = d.objectName();
                title = d.windowTitle();
                mode = d.fileMode();
                dirsOnly = d.testOption(QFileDialog::ShowDirsOnly);
                if (auto *label = d.findChild<QLabel *>(QStringLiteral("folderPrompt"))) {
                    prompt = label->text();
                    promptVisible = label->isVisible() && label->width() > 0 && label->height() > 0;
                    auto *lookIn = d.findChild<QWidget *>(QStringLiteral("lookInCombo"));
                    promptOnTop = lookIn && label->mapTo(&d, QPoint(0, label->height())).y() <=
                                                lookIn->mapTo(&d, QPoint(0, 0)).y();
                }
                d.setDirectory(dir.path());
                stage = 1;
            } else if (stage == 1) {
                listed = listedNames(d);
                if (listed.contains(QStringLiteral("Musique"))) {
                    d.setDirectory(music);
                    d.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))
                        ->button(QDialogButtonBox::Open)
                        ->click();
                    return true;
                }
            }
            return false;
        });

        cDlgcom d(FileDialogBackend::platform());
        d.setDialogTitle(QString::fromUtf8(Prompt));
        QVERIFY(d.ShowOpenFolder());
        QVERIFY(!user.timedOut());
        QCOMPARE(objectName, QStringLiteral("folderDialog"));
        QCOMPARE(title, QString::fromUtf8(Prompt));
        QCOMPARE(prompt, QString::fromUtf8(Prompt));
        QVERIFY(promptVisible);
        QVERIFY(promptOnTop);
        QCOMPARE(mode, QFileDialog::Directory);
        QVERIFY(dirsOnly);
        QCOMPARE(listed, QStringList{QStringLiteral("Musique")});
        QCOMPARE(d.Folder(), music);

        User canceller([](QFileDialog &dlg) {
            QTest::keyClick(&dlg, Qt::Key_Escape);
            return true;
        });
        QVERIFY(!d.ShowOpenFolder());
        QVERIFY(canceller.sawDialog());
        QCOMPARE(d.Folder(), music);
    }
};

QTEST_MAIN(TestDialogsX11)
#include "test_dialogs_x11.moc"
