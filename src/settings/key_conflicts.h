#pragma once

#include <array>
#include <cstdint>

#include "settings/settings.h"

namespace peterin {

// For each of the 35 key settings, whether another action that can act at the same time holds
// the same key, so that one press would do both. The system keys (modes, clearing, temporary
// saves, edit colours) act in every mode; the pair keys of solo play act with them, and so do
// those of both battle players, which act together. The same key for solo play and for a
// battle player is no conflict. Key 0 (none) never is.
std::array<bool, kKeyCount> keysInConflict(const std::array<std::uint8_t, kKeyCount>& keys);

} // namespace peterin
