#include "app/PlatformChoice.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

#if defined(QWELTO_HAVE_XCB)
#include <xcb/xcb.h>
#endif
#if defined(QWELTO_HAVE_WAYLAND)
#include <wayland-client.h>
#endif

namespace {

QByteArray firstOf(const QByteArray &list)
{
    // "wayland:fontconfig=..." carries options after the name; "wayland;xcb" is a list to try in order.
    return list.split(';').value(0).split(':').value(0).trimmed();
}

bool needsX(const QByteArray &name)
{
    return name == "xcb";
}

bool needsWayland(const QByteArray &name)
{
    return name.startsWith("wayland");
}

} // namespace

PlatformChoice PlatformChoice::decide(const Inputs &in)
{
    PlatformChoice choice;
    const QByteArray explicitList = !in.argvPlatform.isEmpty() ? in.argvPlatform : in.qpaPlatform;
    QList<QByteArray> candidates;
    if (!explicitList.isEmpty()) {
        for (const QByteArray &entry : explicitList.split(';'))
            if (const QByteArray name = firstOf(entry); !name.isEmpty())
                candidates << name;
    } else {
        // X first, Xwayland included: there the window keeps its place, its layer and its shape.
        if (!in.display.isEmpty())
            candidates << "xcb";
        if (!in.waylandDisplay.isEmpty())
            candidates << "wayland";
    }

    for (const QByteArray &name : candidates) {
        const bool hasDisplay = needsX(name)         ? !in.display.isEmpty()
                                : needsWayland(name) ? !in.waylandDisplay.isEmpty()
                                                     : true;
        if (!hasDisplay)
            continue;
        if (in.pluginInstalled && !in.pluginInstalled(name)) {
            if (choice.missing.isEmpty())
                choice.missing = name;
            continue;
        }
        if ((needsX(name) || needsWayland(name)) && in.serverAnswers && !in.serverAnswers(name)) {
            if (choice.silentVariable.isEmpty()) {
                choice.silentVariable = needsX(name) ? "DISPLAY" : "WAYLAND_DISPLAY";
                choice.silentDisplay = needsX(name) ? in.display : in.waylandDisplay;
            }
            continue;
        }
        if (explicitList.isEmpty())
            choice.platform = name;
        return choice;
    }
    choice.outcome = !choice.missing.isEmpty()          ? Outcome::MissingPlugin
                     : !choice.silentVariable.isEmpty() ? Outcome::NoAnswer
                                                        : Outcome::NoDisplay;
    return choice;
}

bool PlatformChoice::pluginFileIn(const QByteArray &name, const QStringList &folders)
{
    // Plugin files are named after their platform, "wayland" being served by libqwayland-generic.so
    // and libqwayland-egl.so.
    const QString base = QStringLiteral("libq") + QString::fromLatin1(name);
    for (const QString &folder : folders) {
        const QDir platforms(folder);
        if (!platforms.entryList({base + QStringLiteral(".so"), base + QStringLiteral("-*.so")}, QDir::Files)
                 .isEmpty())
            return true;
    }
    return false;
}

PlatformChoice PlatformChoice::forThisProcess(int argc, char **argv)
{
    Inputs in;
    in.qpaPlatform = qgetenv("QT_QPA_PLATFORM");
    in.display = qgetenv("DISPLAY");
    in.waylandDisplay = qgetenv("WAYLAND_DISPLAY");
    for (int i = 1; i + 1 < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-platform" || arg == "--platform")
            in.argvPlatform = argv[i + 1];
        if (arg == "-display" || arg == "--display")
            in.display = argv[i + 1];
    }
    in.pluginInstalled = [](const QByteArray &name) {
        // QT_QPA_PLATFORM_PLUGIN_PATH names a platforms folder itself; the others hold one.
        QStringList folders;
        if (const QByteArray own = qgetenv("QT_QPA_PLATFORM_PLUGIN_PATH"); !own.isEmpty())
            folders << QString::fromLocal8Bit(own);
        for (const QString &path : QCoreApplication::libraryPaths())
            folders << path + QStringLiteral("/platforms");
        folders << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
        return PlatformChoice::pluginFileIn(name, folders);
    };
    const QByteArray display = in.display;
    in.serverAnswers = [display](const QByteArray &name) {
#if defined(QWELTO_HAVE_XCB)
        if (needsX(name)) {
            xcb_connection_t *connection = xcb_connect(display.constData(), nullptr);
            const bool answers = xcb_connection_has_error(connection) == 0;
            xcb_disconnect(connection);
            return answers;
        }
#endif
#if defined(QWELTO_HAVE_WAYLAND)
        if (needsWayland(name)) {
            wl_display *compositor = wl_display_connect(nullptr);
            if (compositor)
                wl_display_disconnect(compositor);
            return compositor != nullptr;
        }
#endif
        Q_UNUSED(name)
        return true;
    };
    return decide(in);
}
