#include "session/session.h"

#include <algorithm>
#include <ctime>
#include <sstream>
#include <tuple>
#include <utility>

#include "files/save_choices.h"
#include "files/text_input.h"
#include "play/battle.h"
#include "play/editing.h"
#include "play/temp_store.h"
#include "play/turn_cycle.h"
#include "sequence/random.h"
#include "settings/settings.h"

namespace peterin {

bool Changes::empty() const {
    const auto none = [](const std::array<bool, kPlayerCount>& a) {
        return std::none_of(a.begin(), a.end(), [](bool b) { return b; });
    };
    return none(field) && none(queue) && none(warning) && !all && !sizes && !modeSize &&
           !activate && !status[0] && !status[1] && !randomPosition && !tempId && timers.empty() &&
           messages.empty() && !ticked && !history && !playback && !title && !bands && !checks &&
           !puzzle && !verdict && !battle;
}

bool pressKey(Game& game, History& history, std::uint8_t key) {
    const auto& keys = game.settings.keys;
    const auto is = [&](int index) {
        return key != 0 && keys[static_cast<std::size_t>(index)] == key;
    };
    bool drop = false;
    for (int group = 0; group < kKeyGroupCount; ++group) {
        drop = drop || is(pairKeyIndex(PairAction::Down, group));
    }
    // A mode key is a step with the turn it starts (the chain a position fires on entering
    // play), so that undoing it, and redoing it, lands where playing does.
    const bool mode = is(kKeyEditMode) || is(kKeyPlayMode) || is(kKeyBattleMode);
    if (!drop && !mode && !is(kKeyClearAll) && !is(kKeyTempLoad)) {
        const bool modeKey = onKeyDown(game, key);
        history.afterTick(game); // a mode key may have stopped the turn of an open step
        return modeKey;
    }
    bool modeKey = false;
    history.step(game, drop ? StepKind::Drop : StepKind::Edit,
                 [&] { modeKey = onKeyDown(game, key); });
    return modeKey;
}

namespace {

// A key that replaces the position a game plays on (a mode key starts the mode again): the
// game's record ends there.
bool replacesPosition(const Settings& settings, std::uint8_t key) {
    for (const int index :
         {kKeyEditMode, kKeyPlayMode, kKeyBattleMode, kKeyClearAll, kKeyTempLoad}) {
        if (key != 0 && settings.keys[static_cast<std::size_t>(index)] == key) {
            return true;
        }
    }
    return false;
}

bool isPairKey(const Settings& settings, std::uint8_t key) {
    for (int action = 0; action < kPairActionCount; ++action) {
        for (int group = 0; group < kKeyGroupCount; ++group) {
            const int index = pairKeyIndex(static_cast<PairAction>(action), group);
            if (key != 0 && settings.keys[static_cast<std::size_t>(index)] == key) {
                return true;
            }
        }
    }
    return false;
}

// After a decisive battle's game ended, a pair key or a key bound to nothing starts the next.
bool startsNextBattle(const Settings& settings, std::uint8_t key) {
    if (key == 0 || isPairKey(settings, key)) {
        return key != 0;
    }
    return std::find(settings.keys.begin(), settings.keys.end(), key) == settings.keys.end();
}

// Every colour the views are drawn in.
auto coloursOf(const Settings& v) {
    return std::tie(v.cellColours, v.backgroundColour, v.savedIdColour, v.limboColour,
                    v.heavenColour, v.limboEmptyColour, v.heavenEmptyColour);
}

} // namespace

// Carries out each kind of command on the session's game.
struct CommandRunner {
    Session& s;
    Game& game = s.game_;
    History& history = s.history_;
    Playback& playback = *s.playback_;
    GameRecorder& recorder = s.recorder_;

    void operator()(const KeyDown& c) {
        // A pair key pressed while the playback holds the game waits for the next tick that
        // runs, so that a drop can be stepped through from its first tick.
        if (playback.paused() && isPairKey(game.settings, c.key)) {
            s.heldKeys_.push_back(c.key);
            return;
        }
        if (battleOver(game) && !tempIsShowing(game) && startsNextBattle(game.settings, c.key)) {
            s.nextBattle(false);
            return;
        }
        const bool replaces = replacesPosition(game.settings, c.key);
        s.pending_.activate = pressKey(game, history, c.key) || s.pending_.activate;
        s.keepWork(); // the temporary-save keys store positions outside the history
        if (replaces) {
            s.replaced();
        }
        if (c.key == game.settings.keys[static_cast<std::size_t>(kKeyBattleMode)] &&
            game.mode == Mode::Battle) {
            s.battleStart_ = capture(game, false);
        }
    }
    void operator()(const KeyUp&) {}
    void operator()(const Wheel& c) { onMouseWheel(game, c.delta); }
    // Painting replaces the position a game was playing: its record ends there.
    void operator()(const PointerMove& c) {
        const bool paints = c.leftHeld && !tempIsShowing(game) &&
                            game.hoverPlayer == c.player + 1 &&
                            cellUnderMouse(game.settings, c.x, c.y) !=
                                CellPosition{game.hoverColumn, game.hoverRow};
        onFieldMouseMove(game, c.player, c.x, c.y, c.leftHeld);
        if (paints) {
            s.replaced();
        }
    }
    void operator()(const PointerPress& c) {
        c.left ? onFieldLeftDown(game, c.player) : onFieldRightDown(game, c.player);
        if (c.left && !tempIsShowing(game)) {
            s.replaced();
        }
    }
    // A stroke's step stays open from press to release, whatever it paints in between.
    void operator()(const StrokeBegin&) {
        if (!s.stroke_) {
            s.stroke_ = true;
            history.begin(game);
        }
    }
    void operator()(const StrokeEnd&) {
        if (s.stroke_) {
            s.stroke_ = false;
            history.end(game);
        }
    }
    void operator()(const Timeout& c) { playback.onTimer(c.player); }

    void operator()(const SetEditKind& c) { setEditKind(game, c.kind); }
    void operator()(const SetMode& c) {
        s.step(StepKind::Edit, [&] { changeMode(game, c.mode); });
        s.replaced();
        if (c.mode == Mode::Battle) {
            s.battleStart_ = capture(game, false);
        }
    }
    void operator()(const AdjustWarning& c) {
        s.step(StepKind::Edit, [&] { adjustWarning(game, c.unit, c.add); });
        recorder.warningAdjusted(c.unit, c.add);
    }
    void operator()(const DropNuisance&) {
        s.step(StepKind::Edit, [&] { dropNuisance(game); });
        recorder.nuisanceDropped();
    }
    void operator()(const SetRandomPosition& c) {
        s.step(StepKind::Edit, [&] { setRandomPosition(game, c.position, c.rebuild); });
        s.replaced();
    }
    void operator()(const ClearFields&) {
        s.step(StepKind::Edit, [&] { clearFields(game); });
        s.replaced();
    }
    void operator()(const TempCommand& c) {
        switch (c.step) {
        case TempStep::Previous:
            tempPrevious(game);
            break;
        case TempStep::Next:
            tempNext(game);
            break;
        case TempStep::Save:
            tempSave(game);
            break;
        case TempStep::Load:
            s.step(StepKind::Edit, [&] { tempLoad(game); });
            s.replaced();
            break;
        }
    }

    // The stored position on screen stops every edit of the live one, undo and redo too.
    void operator()(const Undo&) {
        if (!tempIsShowing(game) && !s.againstComputer() && history.undo(game)) {
            s.pending_.checks = true; // the band check marks follow the position's settings
            s.replaced();
        }
    }
    void operator()(const Redo&) {
        if (!tempIsShowing(game) && !s.againstComputer() && history.redo(game)) {
            s.pending_.checks = true;
            s.replaced();
        }
    }
    void operator()(const ClearHistory&) {
        history.clear();
        playback.forgetChainSteps();
    }

    // The heaven band is shown only while the limbo band is: hiding limbo hides heaven too, and
    // showing heaven shows limbo too.
    void operator()(const ToggleLimbo&) {
        Settings& v = game.settings;
        v.showLimbo = v.showLimbo ? 0 : 1;
        if (!v.showLimbo && v.showHeaven) {
            v.showHeaven = 0;
        }
        s.pending_.bands = true;
    }
    void operator()(const ToggleHeaven&) {
        Settings& v = game.settings;
        v.showHeaven = v.showHeaven ? 0 : 1;
        if (v.showHeaven && !v.showLimbo) {
            v.showLimbo = 1;
        }
        s.pending_.bands = true;
    }
    void operator()(const ToggleOnePersonBattle&) {
        game.onePersonBattle = !game.onePersonBattle;
        s.pending_.checks = true;
    }

    void operator()(const SetPaused& c) {
        playback.setPaused(c.paused);
        s.releaseHeldKeys();
        s.feedRecord();
    }
    // A shown record's inputs before the next tick are played first, so that a step taken
    // while every player waits for a pair finds the turn the record goes on with.
    void operator()(const StepTick&) {
        s.releaseHeldKeys();
        s.feedRecord(true);
        playback.stepTick();
    }
    void operator()(const NextScene&) {
        s.releaseHeldKeys();
        s.feedRecord(true);
        playback.nextScene();
    }
    void operator()(const NextChainStep&) {
        s.releaseHeldKeys();
        s.feedRecord(true);
        playback.nextChainStep();
    }
    void operator()(const PreviousChainStep&) {
        if (!s.canGoBackChainStep()) {
            return;
        }
        const std::uint64_t before = playback.ticks();
        if (playback.previousChainStep()) {
            if (s.shown_) {
                s.shown_->rewound(before - playback.ticks());
                // A record's battle is lost at its very end: any step back is before that.
                game.battleScore = {};
                s.pending_.battle = true;
            } else {
                recorder.rewound(game, before - playback.ticks());
            }
        }
    }
    void operator()(const SetSpeed& c) { playback.setSpeed(c.speed); }

    void operator()(const OpenFile& c) {
        ReadOutcome read;
        s.step(StepKind::FileRead, [&] { read = readFile(game, c.path); });
        if (took(read) && c.names) {
            s.fileName_ = c.path;
            s.pending_.title = true;
        }
    }
    void operator()(const ReadText& c) {
        ReadOutcome read;
        s.step(StepKind::FileRead, [&] {
            std::stringbuf source(pastedPositionText(c.text));
            TextModeBuf text(source);
            read = readFile(game, text);
        });
        took(read);
    }
    // What a read came to, told; whether it was opened.
    bool took(const ReadOutcome& read) {
        s.replaced();
        OpenResult& result = s.lastOpen_;
        result = {};
        result.opened = read.opened;
        result.report = read.report;
        // The goal goes with the position it was read with.
        if (read.opened && (read.goal || read.positionRead) && s.goal_ != read.goal) {
            s.goal_ = read.goal;
            s.pending_.puzzle = true;
        }
        s.pending_.all = true;
        // In the order the reader found them; the last may say that what came before a stop
        // was read.
        for (const Message& message : read.messages) {
            s.tell(message);
        }
        return result.opened;
    }

    void operator()(const OpenRecord& c) {
        LoadedRecord loaded = loadRecord(c.path);
        if (!loaded.record) {
            s.tell({"記録を開けませんでした。\n" + loaded.error, "err", MessageIcon::Warning});
            return;
        }
        auto shown = std::make_unique<ShownRecord>(std::move(*loaded.record),
                                                   std::move(loaded.eventLines), c.path);
        if (const auto fault = shown->check()) {
            s.tell({"記録を開けませんでした。\n" + *fault, "err", MessageIcon::Warning});
            return;
        }
        s.showRecord(std::move(shown));
    }
    void operator()(const CloseRecord&) { s.leaveRecord(); }
    void operator()(const SolvePuzzle&) { s.startPuzzle(false); }
    void operator()(const RetryPuzzle&) { s.startPuzzle(true); }
    void operator()(const ShowSolution& c) { s.showSolution(c.solution); }
    void operator()(const SetGoal& c) {
        s.goal_ = c.goal;
        s.pending_.puzzle = true;
    }
    void operator()(const GoToTurn& c) { goToTurn(c.turn); }
    void operator()(const StepTurn& c) {
        if (s.shown_) {
            goToTurn(s.shown_->turn() + c.by);
        }
    }
    // To just before the largest chain's turn: playing on shows its drop.
    void operator()(const GoToLargestChain&) {
        if (s.shown_ && s.shown_->largestChainTurn() > 0) {
            goToTurn(s.shown_->largestChainTurn() - 1);
        }
    }
    // The record's position where it stands becomes the live one, as one undo step.
    void operator()(const PlayFromHere&) {
        if (!s.shown_) {
            return;
        }
        const Snapshot here = capture(game, false);
        s.leaveRecord();
        s.step(StepKind::Edit, [&] { restore(game, here); });
        s.pending_.sizes = true;
    }
    // Held at the turn gone to, as it stands after it: the playback goes on from there.
    void goToTurn(int turn) {
        if (!s.shown_) {
            return;
        }
        playback.setPaused(true);
        playback.forgetChainSteps();
        s.shown_->goToTurn(game, std::clamp(turn, 0, s.shown_->turns()));
        s.pending_.playback = true;
    }

    // Only a side the computer plays takes its keys, and only while it waits for one.
    void operator()(const ComputerKey& c) {
        if (tempIsShowing(game) || game.pairKeysHeld || game.mode != Mode::Battle ||
            battleOver(game) || c.player < 0 || c.player >= kPlayerCount ||
            !computerPlays(game.settings, c.player) ||
            playerOf(game, c.player).phase != Phase::Idle) {
            return;
        }
        if (c.action == PairAction::Down) {
            s.step(StepKind::Drop, [&] { actOnPair(game, c.player, c.action); });
        } else {
            actOnPair(game, c.player, c.action);
            history.afterTick(game);
        }
    }
    // With the computer on a side one key set no longer plays both.
    void operator()(const ChooseComputer& c) {
        Settings& v = game.settings;
        const bool wasDecisive = decisive(v);
        for (int p = 0; p < kPlayerCount; ++p) {
            v.computerPlays[static_cast<std::size_t>(p)] = c.plays[static_cast<std::size_t>(p)];
        }
        v.computerLevel = std::clamp(c.level, 1, 5);
        v.computerLevel1P = std::clamp(c.level1P, 1, 5);
        if (c.plays[0] || c.plays[1]) {
            game.onePersonBattle = false;
        }
        // The record holds the rule its game began with.
        if (game.mode == Mode::Battle && decisive(v) != wasDecisive) {
            recorder.broke(game);
        }
        s.pending_.checks = s.pending_.battle = true;
    }
    void operator()(const NextBattle& c) { s.nextBattle(c.samePosition); }

    // Only a new size is a step; any open step is closed first all the same, so a turn running
    // meanwhile ends its step where it stands.
    void operator()(const ApplySettings& c) {
        s.lastRefusal_.reset();
        history.begin(game);
        if ((s.lastRefusal_ = fieldSizeRefusal(c.wanted))) {
            history.discard();
            return;
        }
        const Settings before = game.settings;
        Settings& now = game.settings;
        now = c.wanted;
        bool layout = false;
        bool redraw = false;
        if (now.fieldWidth != before.fieldWidth || now.fieldHeight != before.fieldHeight) {
            changeFieldSize(game, now.fieldWidth, now.fieldHeight);
            layout = true;
        }
        if (now.cellWidth != before.cellWidth || now.cellHeight != before.cellHeight ||
            now.nextColumns != before.nextColumns || now.nextRows != before.nextRows ||
            now.nextCellWidth != before.nextCellWidth ||
            now.nextCellHeight != before.nextCellHeight) {
            layout = true;
        }
        if (now.nextCount != before.nextCount) {
            resizeQueues(game);
            redraw = true;
        }
        if (coloursOf(now) != coloursOf(before) || now.opacity != before.opacity ||
            now.emptyOpacity != before.emptyOpacity) {
            redraw = true;
        }
        const bool sized = now.fieldWidth != before.fieldWidth ||
                           now.fieldHeight != before.fieldHeight ||
                           now.nextCount != before.nextCount;
        sized ? history.end(game) : history.discard();
        if (rulesOf(now) != rulesOf(before)) {
            s.replaced();
        }
        if (layout) {
            s.pending_.sizes = true;
        } else if (redraw) {
            s.pending_.all = true;
        }
    }
};

namespace {

// Whether the command comes from the tool window, after each of which the work is kept.
bool fromToolWindow(const Command& command) {
    return std::holds_alternative<SetEditKind>(command) ||
           std::holds_alternative<SetMode>(command) ||
           std::holds_alternative<AdjustWarning>(command) ||
           std::holds_alternative<DropNuisance>(command) ||
           std::holds_alternative<SetRandomPosition>(command) ||
           std::holds_alternative<ClearFields>(command) ||
           std::holds_alternative<TempCommand>(command);
}

// Commands that leave the undo and redo items as they are.
bool leavesHistory(const Command& command) {
    return std::holds_alternative<Timeout>(command) ||
           std::holds_alternative<PointerMove>(command) || std::holds_alternative<KeyUp>(command) ||
           std::holds_alternative<ComputerKey>(command);
}

// What may be done while a record is shown: play it, go through it, leave it, and what only
// changes how it is shown.
bool actsOnShownRecord(const Command& command) {
    return std::holds_alternative<Timeout>(command) || std::holds_alternative<SetPaused>(command) ||
           std::holds_alternative<StepTick>(command) ||
           std::holds_alternative<NextScene>(command) ||
           std::holds_alternative<NextChainStep>(command) ||
           std::holds_alternative<PreviousChainStep>(command) ||
           std::holds_alternative<SetSpeed>(command) ||
           std::holds_alternative<ToggleLimbo>(command) ||
           std::holds_alternative<ToggleHeaven>(command) ||
           std::holds_alternative<ClearHistory>(command) ||
           std::holds_alternative<OpenRecord>(command) ||
           std::holds_alternative<CloseRecord>(command) ||
           std::holds_alternative<GoToTurn>(command) || std::holds_alternative<StepTurn>(command) ||
           std::holds_alternative<GoToLargestChain>(command) ||
           std::holds_alternative<PlayFromHere>(command) ||
           std::holds_alternative<ShowSolution>(command) ||
           std::holds_alternative<SetGoal>(command);
}

bool playbackCommand(const Command& command) {
    return std::holds_alternative<SetPaused>(command) ||
           std::holds_alternative<StepTick>(command) ||
           std::holds_alternative<NextScene>(command) ||
           std::holds_alternative<NextChainStep>(command) ||
           std::holds_alternative<PreviousChainStep>(command) ||
           std::holds_alternative<SetSpeed>(command);
}

} // namespace

Session::Session(TickTimers& timers, std::function<std::int64_t()> clockNs)
    : timers_(timers), clockNs_(std::move(clockNs)) {
    makePlayback();
    history_.onChange = [this](HistoryEvent) {
        pending_.history = true;
        keepWork(); // every step recorded, undone or redone changed the position
    };
    recorder_.setClock([] { return static_cast<std::int64_t>(std::time(nullptr)); });
    recorder_.setListener([this](const Record& record) {
        if (!records_) {
            return;
        }
        records_->keep(record);
        if (auto failure = records_->takeFailure()) {
            tell(*failure);
        }
    });
}

Session::~Session() = default;

void Session::makePlayback() {
    playback_ = std::make_unique<Playback>(game_, timers_, clockNs_);
    playback_->setTickListener([this](int player) { afterTick(player); });
    playback_->setTickRouter([this](int timer) -> std::optional<int> {
        if (!shown_) {
            return timer;
        }
        shown_->feed(game_); // what came before the tick, if a seek left it unplayed
        const std::optional<int> next = shown_->nextTick();
        if (!next) {
            playback_->setPaused(true); // a record cut short ends mid-turn
            pending_.playback = true;
        }
        return next;
    });
}

void Session::start(std::int64_t nowSeconds) {
    // The speed kept for the next start is in the settings just loaded.
    makePlayback();
    initGame(game_, nowSeconds);
    flush();
}

void Session::addObserver(CommandObserver* observer) {
    observers_.push_back(observer);
}

void Session::removeObserver(CommandObserver* observer) {
    std::erase(observers_, observer);
}

void Session::apply(const Command& command) {
    const std::uint64_t tick = playback_->ticks();
    if (shown_) {
        if (std::holds_alternative<OpenFile>(command) ||
            std::holds_alternative<ReadText>(command) ||
            std::holds_alternative<ApplySettings>(command) ||
            std::holds_alternative<SolvePuzzle>(command) ||
            std::holds_alternative<RetryPuzzle>(command)) {
            leaveRecord();
        } else if (!actsOnShownRecord(command)) {
            return; // the record is not the user's to change
        }
    }
    std::visit(CommandRunner{*this}, command);
    if (fromToolWindow(command)) {
        keepWork();
    }
    if (!leavesHistory(command)) {
        pending_.history = true;
    }
    if (playbackCommand(command)) {
        pending_.playback = true;
    }
    for (CommandObserver* observer : observers_) {
        observer->applied(command, tick);
    }
    if (!shown_) {
        recorder_.settle(game_);
    }
    followPuzzle();
    flush();
}

bool Session::openRecord(const std::filesystem::path& path) {
    apply(OpenRecord{path});
    return shown_ && shown_->path() == path;
}

void Session::replaced() {
    if (game_.battleScore.winner) {
        game_.battleScore.winner.reset(); // what replaced the ended game plays on
        pending_.battle = true;
    }
    recorder_.broke(game_);
    heldKeys_.clear(); // they were meant for the position that is gone
}

void Session::releaseHeldKeys() {
    if (heldKeys_.empty()) {
        return;
    }
    // Played as they were pressed, the playback's hold aside for them.
    const bool held = std::exchange(game_.pairKeysHeld, false);
    for (const std::uint8_t key : std::exchange(heldKeys_, {})) {
        pending_.activate = pressKey(game_, history_, key) || pending_.activate;
    }
    game_.pairKeysHeld = held;
    keepWork();
}

void Session::leaveRecord() {
    if (!shown_) {
        return;
    }
    shown_.reset();
    playback_->forgetChainSteps();
    putRules(game_.settings, liveRules_); // the sizes come back with the position
    game_.recordedDecisive.reset();
    restore(game_, live_);
    live_ = Snapshot{};
    game_.battleScore = liveScore_;
    pending_.battle = true;
    pending_.title = pending_.checks = pending_.sizes = true;
}

void Session::showRecord(std::unique_ptr<ShownRecord> shown) {
    if (!shown_) {
        // The live game ends here, as it does when anything else replaces its position.
        recorder_.close(game_);
        heldKeys_.clear();
        if (history_.stepOpen()) {
            history_.end(game_);
        }
        stroke_ = false;
        live_ = capture(game_, true);
        liveRules_ = rulesOf(game_.settings);
        liveScore_ = game_.battleScore; // a record played to its end may decide a battle
    }
    playback_->forgetChainSteps();
    putRules(game_.settings, shown->record().rules);
    game_.recordedDecisive = shown->record().rules.decisive;
    shown->goToTurn(game_, 0); // with the record's own battle score: nobody has won yet
    pending_.battle = true;
    shown_ = std::move(shown);
    pending_.title = pending_.checks = true;
    feedRecord();
}

void Session::feedRecord(bool evenPaused) {
    if (shown_ && (evenPaused || !playback_->paused())) {
        shown_->feed(game_);
    }
}

bool Session::canUndo() const {
    return !tempIsShowing(game_) && !againstComputer() && history_.canUndo();
}

bool Session::canRedo() const {
    return !tempIsShowing(game_) && !againstComputer() && history_.canRedo();
}

bool Session::canGoBackChainStep() const {
    return shown_ || !againstComputer();
}

bool Session::againstComputer() const {
    return game_.mode == Mode::Battle && !battleOver(game_) &&
           (computerPlays(game_.settings, 0) || computerPlays(game_.settings, 1));
}

void Session::nextBattle(bool samePosition) {
    if (game_.mode != Mode::Battle || tempIsShowing(game_)) {
        return;
    }
    step(StepKind::Edit, [&] {
        // The run's generator goes on: a fresh position is fresh, and nuisance falls anew.
        const ConventionalRandom rng = game_.rng;
        if (battleStart_) {
            restore(game_, *battleStart_);
            game_.rng = rng;
        } else {
            clearFields(game_);
        }
        game_.battleScore.winner.reset();
        if (!samePosition) {
            setRandomPosition(game_, chooseInitialPosition(-1, game_.rng), true);
        } else if (!battleStart_) {
            changeMode(game_, Mode::Battle);
        }
    });
    replaced();
    pending_.battle = pending_.all = true;
    battleStart_ = capture(game_, false);
}

OpenResult Session::openFile(const std::filesystem::path& path, bool names) {
    apply(OpenFile{path, names});
    return lastOpen_;
}

bool Session::saveFile(const std::filesystem::path& path, const WriteOptions& options,
                       bool asPuzzle) {
    const bool written = saveChosen(game_, path, options, asPuzzle && goal_ ? &*goal_ : nullptr);
    if (written) {
        fileName_ = path;
        pending_.title = true;
    }
    flush();
    return written;
}

std::optional<Message> Session::applySettings(const Settings& wanted) {
    apply(ApplySettings{wanted});
    return lastRefusal_;
}

void Session::keepWorkIn(const std::filesystem::path& stateFolder) {
    keeper_ = std::make_unique<StateKeeper>(stateFolder);
    keeper_->startRun();
    records_ = std::make_unique<RecordFolder>(stateFolder / "records");
}

std::optional<std::filesystem::path> Session::previousWork() const {
    if (!keeper_) {
        return std::nullopt;
    }
    return keeper_->leftWork();
}

void Session::exit() {
    leaveRecord();
    recorder_.close(game_);
    if (records_) {
        records_->flush();
    }
    if (keeper_ && keeper_->wroteAny()) {
        keepWork();
    }
    flush();
}

void Session::keepWork() {
    if (!keeper_ || shown_) {
        return; // a record shown is not the user's work
    }
    if (const auto failure = keeper_->write(game_)) {
        tell(*failure);
    }
}

void Session::afterTick(int player) {
    if (shown_) {
        // What was recorded after this tick came before the next one: held or not, the game
        // stands where the record says between the two.
        feedRecord(true);
    } else {
        history_.afterTick(game_); // a turn that ran out closes its step
        recorder_.ticked(player);
        recorder_.settle(game_);
    }
    followPuzzle();
    pending_.ticked = player;
    pending_.tickedTimerWanted = playback_->timerWanted(player);
    flush();
}

void Session::flush() {
    if (pending_.empty()) {
        return;
    }
    // The view may run commands of its own while it shows these (a message box waits for the
    // user while the timers go on): they collect anew.
    const Changes changes = std::exchange(pending_, Changes{});
    if (view_) {
        view_(changes);
    }
}

// --- GameEvents ----------------------------------------------------------------------------

void Session::startTimer(int player) {
    playback_->timerStarted(player);
    pending_.timers.push_back({player, true, false});
}

void Session::stopTimer(int player) {
    const bool inOwnTick = playback_->tickingPlayer() == player;
    playback_->timerStopped(player);
    pending_.timers.push_back({player, false, inOwnTick});
}

void Session::pairActed(int player, PairAction action) {
    recorder_.pairActed(game_, player, action);
    dropSeen_ = dropSeen_ || (player == 0 && action == PairAction::Down);
}

void Session::fieldChanged(int player) {
    pending_.field[static_cast<std::size_t>(player)] = true;
}

void Session::queueChanged(int player) {
    pending_.queue[static_cast<std::size_t>(player)] = true;
}

void Session::warningChanged(int player) {
    pending_.warning[static_cast<std::size_t>(player)] = true;
}

void Session::allChanged() {
    pending_.all = true;
}

void Session::statusChanged(int player, ShownStatus status) {
    pending_.status[static_cast<std::size_t>(player)] = status;
    // A chain step was scored: its tally is in the player's score record.
    if (player == 0 && run_ && !shown_) {
        run_->stepScored(game_.players[0].scoreRecord);
    }
}

void Session::tell(const Message& message) {
    pending_.messages.push_back(message);
}

void Session::randomPositionChanged(std::uint32_t position) {
    pending_.randomPosition = position;
}

void Session::tempIdChanged(const std::string& text) {
    pending_.tempId = text;
}

void Session::sizesChanged() {
    pending_.sizes = true;
}

void Session::modeSizeDue() {
    pending_.modeSize = true;
}

void Session::battleDecided(int) {
    pending_.battle = true;
}

} // namespace peterin
