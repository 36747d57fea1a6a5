#pragma once

#include <filesystem>

namespace peterin {

// The program's own folders, after the XDG base directory rules: $XDG_CONFIG_HOME/peterin
// (else ~/.config/peterin) for what it keeps between runs of its own accord, such as the recent
// files, and for 設定.ini when started from the desktop menu; $XDG_STATE_HOME/peterin (else
// ~/.local/state/peterin) for the work it keeps across exits. Relative values of the variables
// are ignored, as the rules ask. Nothing is created.
std::filesystem::path programConfigFolder();
std::filesystem::path programStateFolder();

} // namespace peterin
