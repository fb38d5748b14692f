#pragma once

#include "dialogs/FileDialogBackend.h"

#include <QList>

// Dialogs answered by the test: each run takes the next prepared answer (a cancel when none is left)
// and records what it was asked.
struct FakeDialogs : FileDialogBackend {
    QList<std::optional<QString>> fileAnswers;
    QList<std::optional<QString>> folderAnswers;
    QList<FileRequest> fileRequests;
    QStringList folderPrompts;

    std::optional<FileAnswer> runFileDialog(const FileRequest &request) override
    {
        fileRequests.append(request);
        const std::optional<QString> answer = fileAnswers.isEmpty() ? std::nullopt : fileAnswers.takeFirst();
        if (!answer)
            return std::nullopt;
        return FileAnswer{*answer, request.readOnlyChecked};
    }

    std::optional<QString> runFolderDialogAt(QWidget *, const QString &prompt, const QString &) override
    {
        folderPrompts.append(prompt);
        return folderAnswers.isEmpty() ? std::nullopt : folderAnswers.takeFirst();
    }
};
