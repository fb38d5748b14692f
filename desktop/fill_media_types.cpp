// Build step: fills the file types the desktop offers the player for into its desktop entry or its
// AppStream metainfo, from the player's own table of media kinds, so that the desktop offers exactly
// what the player plays. "@QWELTO_MIME_TYPES@" becomes the entry's list; a line holding only
// "@QWELTO_MEDIATYPES@" becomes one <mediatype> line per type. The rest is left to the install step.
//   qwelto_fill_media_types TEMPLATE OUTPUT
#include "core/MediaKind.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s TEMPLATE OUTPUT\n", argv[0]);
        return 2;
    }
    QFile in(QFile::decodeName(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    QString text = QString::fromUtf8(in.readAll());
    const QStringList types = MediaKind::offeredMimeTypes();
    const QString before = text;
    text.replace(QStringLiteral("@QWELTO_MIME_TYPES@"), types.join(u';') + u';');
    const QRegularExpression line(QStringLiteral("^([ \\t]*)@QWELTO_MEDIATYPES@$"),
                                  QRegularExpression::MultilineOption);
    if (const QRegularExpressionMatch found = line.match(text); found.hasMatch()) {
        QStringList lines;
        for (const QString &type : types)
            lines.append(found.captured(1) + QStringLiteral("<mediatype>") + type +
                         QStringLiteral("</mediatype>"));
        text.replace(found.capturedStart(), found.capturedLength(), lines.join(u'\n'));
    }
    if (text == before) {
        std::fprintf(stderr, "%s: %s has no place for the file types\n", argv[0], argv[1]);
        return 1;
    }
    const QByteArray bytes = text.toUtf8();
    QSaveFile out(QFile::decodeName(argv[2]));
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
