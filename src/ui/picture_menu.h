#pragma once

#include <QObject>

class QAction;
class QMenu;
class QWidget;

namespace peterin {

class FileChooser;
class ViewSet;
struct Game;

// "画像を保存..." and "連鎖をGIFで保存..." at the end of the "ファイル" menu: the player views as a
// PNG, and the last turn of each shown player as an animated GIF with the game's own timing.
class PictureMenu : public QObject {
    Q_OBJECT

  public:
    // The pictures are of `views`; `owner` owns the dialogs and messages.
    PictureMenu(QWidget& owner, const Game& game, const ViewSet& views, FileChooser& chooser,
                QMenu& fileMenu);

    QAction* savePictureAction() const { return savePicture_; }
    QAction* saveChainAction() const { return saveChain_; }

    void savePicture();
    void saveChain();

  private:
    QWidget& owner_;
    const Game& game_;
    const ViewSet& views_;
    FileChooser& chooser_;
    QAction* savePicture_;
    QAction* saveChain_;
};

} // namespace peterin
