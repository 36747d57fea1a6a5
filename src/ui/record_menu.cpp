#include "record_menu.h"

#include "file_chooser.h"
#include "message_box.h"
#include "records/record_folder.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QInputDialog>
#include <QMenu>
#include <QWidget>

namespace peterin {

namespace {

std::filesystem::path pathOf(const QString& name) {
    return std::filesystem::path(QFile::encodeName(name).toStdString());
}

// "2026-12-09 14:21  対戦 120手 最大9連鎖", in local time.
QString summaryText(const RecordSummary& r) {
    const QString date =
        r.date ? QDateTime::fromSecsSinceEpoch(r.date).toString(QStringLiteral("yyyy-MM-dd HH:mm"))
               : QStringLiteral("----");
    return date + QStringLiteral("  ") +
           (r.mode == Mode::Battle ? QStringLiteral("対戦") : QStringLiteral("ひとり")) +
           QStringLiteral(" %1手 最大%2連鎖").arg(r.turns).arg(r.largestChain);
}

} // namespace

RecordMenu::RecordMenu(Session& session, QWidget& window, FileChooser& chooser)
    : QObject(&window), session_(session), window_(window), chooser_(chooser) {
    menu_ = new QMenu(QStringLiteral("記録"), &window);
    const auto add = [&](const char* text, const char* shortcut, auto slot) {
        QAction* action = menu_->addAction(QString::fromUtf8(text));
        if (shortcut != nullptr) {
            action->setShortcut(QKeySequence(QString::fromUtf8(shortcut)));
            action->setShortcutContext(Qt::WindowShortcut);
        }
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    const auto command = [this](auto value) { return [this, value] { session_.apply(value); }; };
    open_ = add("記録を開く...", "Ctrl+R", [this] { open(); });
    save_ = add("記録を保存...", nullptr, [this] { save(); });
    recent_ = menu_->addMenu(QStringLiteral("最近の記録"));
    connect(recent_, &QMenu::aboutToShow, this, &RecordMenu::rebuildRecent);
    menu_->addSeparator();
    previousTurn_ = add("前のターン", "Ctrl+[", command(StepTurn{-1}));
    nextTurn_ = add("次のターン", "Ctrl+]", command(StepTurn{1}));
    goToTurn_ = add("ターンへ移動...", "Ctrl+G", [this] { goToTurn(); });
    largestChain_ = add("最大連鎖の前へ", "Ctrl+L", command(GoToLargestChain{}));
    review_ = add("検討", nullptr, [this] { emit reviewRequested(); });
    playFromHere_ = add("ここから遊ぶ", nullptr, command(PlayFromHere{}));
    close_ = add("記録を閉じる", nullptr, command(CloseRecord{}));
    connect(menu_, &QMenu::aboutToShow, this, &RecordMenu::sync);
    sync();
}

void RecordMenu::sync() {
    const bool shown = session_.shownRecord() != nullptr;
    for (QAction* action :
         {previousTurn_, nextTurn_, goToTurn_, largestChain_, review_, playFromHere_, close_}) {
        action->setEnabled(shown);
    }
    save_->setEnabled(shown || session_.recorder().latest() != nullptr);
}

void RecordMenu::open() {
    const QString name = chooser_.recordName(&window_, false);
    if (!name.isEmpty()) {
        session_.openRecord(pathOf(name));
    }
}

void RecordMenu::save() {
    const ShownRecord* shown = session_.shownRecord();
    const Record* record = shown ? &shown->record() : session_.recorder().latest();
    if (record == nullptr) {
        return;
    }
    const Record kept = *record; // the game may go on while the dialog is open
    const QString name = chooser_.recordName(&window_, true);
    if (name.isEmpty()) {
        return;
    }
    if (const auto why = saveRecord(kept, pathOf(name))) {
        showMessageBox(&window_, {"記録を保存できませんでした。\n" +
                                      QFile::encodeName(name).toStdString() + "\n" + *why,
                                  "err", MessageIcon::Warning});
    }
}

void RecordMenu::rebuildRecent() {
    recent_->clear();
    RecordFolder* folder = session_.records();
    const auto recent = folder ? recentRecords(folder->folder(), 10) : std::vector<RecordSummary>{};
    if (recent.empty()) {
        recent_->addAction(QStringLiteral("(なし)"))->setEnabled(false);
        return;
    }
    for (const RecordSummary& r : recent) {
        QAction* action = recent_->addAction(summaryText(r));
        connect(action, &QAction::triggered, this,
                [this, path = r.path] { session_.openRecord(path); });
    }
}

void RecordMenu::goToTurn() {
    const ShownRecord* shown = session_.shownRecord();
    if (shown == nullptr) {
        return;
    }
    bool ok = false;
    const int turn = QInputDialog::getInt(&window_, QStringLiteral("ターンへ移動"),
                                          QStringLiteral("ターン (0 から %1):").arg(shown->turns()),
                                          shown->turn(), 0, shown->turns(), 1, &ok);
    if (ok) {
        session_.apply(GoToTurn{turn});
    }
}

} // namespace peterin
