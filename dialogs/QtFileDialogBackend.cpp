#include "dialogs/QtFileDialogBackend.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>

#include <algorithm>
#include <vector>

namespace {

// A dialog of our own on the heap: the owner may go away while it runs, and takes it along.
QFileDialog *newDialog(QWidget *owner, const char *name)
{
    auto *dialog = new QFileDialog(owner);
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    return dialog;
}

// The prompt is longer than a title bar comfortably shows, so it also heads the dialog itself. The
// widget dialog's layout is a grid; its rows move one down to make room.
void addPrompt(QFileDialog &dialog, const QString &prompt)
{
    auto *grid = qobject_cast<QGridLayout *>(dialog.layout());
    auto *label = new QLabel(prompt, &dialog);
    label->setObjectName(QString::fromLatin1(QtFileDialogBackend::PromptLabelName));
    label->setWordWrap(true);
    if (!grid) {
        if (dialog.layout())
            dialog.layout()->addWidget(label);
        return;
    }
    struct Placed {
        QLayoutItem *item;
        int row, column, rowSpan, columnSpan;
    };
    std::vector<Placed> placed;
    for (int i = grid->count() - 1; i >= 0; --i) {
        Placed p{nullptr, 0, 0, 1, 1};
        grid->getItemPosition(i, &p.row, &p.column, &p.rowSpan, &p.columnSpan);
        p.item = grid->takeAt(i);
        if (p.item)
            placed.push_back(p);
    }
    std::reverse(placed.begin(), placed.end());
    for (const Placed &p : placed)
        grid->addItem(p.item, p.row + 1, p.column, p.rowSpan, p.columnSpan);
    grid->addWidget(label, 0, 0, 1, std::max(1, grid->columnCount()));
}

} // namespace

namespace {

// Runs the dialog and takes the first chosen path; nothing on a cancel, an empty answer, or when the
// dialog went with its owner while it ran.
std::optional<QString> runModal(QPointer<QFileDialog> &dialog)
{
    const int result = dialog->exec();
    if (!dialog)
        return std::nullopt;
    const QStringList chosen = dialog->selectedFiles();
    delete dialog;
    if (result != QDialog::Accepted || chosen.isEmpty() || chosen.first().isEmpty())
        return std::nullopt;
    return chosen.first();
}

} // namespace

std::optional<FileDialogBackend::FileAnswer> QtFileDialogBackend::runFileDialog(const FileRequest &request)
{
    QPointer<QFileDialog> dialog = newDialog(request.owner, FileDialogName);
    dialog->setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // Without the must-exist rule the open dialog also takes the name of a file yet to be made.
    dialog->setFileMode(request.open && request.fileMustExist ? QFileDialog::ExistingFile
                                                              : QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    if (!request.title.isEmpty())
        dialog->setWindowTitle(request.title);
    if (!request.nameFilters.isEmpty()) {
        // The user reads the descriptions as they were written; the case-blind patterns behind them are
        // no concern of theirs.
        dialog->setOption(QFileDialog::HideNameFilterDetails, true);
        dialog->setNameFilters(request.nameFilters);
        // Chosen by the dialog's own copy of the filters: it squeezes their blanks.
        const QStringList filters = dialog->nameFilters();
        if (!filters.isEmpty())
            dialog->selectNameFilter(
                filters.at(std::clamp(request.selectedFilter, 0, int(filters.size()) - 1)));
    }
    dialog->setDefaultSuffix(request.defaultSuffix);
    if (!request.initialFolder.isEmpty())
        dialog->setDirectory(request.initialFolder);
    if (!request.fileName.isEmpty())
        dialog->selectFile(request.fileName);

    const std::optional<QString> chosen = runModal(dialog);
    if (!chosen)
        return std::nullopt;
    // Qt's dialog has no read-only box: the check state goes back as it came.
    return FileAnswer{*chosen, request.readOnlyChecked};
}

std::optional<QString> QtFileDialogBackend::runFolderDialogAt(QWidget *owner, const QString &prompt,
                                                              const QString &initialFolder)
{
    QPointer<QFileDialog> dialog = newDialog(owner, FolderDialogName);
    dialog->setFileMode(QFileDialog::Directory);
    if (!initialFolder.isEmpty())
        dialog->setDirectory(initialFolder);
    dialog->setOption(QFileDialog::ShowDirsOnly, true);
    dialog->setWindowTitle(prompt);
    if (!prompt.isEmpty())
        addPrompt(*dialog, prompt);

    return runModal(dialog);
}

FileDialogBackend &FileDialogBackend::platform()
{
    static QtFileDialogBackend backend;
    return backend;
}
