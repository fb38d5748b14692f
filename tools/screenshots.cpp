// Takes the pictures of the player that the README shows: the main window with its playlist open
// and folded, each menu, files dragged over the playlist, the about box and the video window at half,
// native and double size. It runs the real program with the GStreamer engine on media made on the
// spot, on whatever X display it is given (scripts/screenshots.sh gives it a virtual one).
//
//   qwelto_screenshots <output folder> [--main-only]

#include "MediaMaker.h"
#include "app/Program.h"
#include "engine/GstMediaEngine.h"
#include "ui/frmAbout.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cstdio>

namespace {

QString outputFolder;

void save(const QString &name, QRect area)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    const QPixmap shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const QString path = QDir(outputFolder).filePath(name);
    if (!shot.save(path))
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

QRect around(const QWidget &widget, int margin = 6)
{
    return widget.frameGeometry().adjusted(-margin, -margin, margin, margin);
}

void settle(int ms = 400)
{
    QTest::qWait(ms);
}

// The window and a menu that opened over it, in one picture.
void saveMenu(const QString &name, const QWidget &window, QMenu *menu)
{
    QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), 3000);
    settle();
    save(name, around(window).united(menu->geometry().adjusted(-6, -6, 6, 6)));
    menu->hide();
    settle(200);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList args = QApplication::arguments();
    outputFolder = args.value(1, QStringLiteral("."));
    const bool mainOnly = args.contains(QStringLiteral("--main-only"));
    QDir().mkpath(outputFolder);

    QTemporaryDir media;
    MediaMaker maker(media.path());
    const QStringList files = {
        maker.tone(QStringLiteral("Sous le ciel de Paris.mp3"), 95),
        maker.make(QStringLiteral("avi"), 30, QStringLiteral("Vacances à Biarritz")),
        maker.tone(QStringLiteral("La Javanaise.ogg"), 150, 2, 330),
        maker.make(QStringLiteral("mpg"), 20, QStringLiteral("Mire de test")),
    };
    for (const QString &file : files) {
        if (file.isEmpty()) {
            std::fprintf(stderr, "could not make the media: %s\n", qPrintable(maker.lastError()));
            return 1;
        }
    }

    QTemporaryDir appFolder;
    GstEngineOptions quiet;
    quiet.audioSink = QStringLiteral("fakesink sync=true");
    Program program({appFolder.path(),
                     [quiet](QWidget *area) { return std::make_unique<GstMediaEngine>(area, quiet); },
                     {},
                     [] { return true; }});
    frmMain &main = program.mainWindow();
    main.move(20, 20);
    program.videoWindow().move(420, 20);
    for (const QString &file : files)
        main.lstPlay()->addItem(file);
    main.lstPlay()->insertItem(2, QStringLiteral("-"));
    main.lstPlay()->setCurrentRow(0);
    program.transport().lstPlay_DblClick();
    settle(2600);

    save(mainOnly ? QStringLiteral("main-2x.png") : QStringLiteral("main.png"), around(main));
    if (mainOnly)
        return 0;

    // The right-click menus: over the background ("Lire" in bold) and over the panel.
    const QPoint background = main.mapToGlobal(QPoint(main.width() / 2, 8));
    program.frame().Form_MouseUp(Qt::RightButton, background);
    saveMenu(QStringLiteral("menu-shortcut.png"), main, main.mnuBar());
    const QPoint panel = main.picPlayList()->mapToGlobal(QPoint(12, 12));
    program.frame().picPlayList_MouseUp(Qt::RightButton, panel);
    saveMenu(QStringLiteral("menu-shortcut-panel.png"), main, main.mnuBar());

    program.zoom().cmdFull_Click();
    saveMenu(QStringLiteral("menu-zoom.png"), main, main.mnuZoom());

    program.panel().cmdAPlayList_Click(0);
    saveMenu(QStringLiteral("menu-add.png"), main, main.mnuMain());

    // Files dragged from the desktop over the playlist: the line shows where they will go.
    QMimeData dragged;
    dragged.setUrls({QUrl::fromLocalFile(files.at(0)), QUrl::fromLocalFile(files.at(2))});
    QWidget *viewport = main.lstPlay()->viewport();
    QDragEnterEvent drag(main.lstPlay()->visualRect(main.lstPlay()->model()->index(2, 0)).topLeft() +
                             QPoint(8, 2),
                         Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &drag);
    settle();
    save(QStringLiteral("drop.png"), around(main));
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(viewport, &leave);

    // The video window: the film playing, then each size.
    main.lstPlay()->setCurrentRow(1);
    program.transport().lstPlay_DblClick();
    settle(1500);
    frmPlayer &video = program.videoWindow();
    save(QStringLiteral("video.png"), around(video));
    program.zoom().mnuHalf_Click();
    settle(1200);
    save(QStringLiteral("video-half.png"), around(video));
    program.zoom().mnuOriginal_Click();
    settle(1200);
    save(QStringLiteral("video-native.png"), around(video));
    program.zoom().mnuDouble_Click();
    settle(1200);
    save(QStringLiteral("video-double.png"), around(video));
    video.hide();

    main.chkPlay()->setChecked(false);
    settle();
    save(QStringLiteral("main-folded.png"), around(main));
    main.chkPlay()->setChecked(true);

    program.about().cmdAbt_Click();
    settle(600);
    save(QStringLiteral("about.png"), around(*program.about().existing()));
    program.about().cmdOk_Click();

    main.close();
    settle(300);
    return 0;
}
