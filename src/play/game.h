#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "play/game_events.h"
#include "play/player.h"
#include "play/temp_save.h"
#include "rules/cell.h"
#include "sequence/random.h"
#include "settings/settings.h"

namespace peterin {

// The application mode; the numbers travel in mode requests and never include 2.
enum class Mode : std::int32_t {
    Edit = 0,   // cells are painted; nothing runs
    Play = 1,   // 1P plays alone
    Battle = 3, // both sides play against each other
};

// Rows of every field's LimboArea.
inline constexpr std::int32_t kLimboRows = 1;

// The temp-save cursor value meaning "the live position is on screen".
inline constexpr int kLivePosition = -1;
// The ID-box text for the live position.
inline constexpr const char* kLiveIdText = "MAIN";

// A battle that can be won and lost (勝敗あり): who won the game just ended, and the wins so far.
struct BattleScore {
    std::optional<int> winner; // set while a game is over: both fields stand still
    std::array<std::int32_t, kPlayerCount> wins{};
};

// Everything the game consists of, owned by whoever runs it (the program's main, or a test).
// Nothing else holds game state, so several games can exist side by side.
struct Game {
    explicit Game(GameEvents& events) : events(events) {}
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    GameEvents& events;
    Settings settings;
    // Where "次回起動時も有効" writes the settings: empty for 設定.ini in the current directory,
    // resolved at each save; a fixed file when the program was started from the desktop menu.
    std::filesystem::path settingsFile;
    std::array<Player, kPlayerCount> players;
    Mode mode = Mode::Edit;

    // Positions kept aside by the user, addressed by their index (the ID).
    std::vector<TempSave> tempSaves;
    // Index of the stored position on screen, or kLivePosition.
    int tempCursor = kLivePosition;
    // The ID box's text: kLiveIdText or a number. Stepping reads it rather than the cursor, so
    // after a file replaced the store it starts from the old text.
    std::string tempIdText = kLiveIdText;
    // The position just before the current turn's chain, restored by a load with "MAIN" shown.
    TempSave turnBackup;

    bool onePersonBattle = true;         // one key set plays both sides of a battle by turns
    CellKind editKind = CellKind::Empty; // what the left mouse button paints
    // Playback is paused: the pair keys wait, so a held turn cycle stays exactly as it is.
    bool pairKeysHeld = false;

    // The field cell the mouse was seen over last: hoverPlayer is 0 before any, else player + 1.
    int hoverPlayer = 0;
    std::int32_t hoverColumn = 0;
    std::int32_t hoverRow = 0;

    // The one conventional generator of the run: nuisance columns and fresh random positions.
    ConventionalRandom rng;

    // What the status bar shows for each player, kept by showChainStatus so that a position put
    // back can show it again.
    std::array<ShownStatus, kPlayerCount> shownStatus{};

    // The battles won and lost; untouched unless a lost pair loses (see decisive()).
    BattleScore battleScore;
    // A game record being played: whether a lost pair lost when it was recorded. It stands in
    // for the settings' rule, which follows the live game's choice of computer sides.
    std::optional<bool> recordedDecisive;
};

// Player `player` (0 for 1P, 1 for 2P) of the game.
inline Player& playerOf(Game& game, int player) {
    return game.players[static_cast<std::size_t>(player)];
}

// Start-up, once the settings are loaded and before any window shows the game: seeds the
// conventional generator from `nowSeconds`, sizes both fields, fills both queues from the same
// random position ("初期乱数値", or a fresh one when negative), loads the falling pairs and
// makes the starting position the turn backup. Mode is Edit, so 1P's phase is a frozen fall.
void initGame(Game& game, std::int64_t nowSeconds);

// Sets every field's link to its player's score record again after a position was copied in.
void linkPlayers(Game& game);

// "表示可能数" changed: every queue (live, stored, turn backup) gets that many pairs plus the
// falling one. Called by the settings dialog and by the file reader.
void resizeQueues(Game& game);

// New field size from the settings dialog: both live fields are resized and emptied, the
// settings take the size, and both falling pairs are pulled back inside. The caller relayouts.
void changeFieldSize(Game& game, std::int32_t width, std::int32_t height);
// The same for players apart from a game (a file being read) and the settings that go with them.
void changeFieldSize(const std::array<PlayerState<Field>*, kPlayerCount>& players,
                     Settings& settings, std::int32_t width, std::int32_t height);

} // namespace peterin
