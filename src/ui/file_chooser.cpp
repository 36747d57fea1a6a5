#include "file_chooser.h"
#include "dialog_state.h"

#include <QFileDialog>
#include <QStringList>

namespace peterin {

namespace {

// The descriptions are shown as written; the patterns in brackets are hidden. "All files"
// matches names without a dot too.
QStringList nameFilters() {
    return {QStringLiteral("ぺてりんファイル {*..dat} (*.dat)"),
            QStringLiteral("All files {*.*} (*)")};
}

} // namespace

QString DialogFileChooser::openName(QWidget* owner) {
    keepDialogStateInProcess();
    QFileDialog dialog(owner, QString::fromUtf8(kFileDialogTitle));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFilters());
    if (!lastOpenFilter_.isEmpty())
        dialog.selectNameFilter(lastOpenFilter_);
    if (!lastFolder_.isEmpty())
        dialog.setDirectory(lastFolder_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    lastOpenFilter_ = dialog.selectedNameFilter();
    lastFolder_ = dialog.directory().absolutePath();
    return dialog.selectedFiles().constFirst();
}

QString DialogFileChooser::saveName(QWidget* owner) {
    keepDialogStateInProcess();
    QFileDialog dialog(owner, QString::fromUtf8(kFileDialogTitle));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFilters());
    dialog.setDefaultSuffix(QStringLiteral("dat"));
    if (!lastFolder_.isEmpty())
        dialog.setDirectory(lastFolder_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    lastFolder_ = dialog.directory().absolutePath();
    return dialog.selectedFiles().constFirst();
}

QString FileChooser::pictureName(QWidget*, const QString&) {
    return {};
}

QString DialogFileChooser::pictureName(QWidget* owner, const QString& suffix) {
    QFileDialog dialog(owner, QString::fromUtf8(kFileDialogTitle));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({suffix.toUpper() + QStringLiteral(" (*.") + suffix + QLatin1Char(')'),
                           QStringLiteral("All files {*.*} (*)")});
    dialog.setDefaultSuffix(suffix);
    if (!lastFolder_.isEmpty())
        dialog.setDirectory(lastFolder_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    lastFolder_ = dialog.directory().absolutePath();
    return dialog.selectedFiles().constFirst();
}

} // namespace peterin
