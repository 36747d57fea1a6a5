#include "puzzle/puzzle_run.h"

#include <algorithm>
#include <bit>

namespace peterin::puzzle {

PuzzleRun::PuzzleRun(const Goal& goal, const PairSequence& start, int pairs)
    : goal_(goal), met_(static_cast<std::size_t>(std::max(pairs, 0))) {
    sequences_.resize(met_.size() + 1);
    copy(sequences_[0], start);
    for (std::size_t i = 1; i < sequences_.size(); ++i) {
        copy(sequences_[i], sequences_[i - 1]);
        advance(sequences_[i]);
    }
}

std::optional<int> PuzzleRun::landed(const PairSequence& now) const {
    for (std::size_t i = 0; i < sequences_.size(); ++i) {
        if (sequences_[i] == now) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

void PuzzleRun::dropped(int pair, const Field& field) {
    openPair_ = pair;
    open_ = TurnTally{};
    open_->before = kindCounts(field);
}

void PuzzleRun::stepScored(const ScoreRecord& tally) {
    if (!open_) {
        return;
    }
    open_->mostCleared = std::max(open_->mostCleared, tally.cleared);
    open_->mostColours = std::max(
        open_->mostColours, std::popcount(static_cast<std::uint32_t>(tally.colourMask) & 0x3Eu));
}

void PuzzleRun::turnEnded(int landed, const Field& field, std::int32_t chains) {
    if (!open_) {
        return;
    }
    TurnTally turn = *open_;
    open_.reset();
    const int pair = landed - 1;
    if (pair != openPair_ || pair < 0 || pair >= static_cast<int>(met_.size())) {
        return;
    }
    turn.chains = chains;
    turn.after = kindCounts(field);
    met_[static_cast<std::size_t>(pair)] = goalMet(goal_, turn);
}

Verdict PuzzleRun::verdict(int played) const {
    const int known = std::clamp(played, 0, static_cast<int>(met_.size()));
    for (int i = 0; i < known; ++i) {
        if (met_[static_cast<std::size_t>(i)].value_or(false)) {
            return Verdict::Cleared;
        }
    }
    return known == pairs() && pairs() > 0 ? Verdict::Failed : Verdict::Playing;
}

std::array<std::int32_t, kCellKindCount> kindCounts(const Field& field) {
    std::array<std::int32_t, kCellKindCount> counts{};
    for (std::int32_t x = 0; x < field.width; ++x) {
        for (std::int32_t r = field.topRow(); r < field.height; ++r) {
            const auto code = static_cast<std::size_t>(getCell(field, x, r));
            if (code < counts.size()) {
                ++counts[code];
            }
        }
    }
    counts[0] = 0;
    return counts;
}

} // namespace peterin::puzzle
