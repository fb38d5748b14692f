#include "dialogs/RememberedFolder.h"

#include "core/SettingsStore.h"

#include <QFileInfo>

std::optional<FileDialogBackend::FileAnswer> RememberedFolder::runFileDialog(const FileRequest &request)
{
    FileRequest asked = request;
    if (asked.initialFolder.isEmpty())
        asked.initialFolder = last();
    std::optional<FileAnswer> answer = m_dialogs.runFileDialog(asked);
    if (answer)
        remember(QFileInfo(answer->path).absolutePath());
    return answer;
}

std::optional<QString> RememberedFolder::runFolderDialogAt(QWidget *owner, const QString &prompt,
                                                           const QString &initialFolder)
{
    std::optional<QString> chosen =
        m_dialogs.runFolderDialogAt(owner, prompt, initialFolder.isEmpty() ? last() : initialFolder);
    if (chosen && !chosen->isEmpty())
        remember(QFileInfo(*chosen).absoluteFilePath());
    return chosen;
}

QString RememberedFolder::last() const
{
    const QString folder = m_store.read(QLatin1String(Section), QLatin1String(Key), QString());
    // A folder since removed (or a drive since unplugged) would open the dialog on nothing.
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void RememberedFolder::remember(const QString &folder)
{
    m_store.write(QLatin1String(Section), QLatin1String(Key), folder);
}
