#include "play/memory_budget.h"

#include <deque>

namespace peterin {

namespace {

// What one entry of a std::deque takes beyond its value, rounded up.
constexpr std::int64_t kDequeOverhead = 16;

std::int64_t savedBytes(const TempSave& save, std::int64_t queueLength) {
    return positionBytes(save.players[0].field.width, save.players[0].field.height, queueLength);
}

} // namespace

std::int64_t fieldBytes(std::int64_t width, std::int64_t height) {
    const std::int64_t w = width < 1 ? 1 : width;
    const std::int64_t h = height < 1 ? 1 : height;
    // Every field has one LimboArea row: the block holds height + 4 rows and two wall columns.
    const std::int64_t cells = (w + 2) * (h + 4) * static_cast<std::int64_t>(sizeof(Cell));
    const std::int64_t scratch =
        w * h *
        static_cast<std::int64_t>(sizeof(FillCell) + 2 * sizeof(std::int32_t) + sizeof(FillFrame));
    return static_cast<std::int64_t>(sizeof(Field)) + cells + scratch;
}

std::int64_t queueBytes(std::int64_t length) {
    const std::int64_t n = length < 1 ? 1 : length;
    // The pairs, what each was made from, and as many held back after a shrink; the pattern's
    // tokens come from one line of at most 511 characters, two entries each at most.
    const std::int64_t perPair =
        static_cast<std::int64_t>(sizeof(Pair) + sizeof(GeneratorState)) + 2 * kDequeOverhead;
    return static_cast<std::int64_t>(sizeof(PairSequence)) + 2 * n * perPair +
           1024 * static_cast<std::int64_t>(sizeof(std::int64_t));
}

std::int64_t positionBytes(std::int64_t width, std::int64_t height, std::int64_t queueLength) {
    return static_cast<std::int64_t>(sizeof(TempSave)) + 2 * fieldBytes(width, height) +
           2 * queueBytes(queueLength);
}

std::int64_t storedBytes(const Game& game, std::int64_t queueLength) {
    std::int64_t total = savedBytes(game.turnBackup, queueLength);
    for (const TempSave& save : game.tempSaves) {
        total += savedBytes(save, queueLength);
    }
    return total;
}

} // namespace peterin
