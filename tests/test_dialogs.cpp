// The dialog object against dialogs answered by the test: what it asks for, and what it keeps of the
// answer. Then Qt's real dialogs as the user meets them on an X display, the test playing the user from a
// timer while the dialog object waits on them.
#include "FakeDialogs.h"
#include "dialogs/QtFileDialogBackend.h"
#include "dialogs/cDlgcom.h"
#include "playlist/DialogFilters.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
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
#include <utility>

namespace {

// Plays the user of the modal file dialog: `step` runs every 20 ms while a QFileDialog is the modal
// widget, until it answers true, having closed the dialog. A dialog still open after some eight seconds
// is cancelled, so that a failing test ends instead of waiting forever: each test's first check then
// fails on the cancel.
struct User {
    explicit User(std::function<bool(QFileDialog &)> step)
    {
        QObject::connect(&timer, &QTimer::timeout, [this, step = std::move(step)] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            // A step may wait in a nested event loop of its own; it is not run again meanwhile.
            if (!dialog || done || std::exchange(busy, true))
                return;
            if (++ticks > 400)
                dialog->reject();
            done = ticks > 400 || step(*dialog);
            busy = false;
        });
        timer.start(20);
    }
    QTimer timer;
    int ticks = 0;
    bool done = false, busy = false;
};

void clickButton(QFileDialog &dialog, QDialogButtonBox::StandardButton which)
{
    dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(which)->click();
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        QVERIFY(m_dir.isValid());
        for (const char *name : {"CLIP.MP3", "song.mp3", "notes.txt", "README"})
            QVERIFY(QFile(m_dir.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly));
    }

    // The user picks a name from the list (which shows the names whatever their case, under the filters'
    // own descriptions), types one, or presses Escape.
    void theUsersAnswerIsTaken_data()
    {
        QTest::addColumn<long>("flags");
        QTest::addColumn<QString>("typed"); // empty: picked from the list
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("taken"); // empty: nothing
        QTest::newRow("picked") << cDlgcom::OFN_FILEMUSTEXIST << "" << false << "CLIP.MP3";
        QTest::newRow("new name") << 0L << "nouveau.mp3" << false << "nouveau.mp3";
        QTest::newRow("must exist, new name") << cDlgcom::OFN_FILEMUSTEXIST << "nouveau.mp3" << false << "";
        QTest::newRow("escape") << 0L << "CLIP.MP3" << true << "";
    }
    void theUsersAnswerIsTaken()
    {
        QFETCH(QString, typed);
        QFETCH(bool, cancel);
        QFETCH(QString, taken);
        int steps = 0;
        QStringList shown, listed;
        const User user([&](QFileDialog &d) {
            if (steps++ > 0) { // still there: Open refused the name
                d.reject();
                return true;
            }
            if (typed.isEmpty()) {
                auto *view = d.findChild<QListView *>(QStringLiteral("listView"));
                const QModelIndex root = view->rootIndex();
                listed.clear();
                for (int row = 0; row < view->model()->rowCount(root); ++row)
                    listed << view->model()->index(row, 0, root).data().toString();
                // The folder is read in the background: wait for the list to fill.
                if (listed.size() < 2 && --steps == 0)
                    return false;
                const auto *combo = d.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
                for (int i = 0; i < combo->count(); ++i)
                    shown << combo->itemText(i);
                view->setCurrentIndex(view->model()->index(int(listed.indexOf(taken)), 0, root));
            } else {
                d.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(typed);
            }
            cancel ? QTest::keyClick(&d, Qt::Key_Escape) : clickButton(d, QDialogButtonBox::Open);
            return false;
        });

        cDlgcom d(FileDialogBackend::platform());
        QFETCH(long, flags);
        d.setFlags(flags);
        d.setFilter(QString::fromLatin1(MediaFilter));
        d.setInitDir(m_dir.path());
        QCOMPARE(d.ShowOpen(), !taken.isEmpty());
        QCOMPARE(steps, !cancel && taken.isEmpty() ? 2 : 1);
        QCOMPARE(d.FileName(), taken.isEmpty() ? QString() : m_dir.filePath(taken));
        QCOMPARE(d.FileTitle(), taken);
        if (typed.isEmpty()) {
            listed.sort();
            QCOMPARE(listed, (QStringList{"CLIP.MP3", "song.mp3"}));
            // The user reads the descriptions as they were written, not the patterns behind them.
            QCOMPARE(shown.size(), 5);
            QCOMPARE(shown.at(3), QStringLiteral("Fichiers MP3"));
            QCOMPARE(d.Folder(), m_dir.path());
        }
    }

    void folderChooserShowsItsPromptAndGivesTheFolder()
    {
        const QString music = m_dir.filePath(QStringLiteral("Musique"));
        QVERIFY(QDir().mkpath(music));
        const QString prompt = QStringLiteral(
            "Qwelto Player 2.0 va chercher les fichiers multimédia dans le répertoire selectionné :");
        QString shownPrompt;
        const User user([&](QFileDialog &d) {
            const auto *label = d.findChild<QLabel *>(QStringLiteral("folderPrompt"));
            shownPrompt = label && label->isVisible() ? label->text() : QString();
            d.setDirectory(music);
            clickButton(d, QDialogButtonBox::Open);
            return true;
        });

        cDlgcom d(FileDialogBackend::platform());
        d.setDialogTitle(prompt);
        QVERIFY(d.ShowOpenFolder());
        // The prompt is too long for a title bar to show whole: it heads the dialog too.
        QCOMPARE(shownPrompt, prompt);
        QCOMPARE(d.Folder(), music);
    }

    void folderChooserOpensWhereTheUserLastChose()
    {
        QString shown;
        const User user(
            [&](QFileDialog &d) { return shown = d.directory().absolutePath(), d.reject(), true; });
        QVERIFY(!FileDialogBackend::platform().runFolderDialogAt(nullptr, QString(), m_dir.path()));
        QCOMPARE(shown, m_dir.path());
    }

    void answerGivesNameTitleAndFolderAndACancelKeepsOnlyTheFolder_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("folder");
        const QString title = QStringLiteral("a.mp3");
        QTest::newRow("in a folder") << QStringLiteral("/home/u/Musique/a.mp3") << title
                                     << QStringLiteral("/home/u/Musique");
        // As it always was: a file at the root has no folder.
        QTest::newRow("at the root") << QStringLiteral("/a.mp3") << title << QString();
    }
    void answerGivesNameTitleAndFolderAndACancelKeepsOnlyTheFolder()
    {
        QFETCH(QString, path);
        FakeDialogs dialogs;
        dialogs.fileAnswers << path << std::nullopt;
        cDlgcom d(dialogs);
        d.setFlags(cDlgcom::OFN_FILEMUSTEXIST);
        QVERIFY(d.ShowOpen());
        QCOMPARE(d.FileName(), path);
        QTEST(d.FileTitle(), "title");
        QTEST(d.Folder(), "folder");
        QCOMPARE(dialogs.fileRequests.at(0).nameFilters, QStringList{QStringLiteral("Tous(*.*) (*)")});
        // The next dialog starts on the name the first one gave; its cancel fills in the filter.
        QVERIFY(!d.ShowOpen());
        QCOMPARE(dialogs.fileRequests.at(1).fileName, path);
        QCOMPARE(d.Filter(), QStringLiteral("Tous(*.*)|*.*"));
        QCOMPARE(d.FilterIndex(), 1L);
        QCOMPARE(d.FileName() + d.FileTitle(), QString());
        QCOMPARE(d.Flags(), 0L);
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
