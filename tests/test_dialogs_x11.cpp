// Qt's real dialogs as the user meets them, on an X display: the test plays the user from a timer while
// the dialog object waits on them.
#include "dialogs/QtFileDialogBackend.h"
#include "dialogs/cDlgcom.h"

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

class TestDialogsX11 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        QVERIFY(m_dir.isValid());
        for (const char *name : {"CLIP.MP3", "song.mp3", "notes.txt", "README"})
            QVERIFY(QFile(m_dir.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly));
    }

    void openDialogShowsTheFrenchFiltersAndListsNamesWhateverTheirCase()
    {
        QStringList shown, listed;
        const User user([&](QFileDialog &d) {
            auto *view = d.findChild<QListView *>(QStringLiteral("listView"));
            const QModelIndex root = view->rootIndex();
            listed.clear();
            for (int row = 0; row < view->model()->rowCount(root); ++row)
                listed << view->model()->index(row, 0, root).data().toString();
            // The folder is read in the background: wait for the list to fill.
            if (!listed.contains(QStringLiteral("CLIP.MP3")) || !listed.contains(QStringLiteral("song.mp3")))
                return false;
            const auto *combo = d.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            for (int i = 0; i < combo->count(); ++i)
                shown << combo->itemText(i);
            // Picks the upper-case file in the list, as a click would, and opens it.
            view->setCurrentIndex(
                view->model()->index(int(listed.indexOf(QStringLiteral("CLIP.MP3"))), 0, root));
            clickButton(d, QDialogButtonBox::Open);
            return true;
        });

        cDlgcom d(FileDialogBackend::platform());
        d.setFilter(QStringLiteral(
            "Tous les fichiers Qwelto (*.dat, *.mp3, *.mpeg, *.mpg, *.avi, *.wav, *.cda, *.mid, *.wma )|"
            "*.dat;*.mp3;*.mpeg;*.mpg;*.avi;*.wma;*.wav;*.cda;*.mid;*.asf|Video CD (*.dat) |*.dat| AVI Video "
            "(*.avi) |*.avi|Fichiers MP3|*.mp3|Tous les fichiers (*.*) |*.*"));
        d.setInitDir(m_dir.path());
        QVERIFY(d.ShowOpen());
        // The user reads the descriptions as they were written, not the patterns behind them.
        QCOMPARE(shown, (QStringList{"Tous les fichiers Qwelto (*.dat, *.mp3, *.mpeg, *.mpg, *.avi, *.wav, "
                                     "*.cda, *.mid, *.wma )",
                                     "Video CD (*.dat)", "AVI Video (*.avi)", "Fichiers MP3",
                                     "Tous les fichiers (*.*)"}));
        listed.sort();
        QCOMPARE(listed, (QStringList{"CLIP.MP3", "song.mp3"}));
        QCOMPARE(d.FileName(), m_dir.filePath(QStringLiteral("CLIP.MP3")));
        QCOMPARE(d.FileTitle(), QStringLiteral("CLIP.MP3"));
        QCOMPARE(d.Folder(), m_dir.path());
    }

    void typedNameOrEscapeGivesTheAnswer_data()
    {
        QTest::addColumn<long>("flags");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("taken"); // empty: nothing
        QTest::newRow("new name") << 0L << "nouveau.mp3" << false << "nouveau.mp3";
        QTest::newRow("must exist, new name") << cDlgcom::OFN_FILEMUSTEXIST << "nouveau.mp3" << false << "";
        QTest::newRow("must exist, existing")
            << cDlgcom::OFN_FILEMUSTEXIST << "CLIP.MP3" << false << "CLIP.MP3";
        QTest::newRow("escape") << 0L << "CLIP.MP3" << true << "";
    }
    void typedNameOrEscapeGivesTheAnswer()
    {
        QFETCH(long, flags);
        QFETCH(QString, typed);
        QFETCH(bool, cancel);
        QFETCH(QString, taken);
        int steps = 0;
        const User user([&](QFileDialog &d) {
            if (steps++ == 0) {
                d.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(typed);
                cancel ? QTest::keyClick(&d, Qt::Key_Escape) : clickButton(d, QDialogButtonBox::Open);
                return false;
            }
            d.reject();
            return true;
        });

        cDlgcom d(FileDialogBackend::platform());
        d.setFlags(flags);
        d.setInitDir(m_dir.path());
        QCOMPARE(d.ShowOpen(), !taken.isEmpty());
        // A second look finds the dialog still there only when Open refused the name.
        QCOMPARE(steps, !cancel && taken.isEmpty() ? 2 : 1);
        QCOMPARE(d.FileName(), taken.isEmpty() ? QString() : m_dir.filePath(taken));
        QCOMPARE(d.FileTitle(), taken);
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

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestDialogsX11)
#include "test_dialogs_x11.moc"
