// Any text as a file URI or a command-line item: what comes out is an absolute, clean path without a
// NUL, or nothing, and a URI names the same file with the host "localhost" as with none.
#include "Require.h"
#include "playlist/FileUri.h"

#include <QDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text =
        QString::fromUtf8(QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    const QString path = FileUri::localPath(text, QStringLiteral("/work/dossier"));
    require(path.isEmpty() ||
            (path.startsWith(u'/') && QDir::cleanPath(path) == path && !path.contains(QChar(0))));

    const QString rest = u'/' + text;
    const std::optional<QString> local = FileUri::toLocalPath(QStringLiteral("file://") + rest);
    require(FileUri::toLocalPath(QStringLiteral("file://localhost") + rest) == local);
    require(!local || (!local->contains(QChar(0)) && !local->contains(u'\n') && !local->contains(u'\r')));
    return 0;
}
