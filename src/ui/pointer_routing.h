#pragma once

#include "session/session.h"

#include <QObject>

class QWidget;

namespace peterin {

class ViewSet;

// Gives every mouse move over the main window to the field view under the pointer, as the
// window system would without a mouse grab: Qt sends the moves of a drag to the widget the
// button went down in, so a drag from the margin or from the other field would paint nothing
// where it goes. Moves with the pointer outside both fields reach no field, so the hover cell
// stays the last field cell. The views decide which of them is under the pointer.
// A left-button stroke, from its press anywhere in the window to its release, is one command
// of the session, one step of the history.
class FieldPointerRouter : public QObject {
    Q_OBJECT

  public:
    // Watches the whole application (a drag's moves go to the widget that has the grab).
    FieldPointerRouter(QWidget& window, Session& session, const ViewSet& views);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& window_;
    Session& session_;
    const ViewSet& views_;
    bool stroke_ = false; // the left button went down in the window and is not up yet
};

} // namespace peterin
