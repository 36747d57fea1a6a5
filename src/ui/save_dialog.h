#pragma once

#include "files/save_choices.h"

#include <QDialog>
#include <QRect>
#include <QString>

#include <map>

class QCheckBox;
class QFont;

namespace peterin {

class Session;
class FileChooser;

// Check box ids of the save dialog.
inline constexpr int kSaveMap = 107;
inline constexpr int kSaveNext = 301;
inline constexpr int kSaveTempSaves = 303;
inline constexpr int kSaveBothPlayers = 304;
inline constexpr int kSaveNextCounts = 108;
inline constexpr int kSaveBlobSize = 109;
inline constexpr int kSavePuzzle = 110; // "問題として保存": there only for a position with a goal

// A rectangle in dialog units as pixels for `font`: a horizontal unit is a quarter of the
// font's average character width, a vertical unit an eighth of its height.
QRect dialogUnitsToPixels(const QFont& font, int x, int y, int width, int height);

// The "保存" command's dialog: the user ticks what the file holds, then names the file. A new
// dialog starts with only "マップ" ticked; nothing is kept between openings.
class SaveDialog : public QDialog {
    Q_OBJECT

  public:
    SaveDialog(Session& session, FileChooser& chooser, QWidget* owner);

    QCheckBox* checkBox(int id) const;
    // What the six check boxes say now.
    SaveChoices choices() const;
    // Whether the position is saved as a puzzle, with its goal.
    bool asPuzzle() const;
    // Whether "OK" wrote a file.
    bool written() const { return written_; }
    // The file "OK" wrote.
    const QString& fileName() const { return fileName_; }

    // "OK": tells the user when nothing is ticked, otherwise asks for the name and writes.
    // The dialog closes either way.
    void accept() override;

  private:
    QCheckBox* addCheckBox(int id, const char* text, int x, int y, int width, int height);

    Session& session_;
    FileChooser& chooser_;
    std::map<int, QCheckBox*> boxes_;
    bool written_ = false;
    QString fileName_;
};

} // namespace peterin
