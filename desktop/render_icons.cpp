// Build step: writes the player's icon as PNG files of the given sizes, in the hicolor theme's layout
// (OUTDIR/NxN/apps/org.qwelto.Player.png), from the same drawing the windows use.
#include "ui/AppIcon.h"

#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTDIR SIZE...\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLatin1(argv[i]).toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "render_icons: not a size: %s\n", argv[i]);
            return 2;
        }
        const QString folder = out.filePath(QStringLiteral("%1x%1/apps").arg(size));
        const QString file = QDir(folder).filePath(QStringLiteral("org.qwelto.Player.png"));
        if (!QDir().mkpath(folder) || !AppIcon::mainImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "render_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
