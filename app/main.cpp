#include "app/DesktopBus.h"
#include "app/DesktopScreenSaver.h"
#include "app/HandOver.h"
#include "app/PlatformChoice.h"
#include "app/Program.h"
#include "app/TerminationSignals.h"
#include "playback/GstMediaEngine.h"
#include "playlist/MediaArguments.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    const PlatformChoice platform = PlatformChoice::forThisProcess(argc, argv);
    if (platform.outcome == PlatformChoice::Outcome::NoDisplay) {
        std::fprintf(stderr,
                     "qwelto: aucun écran graphique (ni DISPLAY ni WAYLAND_DISPLAY).\n"
                     "qwelto: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                     "To run the player on a virtual display: xvfb-run -a %s\n",
                     argv[0]);
        return 2;
    }
    if (platform.outcome == PlatformChoice::Outcome::MissingPlugin) {
        const char *package = platform.missing.startsWith("wayland") ? "qt6-wayland" : "qt6-qpa-plugins";
        std::fprintf(stderr,
                     "qwelto: le module d'affichage « %s » de Qt n'est pas installé (paquet %s).\n"
                     "qwelto: Qt's \"%s\" platform plugin is not installed (Debian package %s).\n",
                     platform.missing.constData(), package, platform.missing.constData(), package);
        return 2;
    }
    if (!platform.platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform.platform);

    QApplication app(argc, argv);
    // What the desktop shows for every window of ours (task bar, switcher, window list): the player's
    // name, and the desktop entry that carries its icon. The skin draws its own caption inside.
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Qwelto Player"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.qwelto.Player"));
    // Files to open (paths or file:// URIs); Qt has taken its own options out already.
    QStringList paths;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i)
        paths.append(MediaArguments::localPath(arguments.at(i), QDir::currentPath()));
    paths.removeAll(QString());
    // A player runs already: it takes the files (or just comes to the front) and this start ends.
    if (HandOver::toRunningPlayer(paths))
        return 0;

    // The player speaks French: Qt's own dialogs and buttons too, whatever the desktop's language.
    QTranslator qtFrench;
    if (qtFrench.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtFrench);
    // The program ends when its main window has closed, not when the splash gives way to it.
    QApplication::setQuitOnLastWindowClosed(false);

    Program program({QCoreApplication::applicationDirPath(),
                     [](QWidget *engineArea) { return std::make_unique<GstMediaEngine>(engineArea); }});
    TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &TerminationSignals::terminationRequested, &program,
                     &Program::requestClose);
    QObject::connect(&program, &Program::finished, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    program.start();
    if (!paths.isEmpty())
        program.openFromOutside(paths);
    // Later starts find this player once the splash is up; the desktop's media controls once the main
    // window is, since joining the session bus takes longer than drawing the splash.
    HandOver::Listener listener;
    QObject::connect(&listener, &HandOver::Listener::pathsArrived, &program, &Program::openFromOutside);
    QTimer::singleShot(0, &listener, &HandOver::Listener::listen);
    DesktopBus desktopBus(program);
    QObject::connect(&program, &Program::mainWindowShown, &desktopBus, &DesktopBus::start);
    // The screen stays awake while a video plays. The tick sees every change within half a second,
    // which is nothing next to a screen saver's minutes.
    auto *desktopScreenSaver = new DesktopScreenSaver;
    ScreenSaverGuard screenSaver{std::unique_ptr<ScreenSaverGuard::Holder>(desktopScreenSaver)};
    QObject::connect(&desktopBus, &DesktopBus::joined, desktopScreenSaver,
                     &DesktopScreenSaver::useSessionBus);
    QObject::connect(&program, &Program::mainWindowShown, desktopScreenSaver, [&] {
        QObject::connect(program.mainWindow().tmrAnimate(), &QTimer::timeout, desktopScreenSaver, [&] {
            frmPlayer *video = program.existingVideoWindow();
            screenSaver.follow(video ? &video->MediaPlayer1() : nullptr);
        });
    });
    QObject::connect(&program, &Program::finished, desktopScreenSaver, [&] { screenSaver.release(); });
    return QApplication::exec();
}
