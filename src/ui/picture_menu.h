#pragma once

#include <QObject>

class QAction;
class QMenu;

namespace peterin {

class MainWindow;
struct Game;

// "画像を保存..." and "連鎖をGIFで保存..." at the end of the "ファイル" menu: the player views as a
// PNG, and the last turn of each shown player as an animated GIF with the game's own timing.
class PictureMenu : public QObject {
    Q_OBJECT

  public:
    PictureMenu(MainWindow& window, Game& game, QMenu& fileMenu);

    QAction* savePictureAction() const { return savePicture_; }
    QAction* saveChainAction() const { return saveChain_; }

    void savePicture();
    void saveChain();

  private:
    MainWindow& window_;
    Game& game_;
    QAction* savePicture_;
    QAction* saveChain_;
};

} // namespace peterin
