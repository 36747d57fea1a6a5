#pragma once

#include <string>
#include <string_view>

namespace peterin::sim {

// `text` as a JSON string literal, quotes included. Bytes that are not valid UTF-8 become
// U+FFFD, so the document always parses.
std::string jsonString(std::string_view text);

} // namespace peterin::sim
