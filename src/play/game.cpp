#include "play/game.h"

#include "play/temp_store.h"
#include "play/turn_cycle.h"

namespace peterin {

namespace {

int queueLength(const Settings& settings) {
    return settings.nextCount + 1;
}

} // namespace

void initGame(Game& game, std::int64_t nowSeconds) {
    seedConventional(game.rng, nowSeconds);
    const std::uint32_t position =
        chooseInitialPosition(game.settings.initialRandomPosition, game.rng);
    game.tempCursor = kLivePosition;
    for (int p = 0; p < kPlayerCount; ++p) {
        Player& player = game.players[static_cast<std::size_t>(p)];
        resizeField(player.field, game.settings.fieldWidth, game.settings.fieldHeight, kLimboRows);
        startSequence(player.sequence, position, queueLength(game.settings));
        loadFrontPair(game, p);
    }
    linkPlayers(game);
    // The game starts in Edit mode, where 1P sits in a fall phase that never runs, so the pair
    // keys stay dead until a game mode starts.
    game.mode = Mode::Edit;
    game.players[0].phase = Phase::Fall;
    game.players[0].countdown = 0;
    // A load before the first chain returns to this starting position rather than to nothing.
    copyLiveInto(game, game.turnBackup);
    for (PlayerState<Field>& backup : game.turnBackup.players) {
        backup.phase = Phase::Idle;
    }
}

void linkPlayers(Game& game) {
    for (Player& player : game.players) {
        player.field.scoreRecord = &player.scoreRecord;
    }
}

void resizeQueues(Game& game) {
    const int n = queueLength(game.settings);
    for (Player& player : game.players) {
        resize(player.sequence, n);
    }
    for (TempSave& save : game.tempSaves) {
        for (PlayerState<Field>& stored : save.players) {
            resize(stored.sequence, n);
        }
    }
    // The turn backup too, so that restoring it keeps the configured count.
    for (PlayerState<Field>& backup : game.turnBackup.players) {
        resize(backup.sequence, n);
    }
}

void changeFieldSize(Game& game, std::int32_t width, std::int32_t height) {
    changeFieldSize({&game.players[0], &game.players[1]}, game.settings, width, height);
}

void changeFieldSize(const std::array<PlayerState<Field>*, kPlayerCount>& players,
                     Settings& settings, std::int32_t width, std::int32_t height) {
    for (PlayerState<Field>* player : players) {
        resizeField(player->field, width, height, -1);
    }
    const Field& field = players[0]->field;
    settings.fieldWidth = field.width;
    settings.fieldHeight = field.height;
    for (PlayerState<Field>* player : players) {
        clampPair(player->fallingPair, player->field);
    }
}

} // namespace peterin
