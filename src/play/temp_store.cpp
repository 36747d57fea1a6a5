#include "play/temp_store.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <utility>

namespace peterin {

namespace {

int storedCount(const Game& game) {
    return static_cast<int>(game.tempSaves.size());
}

// The cursor moves round MAIN, 0, 1, ..., count - 1 and back to MAIN.
int cursorBefore(const Game& game) {
    if (!tempIsShowing(game)) {
        return storedCount(game) - 1; // kLivePosition again when nothing is stored
    }
    return game.tempCursor - 1; // from the first, back to MAIN
}

int cursorAfter(const Game& game) {
    if (!tempIsShowing(game)) {
        return game.tempSaves.empty() ? kLivePosition : 0;
    }
    return game.tempCursor + 1 >= storedCount(game) ? kLivePosition : game.tempCursor + 1;
}

// The ID box's number: its leading decimal digits, 0 when there are none.
long idNumber(const std::string& text) {
    errno = 0;
    const long n = std::strtol(text.c_str(), nullptr, 10);
    return errno == ERANGE ? (n < 0 ? LONG_MIN : LONG_MAX) : n;
}

void showId(Game& game, std::string text) {
    game.tempIdText = std::move(text);
    game.events.tempIdChanged(game.tempIdText);
}

} // namespace

void syncTimers(Game& game) {
    for (int p = 0; p < kPlayerCount; ++p) {
        const Player& player = game.players[static_cast<std::size_t>(p)];
        const bool battle = game.mode == Mode::Battle;
        const bool takesPart = battle || (game.mode == Mode::Play && p == 0);
        // Only a battle waits for a partner; play mode ticks on past a flag a battle left set.
        const bool waiting = battle && player.waitingForPartner != 0;
        if (takesPart && player.phase != Phase::Idle && !waiting) {
            game.events.startTimer(p);
        } else {
            game.events.stopTimer(p);
        }
    }
}

void copyLiveInto(const Game& game, TempSave& save) {
    for (std::size_t i = 0; i < kPlayerCount; ++i) {
        copyMembers(save.players[i], game.players[i]);
    }
}

void copyIntoLive(Game& game, const TempSave& save) {
    for (std::size_t i = 0; i < kPlayerCount; ++i) {
        Player& player = game.players[i];
        copyMembers(player, save.players[i]);
        // The turn backup keeps the falling pairs of start-up, which may not fit a field
        // resized since; a pair is never left outside its field.
        const FallingPair& pair = player.fallingPair;
        if (pair.x < 0 || pair.x >= player.field.width || pair.row < player.field.topRow() ||
            pair.row >= player.field.height) {
            clampPair(player.fallingPair, player.field);
        }
    }
    // A stored field may come from a file and refer to no score record.
    linkPlayers(game);
}

void tempStore(Game& game) {
    if (!tempIsShowing(game)) {
        game.tempSaves.emplace_back();
        game.tempCursor = storedCount(game) - 1;
    }
    copyLiveInto(game, game.tempSaves[static_cast<std::size_t>(game.tempCursor)]);
    game.events.allChanged();
}

void tempRestore(Game& game) {
    const TempSave* shown = tempShown(game);
    copyIntoLive(game, shown != nullptr ? *shown : game.turnBackup);
    syncTimers(game);
    const PairSequence& first = game.players[0].sequence;
    if (!first.queue.empty()) {
        game.events.randomPositionChanged(first.queue.front().position);
    }
    game.tempCursor = kLivePosition;
    const Field& field = game.players[0].field;
    game.settings.fieldWidth = field.width;
    game.settings.fieldHeight = field.height;
    game.settings.nextCount =
        static_cast<std::int32_t>(std::max<std::size_t>(first.queue.size(), 1)) - 1;
    game.events.sizesChanged();
    game.events.allChanged();
}

void tempSave(Game& game) {
    if (!tempIsShowing(game)) {
        showId(game, std::to_string(storedCount(game)));
    }
    tempStore(game);
}

void tempLoad(Game& game) {
    tempRestore(game);
    showId(game, kLiveIdText);
}

void tempPrevious(Game& game) {
    if (game.tempIdText.starts_with('M')) {
        if (!game.tempSaves.empty()) {
            game.tempCursor = storedCount(game) - 1;
            showId(game, std::to_string(storedCount(game) - 1));
        }
    } else if (const long n = idNumber(game.tempIdText); n > 0) {
        game.tempCursor = cursorBefore(game);
        showId(game, std::to_string(n - 1));
    } else {
        game.tempCursor = kLivePosition;
        showId(game, kLiveIdText);
    }
    game.events.allChanged();
}

void tempNext(Game& game) {
    if (game.tempIdText.starts_with('M')) {
        if (!game.tempSaves.empty()) {
            game.tempCursor = 0;
            showId(game, "0");
        }
    } else if (const long n = idNumber(game.tempIdText);
               // As unsigned numbers: a negative n never steps on, an empty store never stops.
               static_cast<unsigned long>(n) < static_cast<unsigned long>(storedCount(game) - 1) &&
               n < LONG_MAX) {
        game.tempCursor = cursorAfter(game);
        showId(game, std::to_string(n + 1));
    } else {
        game.tempCursor = kLivePosition;
        showId(game, kLiveIdText);
    }
    game.events.allChanged();
}

// A cursor beyond the store (left over from a store replaced underneath) counts as the live
// position, so it can never reach past the list.
bool tempIsShowing(const Game& game) {
    return game.tempCursor >= 0 && game.tempCursor < storedCount(game);
}

const TempSave* tempShown(const Game& game) {
    return tempIsShowing(game) ? &game.tempSaves[static_cast<std::size_t>(game.tempCursor)]
                               : nullptr;
}

void tempClear(Game& game) {
    game.tempSaves.clear();
    game.tempCursor = kLivePosition;
}

void tempReplaceAll(Game& game, std::vector<TempSave> saves) {
    game.tempSaves = std::move(saves);
    game.tempCursor = kLivePosition;
    game.events.allChanged();
}

} // namespace peterin
