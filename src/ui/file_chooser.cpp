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
// The two icons are looked up once: each lookup searches the icon theme's folders, and the
// dialog asks for every file it lists, again whenever the folder changes; in a folder of a few
// hundred files that alone kept the window from answering for seconds.
class NameOnlyIconProvider : public QAbstractFileIconProvider {
  public:
    NameOnlyIconProvider()
        : folderIcon_(QApplication::style()->standardIcon(QStyle::SP_DirIcon)),
          fileIcon_(QApplication::style()->standardIcon(QStyle::SP_FileIcon)) {}
    QIcon icon(IconType type) const override { return QAbstractFileIconProvider::icon(type); }
    QIcon icon(const QFileInfo& info) const override {
        return info.isDir() ? folderIcon_ : fileIcon_;
    }
    QString type(const QFileInfo& info) const override {
        if (!info.isFile())
            return QAbstractFileIconProvider::type(info); // folders, drives, special files
        const QMimeType mime =
            mimes_.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }

  private:
    const QIcon folderIcon_;
    const QIcon fileIcon_;
    QMimeDatabase mimes_;
};

} // namespace

void keepFileDialogFromReading(QFileDialog& dialog) {
    static NameOnlyIconProvider provider;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontUseCustomDirectoryIcons);
    dialog.setIconProvider(&provider);
}

namespace {

// Every file dialog of the program: safe to browse any folder, keeping no state outside the
// process, with the file types' patterns hidden, starting in `folder` when one is known.
void prepare(QFileDialog& dialog, const QStringList& filters, const QString& folder) {
    keepDialogStateInProcess();
    keepFileDialogFromReading(dialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(filters);
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
}

} // namespace

QString DialogFileChooser::openName(QWidget* owner) {
    QFileDialog dialog(owner, QString::fromUtf8(kFileDialogTitle));
    prepare(dialog, nameFilters(), lastFolder_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!lastOpenFilter_.isEmpty())
        dialog.selectNameFilter(lastOpenFilter_);
    const QString name = chosen(dialog);
    if (!name.isEmpty())
        lastOpenFilter_ = dialog.selectedNameFilter();
    return name;
}

QString DialogFileChooser::saveName(QWidget* owner) {
    return saveAs(owner, nameFilters(), QStringLiteral("dat"));
}

QString FileChooser::pictureName(QWidget*, const QString&) {
    return {};
}

QString FileChooser::recordName(QWidget*, bool) {
    return {};
}

QString DialogFileChooser::recordName(QWidget* owner, bool save) {
    const QStringList filters = {QStringLiteral("ぺてりん記録 (*.pprec)"),
                                 QStringLiteral("All files {*.*} (*)")};
    if (save) {
        return saveAs(owner, filters, QStringLiteral("pprec"));
    }
    QFileDialog dialog(owner, QStringLiteral("記録を開く"));
    prepare(dialog, filters, lastFolder_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosen(dialog);
}

QString DialogFileChooser::pictureName(QWidget* owner, const QString& suffix) {
    return saveAs(owner,
                  {suffix.toUpper() + QStringLiteral(" (*.") + suffix + QLatin1Char(')'),
                   QStringLiteral("All files {*.*} (*)")},
                  suffix);
}

QString DialogFileChooser::saveAs(QWidget* owner, const QStringList& filters,
                                  const QString& suffix) {
    QFileDialog dialog(owner, QString::fromUtf8(kFileDialogTitle));
    prepare(dialog, filters, lastFolder_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    return chosen(dialog);
}

QString DialogFileChooser::chosen(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    lastFolder_ = dialog.directory().absolutePath();
    return dialog.selectedFiles().constFirst();
}

} // namespace peterin
