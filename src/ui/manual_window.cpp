#include "manual_window.h"

#include "message_box.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QUrl>
#include <QVBoxLayout>

namespace peterin {

ManualWindow::ManualWindow(const QString& text, QWidget* owner) : QWidget(owner, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("説明書.txt - ぺてりん"));
    view_ = new QPlainTextEdit(text, this);
    view_->setReadOnly(true);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    // Wide enough for the manual's longest lines.
    resize(view_->fontMetrics().horizontalAdvance(QString(80, QChar(u'あ'))) / 2 + 40, 600);
}

void openManualAt(QWidget* owner, const QString& path) {
    const Message failed{"「説明書.txt」を開くのに失敗しました", "失敗", MessageIcon::Warning};
    // A missing manual counts as a failure even where the desktop would still start a viewer.
    if (!QFileInfo(path).isFile()) {
        showMessageBox(owner, failed);
        return;
    }
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showMessageBox(owner, failed);
        return;
    }
    auto* window = new ManualWindow(QString::fromUtf8(file.readAll()), owner);
    window->show();
}

} // namespace peterin
