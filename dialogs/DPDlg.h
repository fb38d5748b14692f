#pragma once

#include "dialogs/FileDialogBackend.h"

#include <QString>

class QWidget;

// The folder chooser of the main window: give it its owner, show it, then read its result (empty
// when the user cancelled) and the chosen folder's path.
class DPDlg {
public:
    explicit DPDlg(FileDialogBackend &backend = FileDialogBackend::platform());

    QWidget *hWnd() const { return m_owner; }
    void setHWnd(QWidget *owner) { m_owner = owner; }
    QString Prompt() const { return m_prompt; }

    // Presents the chooser and returns when the user closes it.
    void Show();
    QString Result() const { return m_result; }
    QString Path() const { return m_path; }

    static constexpr const char *DefaultPrompt =
        "Qwelto Player 2.0 va chercher les fichiers multimédia dans le répertoire selectionné :";

private:
    FileDialogBackend &m_backend;
    QWidget *m_owner = nullptr;
    QString m_prompt = QString::fromUtf8(DefaultPrompt);
    QString m_result;
    QString m_path;
};
