// The real dialogs, as a new user meets them from the main window: the open button and the add menu
// show the file dialog with the French filters, "add a folder" shows the folder chooser's prompt.
#include "FakeMediaEngine.h"
#include "MemorySettings.h"
#include "app/Program.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

struct Seen {
    QStringList nameFilters;
    QString title;
    QStringList labels;
    bool directoryMode = false;
};

// Waits for the modal file dialog, writes down what it shows, then cancels it.
void inspectThenCancel(Seen &seen)
{
    QTimer::singleShot(0, [&seen] {
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QFileDialog *>(QApplication::activeModalWidget()), 5000);
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        seen.nameFilters = dialog->nameFilters();
        seen.title = dialog->windowTitle();
        seen.directoryMode = dialog->fileMode() == QFileDialog::Directory;
        for (const QLabel *label : dialog->findChildren<QLabel *>())
            seen.labels.append(label->text());
        dialog->reject();
    });
}

} // namespace

class TestAddingX11 : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    std::unique_ptr<Program> m_program;

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display: run under xvfb-run");
        QApplication::setQuitOnLastWindowClosed(false);
        ProgramEnvironment env;
        env.appFolder = m_folder.path();
        env.makeEngine = [](QWidget *) { return std::make_unique<FakeMediaEngine>(); };
        env.settings = std::make_shared<MemorySettings>();
        m_program = std::make_unique<Program>(std::move(env));
        m_program->mainWindow().tmrAnimate()->stop();
        QVERIFY(QTest::qWaitForWindowExposed(&m_program->mainWindow()));
    }

    void cleanupTestCase() { m_program.reset(); }

    void theOpenButtonShowsTheMediaFilters()
    {
        Seen seen;
        inspectThenCancel(seen);
        m_program->mainWindow().cmdOpen()->click();
        QCOMPARE(seen.nameFilters.size(), 6);
        QVERIFY(seen.nameFilters[0].startsWith(QStringLiteral("Tous les fichiers Qwelto (")));
        QVERIFY(seen.nameFilters[4].startsWith(QStringLiteral("Tous les fichiers (*.*) ")));
    }

    void theAddMenuShowsTheSameDialog()
    {
        Seen seen;
        inspectThenCancel(seen);
        m_program->mainWindow().mnuFile()->trigger();
        QCOMPARE(seen.nameFilters.size(), 6);
        QVERIFY(seen.nameFilters[1].startsWith(QStringLiteral("Video CD (*.dat) ")));
        QCOMPARE(m_program->mainWindow().lstPlay()->count(), 0);
    }

    void theFolderChooserShowsItsPrompt()
    {
        Seen seen;
        inspectThenCancel(seen);
        m_program->mainWindow().mnuAddDir()->trigger();
        QVERIFY(seen.directoryMode);
        const QString prompt = QStringLiteral(
            "Qwelto Player 2.0 va chercher les fichiers multimédia dans le répertoire selectionné :");
        QVERIFY2(seen.title == prompt || seen.labels.contains(prompt), qPrintable(seen.labels.join(" | ")));
        QCOMPARE(m_program->mainWindow().lstPlay()->count(), 0);
    }

    void theListDialogsOfferListFiles()
    {
        Seen seen;
        inspectThenCancel(seen);
        m_program->mainWindow().cmdAPlayList(3)->click();
        QCOMPARE(seen.nameFilters.size(), 4);
        QVERIFY(seen.nameFilters[0].startsWith(QStringLiteral("List (*.lst) ")));
    }
};

QTEST_MAIN(TestAddingX11)
#include "test_adding_x11.moc"
