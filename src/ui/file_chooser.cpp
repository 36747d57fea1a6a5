#include "file_chooser.h"
#include "dialog_state.h"

#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStringList>
#include <QStyle>

namespace peterin {

namespace {

// The descriptions are shown as written; the patterns in brackets are hidden. "All files"
// matches names without a dot too.
QStringList nameFilters() {
    return {QStringLiteral("ぺてりんファイル {*..dat} (*.dat)"),
            QStringLiteral("All files {*.*} (*)")};
}

// Icons and type names from the name only. Qt's default provider sniffs the content of files
// whose names say nothing, and reading /proc/kmsg, for one, never returns.
class NameOnlyIconProvider : public QAbstractFileIconProvider {
  public:
    QIcon icon(IconType type) const override { return QAbstractFileIconProvider::icon(type); }
    QIcon icon(const QFileInfo& info) const override {
        QStyle* style = QApplication::style();
        return style->standardIcon(info.isDir() ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
    }
    QString type(const QFileInfo& info) const override {
        if (!info.isFile())
            return QAbstractFileIconProvider::type(info); // folders, drives, special files
        const QMimeType mime =
            mimes_.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }

  private:
    QMimeDatabase mimes_;
};

} // namespace

void keepFileDialogFromReading(QFileDialog& dialog) {
    static NameOnlyIconProvider provider;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontUseCustomDirectoryIcons);
    dialog.setIconProvider(&provider);
}

QString DialogFileChooser::openName(QWidget* owner) {
    keepDialogStateInProcess();
    QFileDialog dialog(owner, QString::fromUtf8(kFileDialogTitle));
    keepFileDialogFromReading(dialog);
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
    keepFileDialogFromReading(dialog);
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
