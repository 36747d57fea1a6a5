#include "picture_menu.h"

#include "file_chooser.h"
#include "message_box.h"
#include "render/picture_files.h"
#include "view_set.h"

#include <QAction>
#include <QFile>
#include <QMenu>

namespace peterin {

namespace {

Message notWritten(const QString& path, const std::string& reason) {
    return {"「" + path.toStdString() + "」に保存できませんでした。\n" + reason, "err",
            MessageIcon::Warning};
}

} // namespace

PictureMenu::PictureMenu(QWidget& owner, const Game& game, const ViewSet& views,
                         FileChooser& chooser, QMenu& fileMenu)
    : QObject(&owner), owner_(owner), game_(game), views_(views), chooser_(chooser),
      savePicture_(fileMenu.addAction(QStringLiteral("画像を保存..."))),
      saveChain_(fileMenu.addAction(QStringLiteral("連鎖をGIFで保存..."))) {
    connect(savePicture_, &QAction::triggered, this, &PictureMenu::savePicture);
    connect(saveChain_, &QAction::triggered, this, &PictureMenu::saveChain);
}

void PictureMenu::savePicture() {
    const QString path = chooser_.pictureName(&owner_, QStringLiteral("png"));
    if (path.isEmpty())
        return;
    if (const auto error = saveViewsPng(game_, QFile::encodeName(path).toStdString()))
        showMessageBox(&owner_, notWritten(path, *error));
}

void PictureMenu::saveChain() {
    LastTurns turns{};
    bool any = false;
    for (int p = 0; p < shownPlayerCount(game_); ++p) {
        turns[static_cast<std::size_t>(p)] = views_.field(p)->recorder().lastTurn();
        any = any || turns[static_cast<std::size_t>(p)] != nullptr;
    }
    // Asked before the file name, so that nothing is chosen for a file that cannot be made.
    if (!any) {
        showMessageBox(&owner_, {"保存する連鎖がまだありません", "？", MessageIcon::None});
        return;
    }
    const QString path = chooser_.pictureName(&owner_, QStringLiteral("gif"));
    if (path.isEmpty())
        return;
    if (const auto error = saveTurnGif(game_, turns, QFile::encodeName(path).toStdString()))
        showMessageBox(&owner_, notWritten(path, *error));
}

} // namespace peterin
