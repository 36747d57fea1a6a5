#include "save_dialog.h"

#include "session/session.h"

#include "file_chooser.h"
#include "message_box.h"

#include <QCheckBox>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace peterin {

QRect dialogUnitsToPixels(const QFont& font, int x, int y, int width, int height) {
    const QFontMetrics metrics(font);
    // The average over the Latin alphabet, as dialog layouts measure it.
    static const QString alphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int cx = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    const int cy = metrics.height();
    return {x * cx / 4, y * cy / 8, width * cx / 4, height * cy / 8};
}

SaveDialog::SaveDialog(Session& session, FileChooser& chooser, QWidget* owner)
    : QDialog(owner), session_(session), chooser_(chooser) {
    setWindowTitle(QStringLiteral("Dialog"));
    QFont dialogFont(QStringLiteral("MS Shell Dlg"));
    dialogFont.setPointSize(11);
    setFont(dialogFont);
    setFixedSize(dialogUnitsToPixels(font(), 0, 0, 202, 143).size());

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(dialogUnitsToPixels(font(), 33, 106, 55, 23));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &SaveDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setGeometry(dialogUnitsToPixels(font(), 113, 105, 58, 25));
    connect(cancel, &QPushButton::clicked, this, &SaveDialog::reject);

    addCheckBox(kSaveMap, "マップ", 22, 54, 31, 8)->setChecked(true);
    addCheckBox(kSaveNext, "ネクスト", 60, 53, 38, 8);
    addCheckBox(kSaveTempSaves, "一時保存", 104, 53, 45, 8);
    addCheckBox(kSaveBothPlayers, "2Pも", 155, 54, 30, 8);
    addCheckBox(kSaveNextCounts, "ネクストの表示数", 22, 73, 67, 8);
    addCheckBox(kSaveBlobSize, "もるんサイズ", 104, 73, 45, 8);

    // A puzzle is saved as one, its pattern with it; other positions have nothing to tick here.
    QCheckBox* puzzle = addCheckBox(kSavePuzzle, "問題として保存", 22, 88, 70, 8);
    const bool hasGoal = session_.goal().has_value();
    puzzle->setEnabled(hasGoal);
    puzzle->setChecked(hasGoal);
    if (hasGoal)
        checkBox(kSaveNext)->setChecked(true);

    auto* caption = new QLabel(QStringLiteral("保存対象指定"), this);
    caption->setGeometry(dialogUnitsToPixels(font(), 81, 16, 45, 8));
}

QCheckBox* SaveDialog::addCheckBox(int id, const char* text, int x, int y, int width, int height) {
    auto* box = new QCheckBox(QString::fromUtf8(text), this);
    QRect rect = dialogUnitsToPixels(font(), x, y, width, height);
    // A label wider in this font than the layout allows keeps its place and shows in full.
    rect.setWidth(std::max(rect.width(), box->sizeHint().width()));
    box->setGeometry(rect);
    boxes_[id] = box;
    return box;
}

QCheckBox* SaveDialog::checkBox(int id) const {
    const auto it = boxes_.find(id);
    return it == boxes_.end() ? nullptr : it->second;
}

SaveChoices SaveDialog::choices() const {
    SaveChoices choices;
    choices.map = checkBox(kSaveMap)->isChecked();
    choices.bothPlayers = checkBox(kSaveBothPlayers)->isChecked();
    choices.next = checkBox(kSaveNext)->isChecked();
    choices.tempSaves = checkBox(kSaveTempSaves)->isChecked();
    choices.nextCounts = checkBox(kSaveNextCounts)->isChecked();
    choices.blobSize = checkBox(kSaveBlobSize)->isChecked();
    return choices;
}

bool SaveDialog::asPuzzle() const {
    return checkBox(kSavePuzzle)->isChecked();
}

void SaveDialog::accept() {
    const SaveChoices chosen = choices();
    if (const auto message = nothingToSave(chosen)) {
        showMessageBox(this, *message);
        reject();
        return;
    }
    const QString name = chooser_.saveName(this);
    if (!name.isEmpty())
        written_ = session_.saveFile(QFile::encodeName(name).toStdString(), chosen, asPuzzle());
    if (written_) {
        fileName_ = name;
        QDialog::accept();
    } else {
        reject();
    }
}

} // namespace peterin
