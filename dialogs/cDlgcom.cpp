#include "dialogs/cDlgcom.h"

#include <QFileInfo>

#include <algorithm>

namespace {

// Names on the player's first platform matched whatever their case; here the file system tells "a.mp3"
// from "a.MP3", so every letter of a pattern becomes a set of both its cases.
QString caseless(const QString &pattern)
{
    // "*.*" took every file there, those without a dot too.
    if (pattern == QLatin1String("*.*"))
        return QStringLiteral("*");
    QString out;
    bool inSet = false;
    for (const QChar c : pattern) {
        if (inSet) {
            // A set the caller wrote stays as written.
            out += c;
            if (c == QLatin1Char(']'))
                inSet = false;
        } else if (c == QLatin1Char('[')) {
            out += c;
            inSet = true;
        } else if (c.toLower() != c.toUpper()) {
            out += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

cDlgcom::cDlgcom(FileDialogBackend &backend) : m_backend(backend) {}

QStringList cDlgcom::nameFiltersOf(const QString &filter)
{
    const QStringList pieces = filter.split(QLatin1Char('|'));
    QStringList filters;
    // A description left without its patterns at the end has nothing to show and is dropped.
    for (qsizetype i = 0; i + 1 < pieces.size(); i += 2) {
        const QString &description = pieces.at(i);
        QStringList patterns;
        for (const QString &p : pieces.at(i + 1).split(QLatin1Char(';'))) {
            const QString pattern = p.trimmed();
            if (!pattern.isEmpty())
                patterns << caseless(pattern);
        }
        // Qt reads the patterns from the last parentheses, so a description's own "(*.dat, *.mp3)" stays
        // text to show.
        const bool spaced = description.isEmpty() || description.back().isSpace();
        filters << description + (spaced ? QString() : QStringLiteral(" ")) + QLatin1Char('(') +
                       patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

bool cDlgcom::ShowOpen()
{
    return ShowFileDialog(true);
}

bool cDlgcom::ShowSave()
{
    return ShowFileDialog(false);
}

bool cDlgcom::ShowFileDialog(bool open)
{
    if (m_filter.isEmpty())
        m_filter = QString::fromLatin1(DefaultFilter);
    if (m_filterIndex == 0)
        m_filterIndex = 1;

    const long kept = m_flags & KeptFlags;
    FileDialogBackend::FileRequest request;
    request.open = open;
    request.owner = m_owner;
    request.title = m_dialogTitle;
    request.initialFolder = m_initDir;
    request.fileName = m_fileName;
    request.nameFilters = nameFiltersOf(m_filter);
    if (!request.nameFilters.isEmpty())
        request.selectedFilter = int(std::clamp(m_filterIndex - 1, 0L, long(request.nameFilters.size()) - 1));
    request.defaultSuffix = m_defaultEx;
    request.overwritePrompt = (kept & OFN_OVERWRITEPROMPT) != 0;
    request.fileMustExist = (kept & OFN_FILEMUSTEXIST) != 0;
    request.readOnlyChecked = (kept & OFN_READONLY) != 0;

    const std::optional<FileDialogBackend::FileAnswer> answer = m_backend.runFileDialog(request);
    if (!answer || answer->path.isEmpty()) {
        m_fileName.clear();
        m_fileTitle.clear();
        m_flags = 0;
        return false;
    }
    m_fileName = answer->path;
    m_fileTitle = QFileInfo(m_fileName).fileName();
    // The path less its separator and name, as it always was: a file at the root has no folder.
    m_folder = m_fileName.left(std::max<qsizetype>(0, m_fileName.size() - m_fileTitle.size() - 1));
    m_flags = (kept & ~OFN_READONLY) | (answer->readOnlyChecked ? OFN_READONLY : 0);
    return true;
}

bool cDlgcom::ShowOpenFolder()
{
    const std::optional<QString> chosen = m_backend.runFolderDialog(m_owner, m_dialogTitle);
    if (!chosen)
        return false;
    m_folder = *chosen;
    return true;
}
