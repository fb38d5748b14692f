#include "dialogs/DPDlg.h"

#include <QDir>

DPDlg::DPDlg(FileDialogBackend &backend) : m_backend(backend) {}

void DPDlg::Show()
{
    const std::optional<QString> chosen = m_backend.runFolderDialog(m_owner, m_prompt);
    if (!chosen || chosen->isEmpty()) {
        m_result.clear();
        return;
    }
    m_path = QDir::toNativeSeparators(*chosen);
    m_result = QDir(m_path).dirName().isEmpty() ? m_path : QDir(m_path).dirName();
}
