#pragma once

#include <string>

namespace peterin {

// The icon a message box shows; the core names it, the UI maps it to its own.
enum class MessageIcon { None, Information, Warning, Error };

// A message for the user, carried as a value from the code that detects the problem to the UI
// that shows it, so the core never opens a window itself.
struct Message {
    std::string text;    // UTF-8
    std::string caption; // UTF-8, usually "err"
    MessageIcon icon = MessageIcon::Warning;

    bool operator==(const Message&) const = default;
};

} // namespace peterin
