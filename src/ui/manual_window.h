#pragma once

#include <QString>
#include <QWidget>

class QPlainTextEdit;

namespace peterin {

// The manual in a read-only text window of the program's own, for a system that cannot open
// it with a viewer of its own (no xdg-open).
class ManualWindow : public QWidget {
    Q_OBJECT

  public:
    ManualWindow(const QString& text, QWidget* owner);

    QPlainTextEdit* textView() const { return view_; }

  private:
    QPlainTextEdit* view_ = nullptr;
};

// Opens the manual at `path` with the system's viewer, else in a ManualWindow over `owner`; a
// missing or unreadable file is told in the failure box.
void openManualAt(QWidget* owner, const QString& path);

} // namespace peterin
