#include "app/PlatformChoice.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

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

    bool anyDisplay = false;
    for (const QByteArray &name : candidates) {
        const bool hasDisplay = needsX(name)         ? !in.display.isEmpty()
                                : needsWayland(name) ? !in.waylandDisplay.isEmpty()
                                                     : true;
        anyDisplay = anyDisplay || hasDisplay;
        if (!hasDisplay)
            continue;
        if (!in.pluginInstalled || in.pluginInstalled(name)) {
            if (explicitList.isEmpty())
                choice.platform = name;
            return choice;
        }
        if (choice.missing.isEmpty())
            choice.missing = name;
    }
    choice.outcome = anyDisplay ? Outcome::MissingPlugin : Outcome::NoDisplay;
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
    return decide(in);
}
