#pragma once

#include "settings/message.h"

class QWidget;

namespace peterin {

// Shows a message in a modal box with its caption, text and icon.
void showMessageBox(QWidget* owner, const Message& message);

} // namespace peterin
