#pragma once

#include <cstdint>

namespace peterin {

// The display name of a virtual-key code, as the key boxes of the settings dialog show it.
// Only the low 8 bits count; 0 ("no key") is "!エラー!" and a code without a name of its own
// is "etc...". The text is UTF-8 and lives as long as the program.
const char* KeyName(std::uint32_t code);

} // namespace peterin
