#include "shell/DialogFolderPicker.h"

#include <QDir>
#include <QFileDialog>
#include <QPointer>

#include <qcoro/qcorosignal.h>

namespace kolu {

QCoro::Task<std::optional<QString>> DialogFolderPicker::chooseFolder(FolderPickerOptions options)
{
    QPointer<QFileDialog> dialog = new QFileDialog(nullptr, options.title, QDir::homePath());
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly, true);
    dialog->setOption(QFileDialog::ReadOnly, !options.canCreateFolders);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    if (!options.prompt.isEmpty())
        dialog->setLabelText(QFileDialog::Accept, options.prompt);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->open();
    const int result = co_await qCoro(dialog.data(), &QFileDialog::finished);
    if (!dialog)
        co_return std::nullopt;
    const QStringList chosen = dialog->selectedFiles();
    dialog->deleteLater();
    if (result != QDialog::Accepted || chosen.isEmpty())
        co_return std::nullopt;
    co_return chosen.front();
}

} // namespace kolu
