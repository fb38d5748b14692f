#pragma once

#include "dialogs/FileDialogBackend.h"

class SettingsStore;

// The dialogs as the program shows them: each opens where the user last chose a file or a folder,
// in this run or an earlier one, unless its caller asks for a folder of its own. The folder is kept
// in the settings store apart from the options the main window saves.
class RememberedFolder final : public FileDialogBackend {
public:
    RememberedFolder(FileDialogBackend &dialogs, SettingsStore &store) : m_dialogs(dialogs), m_store(store) {}

    std::optional<FileAnswer> runFileDialog(const FileRequest &request) override;
    std::optional<QString> runFolderDialogAt(QWidget *owner, const QString &prompt,
                                             const QString &initialFolder) override;

    static constexpr const char *Section = "Dialogs";
    static constexpr const char *Key = "LastFolder";

private:
    // The folder kept, when it is still there.
    QString last() const;
    void remember(const QString &folder);

    FileDialogBackend &m_dialogs;
    SettingsStore &m_store;
};
