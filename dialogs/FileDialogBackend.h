#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// The platform's file and folder dialogs, behind a seam so that tests can answer them.
class FileDialogBackend {
public:
    struct FileRequest {
        bool open = true;         // false: a save dialog
        QWidget *owner = nullptr; // no owner: the dialog stands alone
        QString title;            // empty: the platform's own caption
        QString initialFolder;    // empty: the platform's choice
        QString fileName;         // the name the dialog starts with
        QStringList nameFilters;  // in Qt's form, "Description (*.a *.b)"
        int selectedFilter = 0;   // 0-based index into nameFilters
        QString defaultSuffix;    // added to a typed name without an extension; empty: none
        bool overwritePrompt = false;
        bool fileMustExist = false;
        bool readOnlyChecked = false;
    };
    struct FileAnswer {
        QString path; // the chosen full path
        bool readOnlyChecked = false;
    };

    FileDialogBackend() = default;
    FileDialogBackend(const FileDialogBackend &) = delete;
    FileDialogBackend &operator=(const FileDialogBackend &) = delete;
    virtual ~FileDialogBackend() = default;

    // Runs a modal file dialog; nothing when the user cancelled.
    virtual std::optional<FileAnswer> runFileDialog(const FileRequest &request) = 0;
    // Runs a modal folder chooser with a prompt, opening on a folder (empty: the platform's choice);
    // nothing when the user cancelled. Dialogs that cannot start anywhere in particular ignore the folder.
    virtual std::optional<QString> runFolderDialogAt(QWidget *owner, const QString &prompt,
                                                     const QString &initialFolder) = 0;
    std::optional<QString> runFolderDialog(QWidget *owner, const QString &prompt)
    {
        return runFolderDialogAt(owner, prompt, QString());
    }

    // The real dialogs, Qt's.
    static FileDialogBackend &platform();
};
