#pragma once

#include "dialogs/FileDialogBackend.h"

// Qt's own widget dialogs (never the desktop's native ones), so that they look and behave the same on
// every desktop and under a bare X server.
class QtFileDialogBackend final : public FileDialogBackend {
public:
    std::optional<FileAnswer> runFileDialog(const FileRequest &request) override;
    std::optional<QString> runFolderDialogAt(QWidget *owner, const QString &prompt,
                                             const QString &initialFolder) override;

    // Object names of the running dialogs and of the prompt, for whoever needs to find them.
    static constexpr const char *FileDialogName = "fileDialog";
    static constexpr const char *FolderDialogName = "folderDialog";
    static constexpr const char *PromptLabelName = "folderPrompt";
};
