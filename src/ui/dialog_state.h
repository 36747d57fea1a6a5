#pragma once

namespace peterin {

// Qt's own dialogs keep what the user did in them (the colour chooser's sixteen custom colours,
// the file dialog's history) in a settings file of the user's, shared by every Qt program and
// outliving this one. The program writes no file but 設定.ini and the files the user saves, so
// that state stays in the running process: the settings file is placed where none can be made,
// and the sixteenth custom colour, the one the program does not fill, starts black. Called
// before any dialog opens; calling it again changes nothing.
void keepDialogStateInProcess();

} // namespace peterin
