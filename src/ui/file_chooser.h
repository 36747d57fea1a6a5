#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QFileDialog;
class QWidget;

namespace peterin {

// The title both file dialogs carry, the open one included.
inline constexpr const char* kFileDialogTitle = "名前を付けてファイルを保存";

// Asks the user for a position file's name. The program asks through file dialogs; tests hand
// in names of their own.
class FileChooser {
  public:
    virtual ~FileChooser() = default;

    // An existing file to read, or an empty string when the user cancelled.
    virtual QString openName(QWidget* owner) = 0;
    // The file to write (".dat" added when the name has no suffix), or an empty string.
    virtual QString saveName(QWidget* owner) = 0;
    // A picture file to write, of type `suffix` ("png" or "gif", added when the name has no
    // suffix), or an empty string. Choosers that make no pictures cancel.
    virtual QString pictureName(QWidget* owner, const QString& suffix);
    // A game record to read, or to write (".pprec" added when the name has no suffix), or an
    // empty string. Choosers without records cancel.
    virtual QString recordName(QWidget* owner, bool save);
};

// Makes a file dialog safe to browse any folder: it names file types and icons from the file
// names alone and never opens a file, so devices, pipes and files under /proc or /sys cannot
// block the window thread. Qt's own dialog is used, where this can be relied on.
void keepFileDialogFromReading(QFileDialog& dialog);

// The standard file dialogs. The open dialog preselects the file type chosen the time before;
// both start in the folder used last.
class DialogFileChooser : public FileChooser {
  public:
    QString openName(QWidget* owner) override;
    QString saveName(QWidget* owner) override;
    QString pictureName(QWidget* owner, const QString& suffix) override;
    QString recordName(QWidget* owner, bool save) override;

  private:
    QString saveAs(QWidget* owner, const QStringList& filters, const QString& suffix);
    // The file the user chose in the dialog, or an empty string; keeps its folder.
    QString chosen(QFileDialog& dialog);

    QString lastOpenFilter_;
    QString lastFolder_;
};

// Asks through another chooser, which can be replaced after the menus that ask through this one
// were made (tests hand in their own).
class ReplaceableChooser : public FileChooser {
  public:
    explicit ReplaceableChooser(std::unique_ptr<FileChooser> chooser)
        : chooser_(std::move(chooser)) {}
    void replace(std::unique_ptr<FileChooser> chooser) { chooser_ = std::move(chooser); }

    QString openName(QWidget* owner) override { return chooser_->openName(owner); }
    QString saveName(QWidget* owner) override { return chooser_->saveName(owner); }
    QString pictureName(QWidget* owner, const QString& suffix) override {
        return chooser_->pictureName(owner, suffix);
    }
    QString recordName(QWidget* owner, bool save) override {
        return chooser_->recordName(owner, save);
    }

  private:
    std::unique_ptr<FileChooser> chooser_;
};

} // namespace peterin
