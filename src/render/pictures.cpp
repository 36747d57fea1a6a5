#include "render/pictures.h"

#include "play/temp_store.h"

namespace peterin {

namespace {

const TempSave* shownSave(const Game& game) {
    if (!tempIsShowing(game))
        return nullptr;
    return &game.tempSaves[static_cast<std::size_t>(game.tempCursor)];
}

} // namespace

FieldPicture fieldPictureOf(const Game& game, int player) {
    const auto p = static_cast<std::size_t>(player);
    const Player& live = game.players[p];
    const TempSave* save = shownSave(game);

    FieldPicture picture;
    picture.field = save ? &save->players[p].field : &live.field;
    picture.phase = static_cast<int>(live.phase);
    if (game.mode != Mode::Edit && live.phase == Phase::Idle) {
        const FallingPair& pair = save ? save->players[p].fallingPair : live.fallingPair;
        picture.pair = PairPicture{pair.x, pair.row, pair.cells};
        picture.landingMarks = save == nullptr;
    }
    if (game.hoverPlayer == player + 1 && save == nullptr &&
        (game.mode == Mode::Edit || game.editKind != CellKind::Empty)) {
        picture.cursor = CellPos{game.hoverColumn, game.hoverRow};
        picture.editKind = game.editKind;
    }
    return picture;
}

NextPicture nextPictureOf(const Game& game, int player) {
    const auto p = static_cast<std::size_t>(player);
    const TempSave* save = shownSave(game);
    const PairSequence& sequence = save ? save->players[p].sequence : game.players[p].sequence;

    NextPicture picture;
    picture.firstEntry = game.mode == Mode::Edit ? 0 : 1;
    picture.queueLength = static_cast<int>(sequence.queue.size());
    picture.slotsOf = [&sequence](int entry) {
        const Pair& pair = sequence.queue[static_cast<std::size_t>(entry)];
        PairSlots kinds{};
        for (std::size_t i = 0; i < kinds.size(); ++i) {
            const int code = pair.slot[i];
            kinds[i] =
                code >= 0 && code < kCellKindCount ? static_cast<CellKind>(code) : CellKind::Empty;
        }
        return kinds;
    };
    return picture;
}

int warningOf(const Game& game, int player) {
    return game.players[static_cast<std::size_t>(player)].pendingNuisance;
}

} // namespace peterin
