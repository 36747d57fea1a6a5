#pragma once

#include <QIcon>

namespace peterin {

// The program's icon at every size it is drawn in (16 to 256 pixels), for the window icon of
// every window.
QIcon applicationIcon();

} // namespace peterin
