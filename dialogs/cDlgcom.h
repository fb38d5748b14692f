#pragma once

#include "dialogs/FileDialogBackend.h"

#include <QString>

class QWidget;

// The file-open, file-save and folder dialog object: set its properties, call a Show method, read the
// results. Each command makes a new one, so every dialog starts from the defaults.
class cDlgcom {
public:
    // The flags a caller may set, with the values of the original dialog flags.
    static constexpr long OFN_READONLY = 0x1;
    static constexpr long OFN_OVERWRITEPROMPT = 0x2;
    static constexpr long OFN_HIDEREADONLY = 0x4;
    static constexpr long OFN_ALLOWMULTISELECT = 0x200;
    static constexpr long OFN_PATHMUSTEXIST = 0x800;
    static constexpr long OFN_FILEMUSTEXIST = 0x1000;
    // Flags that reach the dialog; the others are dropped.
    static constexpr long KeptFlags = 0x1FF1F;

    explicit cDlgcom(FileDialogBackend &backend = FileDialogBackend::platform());

    bool ShowOpen();
    bool ShowSave();
    bool ShowOpenFolder();

    QString Folder() const { return m_folder; }
    QString FileName() const { return m_fileName; }
    void setFileName(const QString &sFileNameA) { m_fileName = sFileNameA; }
    QString DialogTitle() const { return m_dialogTitle; }
    void setDialogTitle(const QString &sDialogTitleA) { m_dialogTitle = sDialogTitleA; }
    long Flags() const { return m_flags; }
    void setFlags(long lngFlagsA) { m_flags = lngFlagsA; }
    QWidget *hdcOwner() const { return m_owner; }
    void sethdcOwner(QWidget *lnghdcOwnerA) { m_owner = lnghdcOwnerA; }
    QString Filter() const { return m_filter; }
    void setFilter(const QString &sFilterA) { m_filter = sFilterA; }
    long FilterIndex() const { return m_filterIndex; }
    void setFilterIndex(long lngFilterIndexA) { m_filterIndex = lngFilterIndexA; }
    QString InitDir() const { return m_initDir; }
    void setInitDir(const QString &sInitDirA) { m_initDir = sInitDirA; }
    QString FileTitle() const { return m_fileTitle; }
    QString DefaultEx() const { return m_defaultEx; }
    void setDefaultEx(const QString &sDefaultExA) { m_defaultEx = sDefaultExA; }

    // "description|patterns|description|patterns..." (patterns separated by ";") in Qt's form,
    // "description (pattern pattern)". Patterns match whatever the case of the names.
    static QStringList nameFiltersOf(const QString &filter);

    static constexpr const char *DefaultFilter = "Tous(*.*)|*.*";

private:
    bool ShowFileDialog(bool open);

    FileDialogBackend &m_backend;
    QString m_fileName;
    QString m_fileTitle;
    QString m_defaultEx;
    QString m_initDir;
    long m_filterIndex = 0;
    QString m_filter;
    QWidget *m_owner = nullptr;
    long m_flags = 0;
    QString m_dialogTitle;
    QString m_folder;
};
