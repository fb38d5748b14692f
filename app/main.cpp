#include "app/DesktopActivation.h"
#include "app/DesktopBus.h"
#include "app/DesktopScreenSaver.h"
#include "app/ExitSave.h"
#include "app/HandOver.h"
#include "app/MainUnload.h"
#include "app/PlatformChoice.h"
#include "app/Program.h"
#include "app/TerminationSignals.h"
#include "engine/GstMediaEngine.h"
#include "playlist/FileUri.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char Usage[] =
    "Utilisation : qwelto [FICHIER | DOSSIER | URI file://]...\n"
    "Ajoute les fichiers à la suite de la liste de lecture précédente et joue le premier ; un dossier\n"
    "ajoute ses fichiers, une liste (.lst, .m3u, .pls) remplace la liste de lecture. Si le lecteur\n"
    "est déjà ouvert, c'est lui qui les reçoit et passe au premier plan.\n"
    "  -h, --help     affiche cette aide\n"
    "      --version  affiche la version\n"
    "\n"
    "Usage: qwelto [FILE | FOLDER | file:// URI]...\n"
    "Adds the files after the playlist of the last run and plays the first of them; a folder adds\n"
    "its files, a list (.lst, .m3u, .pls) replaces the playlist. When the player is running\n"
    "already, it takes them and comes to the front.\n"
    "  -h, --help     show this help\n"
    "      --version  show the version\n";

} // namespace

int main(int argc, char *argv[])
{
    // Asked for in a terminal, where no display is needed, and before any window opens.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("Qwelto Player " QWELTO_VERSION);
            return 0;
        }
    }
    // What the desktop gave this start to end its start-up notification and let the window take the
    // focus; read before Qt takes it out of the environment.
    const QByteArray startupId = qgetenv("DESKTOP_STARTUP_ID");
    const QByteArray activationToken = qgetenv("XDG_ACTIVATION_TOKEN");
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
    if (platform.outcome == PlatformChoice::Outcome::NoAnswer) {
        std::fprintf(stderr,
                     "qwelto: l'écran « %s » (%s) ne répond pas.\n"
                     "qwelto: the display \"%s\" (%s) does not answer.\n",
                     platform.silentDisplay.constData(), platform.silentVariable.constData(),
                     platform.silentDisplay.constData(), platform.silentVariable.constData());
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
        paths.append(FileUri::localPath(arguments.at(i), QDir::currentPath()));
    paths.removeAll(QString());
    // A player runs already: it takes the files (or just comes to the front) and this start ends.
    HandOver::Listener listener;
    switch (listener.startOrHandOver({paths, startupId, activationToken})) {
    case HandOver::Listener::Outcome::HandedOver:
        return 0;
    case HandOver::Listener::Outcome::NoAnswer:
        std::fprintf(stderr,
                     "qwelto: le lecteur déjà ouvert ne répond pas (depuis %d s) ; les fichiers ne lui ont "
                     "pas été remis. Fermez-le, ou terminez son processus, avant d'en ouvrir un autre.\n"
                     "qwelto: the player already running has not answered for %d s; the files were not "
                     "handed over. Close it, or end its process, before starting another.\n",
                     HandOver::AnswerWithinMs / 1000, HandOver::AnswerWithinMs / 1000);
        return 1;
    case HandOver::Listener::Outcome::Player:
    case HandOver::Listener::Outcome::Alone:
        break;
    }

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
    // Later starts' files, and what lets the window they raise take the focus. The desktop's media
    // controls find the player once its main window is up, since joining the session bus takes longer
    // than drawing the splash.
    QObject::connect(&listener, &HandOver::Listener::messageArrived, &program,
                     [&program](const HandOver::Message &message) {
                         DesktopActivation::prepare(message.startupId, message.activationToken);
                         program.openFromOutside(message.paths);
                     });
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
    // Once the list is read, a display that goes away takes nothing with it; not before, or half a list
    // would be saved over the whole. The shutdown sequence saves by itself.
    QObject::connect(&program, &Program::mainWindowLoaded, [&program] {
        ExitSave::arm([&program] {
            if (!program.closing())
                MainUnload::saveSession(program);
        });
    });
    const int status = QApplication::exec();
    ExitSave::disarm();
    return status;
}
