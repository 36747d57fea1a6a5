#include "dialog_state.h"

#include <QColor>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QPixmapCache>
#include <QSettings>

namespace peterin {

void keepDialogStateInProcess() {
    static bool done = false;
    if (done)
        return;
    done = true;
    // Below a file no folder can be made, so Qt finds nothing to read and writes nothing.
    const QString nowhere = QStringLiteral("/dev/null/peterin");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, nowhere);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, nowhere);
    QColorDialog::setCustomColor(QColorDialog::customCount() - 1, QColor(Qt::black));
}

namespace {

class DialogPixmapSweeper : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && qobject_cast<QDialog*>(watched) != nullptr)
            QPixmapCache::clear();
        return false;
    }
};

} // namespace

void forgetDialogPixmaps(QCoreApplication& app) {
    app.installEventFilter(new DialogPixmapSweeper(&app));
}

} // namespace peterin
