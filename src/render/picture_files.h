#pragma once

#include "render/turn_recorder.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace peterin {

// The last turn of each player as recorded (nullptr for a player without one).
using LastTurns = std::array<const TurnRecording*, kPlayerCount>;

// The animation of the shown players' last turns: the pictures of the client area at every
// tick where one of them changed, each turn starting at the first picture, and how many ticks
// each picture stays; the last one stays one second. A shown player without a recorded turn
// shows what its views show now. Empty when no shown player has a turn.
struct TurnAnimation {
    std::vector<int> delays; // in ticks, which are also the GIF's hundredths of a second
    // For picture i, the picture of each shown player's turn on show (-1: the views now).
    std::vector<std::array<int, kPlayerCount>> pictureOf;
};
TurnAnimation turnAnimation(const Game& game, const LastTurns& turns);

// Writes the client area as the views show it now as a PNG file, atomically. Returns nothing,
// or the reason the file could not be written.
std::optional<std::string> saveViewsPng(const Game& game, const std::string& path);
// The same, as bytes; nothing when the picture could not be encoded.
std::optional<std::string> encodeViewsPng(const Game& game);

// Writes the shown players' last turns as a looping GIF, atomically. Returns nothing, or the
// reason the file could not be written.
std::optional<std::string> saveTurnGif(const Game& game, const LastTurns& turns,
                                       const std::string& path);

// The same, as bytes.
std::optional<std::string> encodeTurnGif(const Game& game, const LastTurns& turns,
                                         std::string& error);

} // namespace peterin
