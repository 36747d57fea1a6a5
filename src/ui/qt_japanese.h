#pragma once

class QCoreApplication;

namespace peterin {

// Loads Qt's own Japanese translation, so the standard dialogs (files, colours, the buttons of
// message boxes) speak the program's language whatever the system's. Whether it was found;
// without it those dialogs stay in English and nothing else changes.
bool installQtJapanese(QCoreApplication& app);

} // namespace peterin
