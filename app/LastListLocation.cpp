#include "app/LastListLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace LastListLocation {

namespace {

QString inProgramFolder(const QString &programFolder)
{
    return QDir(programFolder).filePath(QLatin1String(FileName));
}

QString inDataFolder(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("qwelto/") + QLatin1String(FileName));
}

} // namespace

bool programFolderTakesTheList(const QString &programFolder)
{
    const QDir folder(programFolder);
    if (folder.dirName() == QLatin1String("bin") &&
        QFileInfo::exists(folder.filePath(QStringLiteral("../share/applications/org.qwelto.Player.desktop"))))
        return false;
    if (!QFileInfo(programFolder).isWritable())
        return false;
    const QFileInfo list(inProgramFolder(programFolder));
    return !list.exists() || list.isWritable();
}

QString readPath(const QString &programFolder, const QString &dataFolder, bool programFolderWritable)
{
    if (programFolderWritable)
        return inProgramFolder(programFolder);
    const QString data = inDataFolder(dataFolder);
    // A named pipe or a folder there is no list; the one beside the program is read instead.
    return QFileInfo(data).isFile() ? data : inProgramFolder(programFolder);
}

QString writePath(const QString &programFolder, const QString &dataFolder, bool programFolderWritable)
{
    return programFolderWritable ? inProgramFolder(programFolder) : inDataFolder(dataFolder);
}

QString userDataFolder()
{
    // Qt reads $XDG_DATA_HOME and falls back to ~/.local/share, as the desktop's other programs do.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

} // namespace LastListLocation
