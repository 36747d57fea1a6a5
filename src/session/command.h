#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <variant>

#include "history/playback.h"
#include "play/commands.h"
#include "play/game.h"
#include "puzzle/goal.h"
#include "puzzle/solver.h"
#include "rules/cell.h"

namespace peterin {

// The commands of the session, each named by what the user means. Plain values, so that an
// observer can keep them and a record can replay them.

// Keys, by virtual-key code. A release changes nothing in the game; it passes for observers.
struct KeyDown {
    std::uint8_t key = 0;
};
struct KeyUp {
    std::uint8_t key = 0;
};
// A step of the mouse wheel; > 0 is away from the user.
struct Wheel {
    int delta = 0;
};
// The pointer over a player's field view, in the view's pixels.
struct PointerMove {
    int player = 0;
    std::uint16_t x = 0;
    std::uint16_t y = 0;
    bool leftHeld = false;
};
// A button went down in a player's field view: the left paints the hover cell, the right picks
// its kind.
struct PointerPress {
    int player = 0;
    bool left = true;
};
// A left-button stroke anywhere in the window, from press to release: one undo step.
struct StrokeBegin {};
struct StrokeEnd {};
// The real timer of a player timed out.
struct Timeout {
    int player = 0;
};

// The tool window's requests.
struct SetEditKind {
    CellKind kind = CellKind::Empty;
};
struct SetMode {
    Mode mode = Mode::Edit;
};
struct AdjustWarning {
    NuisanceUnit unit = NuisanceUnit::Small;
    bool add = true;
};
struct DropNuisance {};
struct SetRandomPosition {
    std::uint32_t position = 0;
    bool rebuild = false; // "INIT": the queue is made again; "OK": it goes on from there
};
struct ClearFields {};
// "<", ">", "保存" and "取出".
enum class TempStep { Previous, Next, Save, Load };
struct TempCommand {
    TempStep step = TempStep::Next;
};

// The menu "編集".
struct Undo {};
struct Redo {};
struct ClearHistory {};

// The menus "表示" and "ツール".
struct ToggleLimbo {};
struct ToggleHeaven {};
struct ToggleOnePersonBattle {};

// The menu "再生".
struct SetPaused {
    bool paused = false;
};
struct StepTick {};
struct NextScene {};
struct NextChainStep {};
struct PreviousChainStep {};
struct SetSpeed {
    PlaybackSpeed speed = PlaybackSpeed::Normal;
};

// Reading a position file; `names` puts it in the title (the previous run's work does not).
struct OpenFile {
    std::filesystem::path path;
    bool names = true;
};
// A position pasted as text ("局面を貼り付け"), read as a dropped file is, without a name.
struct ReadText {
    std::string text;
};
// The settings dialog's "OK" and "適用".
struct ApplySettings {
    Settings wanted;
};

// The menu "記録": a game record is shown on the fields in place of the live game, played by
// the playback, and gone through turn by turn; "ここから遊ぶ" makes its position the live one.
struct OpenRecord {
    std::filesystem::path path;
};
struct CloseRecord {};
struct GoToTurn {
    int turn = 0; // turns ended; 0 is the start
};
struct StepTurn {
    int by = 1; // turns forwards, or back when negative
};
struct GoToLargestChain {};
struct PlayFromHere {};

// The menu "問題". "問題を解く" plays the live position's puzzle from where it stands with the
// pair keys, in play mode; "もう一度" puts its start back and plays it again; "答えを見る" shows
// a solution on the fields as a record is shown; "問題を作る" gives the position its goal.
struct SolvePuzzle {};
struct RetryPuzzle {};
struct ShowSolution {
    puzzle::Solution solution; // as Session::searchPuzzle found it
};
struct SetGoal {
    std::optional<puzzle::Goal> goal;
};
// The computer opponent, the menu "コンピュータ".
// A pair key the computer presses for the side it plays: the same action a key bound to it has.
struct ComputerKey {
    int player = 1;
    PairAction action = PairAction::Down;
};
// Which sides the computer plays and at what strength (see Settings).
struct ChooseComputer {
    std::array<bool, kPlayerCount> plays{};
    int level = 3;
    int level1P = 3;
};
// A decisive battle's next game: "もう一度" from the same start, "次の対戦" (and the key after a
// game ended) from a fresh random position.
struct NextBattle {
    bool samePosition = false;
};

using Command =
    std::variant<KeyDown, KeyUp, Wheel, PointerMove, PointerPress, StrokeBegin, StrokeEnd, Timeout,
                 SetEditKind, SetMode, AdjustWarning, DropNuisance, SetRandomPosition, ClearFields,
                 TempCommand, Undo, Redo, ClearHistory, ToggleLimbo, ToggleHeaven,
                 ToggleOnePersonBattle, SetPaused, StepTick, NextScene, NextChainStep,
                 PreviousChainStep, SetSpeed, OpenFile, ReadText, ApplySettings, OpenRecord,
                 CloseRecord, GoToTurn, StepTurn, GoToLargestChain, PlayFromHere, SolvePuzzle,
                 RetryPuzzle, ShowSolution, SetGoal, ComputerKey, ChooseComputer, NextBattle>;

} // namespace peterin
