#pragma once

class QCoreApplication;

namespace peterin {

// Qt's own dialogs keep what the user did in them (the colour chooser's sixteen custom colours,
// the file dialog's history) in a settings file of the user's, shared by every Qt program and
// outliving this one. The program writes no file but 設定.ini and the files the user saves, so
// that state stays in the running process: the settings file is placed where none can be made,
// and the sixteenth custom colour, the one the program does not fill, starts black. Called
// before any dialog opens; calling it again changes nothing.
void keepDialogStateInProcess();

// Qt's pixmap cache files what it draws from an icon under that icon's own number, and a
// dialog makes its icons anew each time it opens: the file dialog's buttons, a message box's
// sign, the file list's header (a new one at every paint). Once the dialog has closed nothing
// can find those pixmaps again, yet they stay until the cache's 10 MB are full, a few hours of
// use. So the cache is emptied whenever a dialog closes; the little the style keeps there for
// the windows that stay is drawn again at their next paint.
void forgetDialogPixmaps(QCoreApplication& app);

} // namespace peterin
