#pragma once

#include <cstdint>

namespace peterin {

// How much a file or the settings may make the game hold. Every real position fits with room to
// spare (the default field is 6 x 12, the settings' own bounds allow 100 x 100 unless raised by
// hand); what lies beyond is refused with a message before anything is allocated, instead of
// the program being killed for lack of memory part-way through.
//
// One field: at most this many visible cells (width x height), about 170 MB with its walls,
// hidden rows and scratch space.
inline constexpr std::int64_t kMaxFieldCells = 4'000'000;
// Everything together: both live fields and queues, the turn backup and every stored position.
inline constexpr std::int64_t kMaxGameBytes = std::int64_t{1} << 30;

// Whether a field of this size may be made. Sizes below 1 count as 1, as a resize makes them.
constexpr bool fieldSizeAllowed(std::int64_t width, std::int64_t height) {
    return (width < 1 ? 1 : width) * (height < 1 ? 1 : height) <= kMaxFieldCells;
}

} // namespace peterin
