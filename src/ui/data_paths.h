#pragma once

#include <QString>

namespace peterin {

// Where the program finds the files it ships with. Each is first looked for where the program
// has always looked (the current directory, the program's own folder), then in the folder an
// installation puts it, found from the program's own folder so an installed tree can be moved.

// The folder of button pictures: "画像" in the current directory when there is one, else the
// installed one.
QString picturesFolder();

// The manual: beside the program when there, else in the installed documentation folder. The
// path beside the program when neither exists.
QString manualPath();

} // namespace peterin
