#include "analysis/exact_field.h"

#include <algorithm>
#include <bit>
#include <climits>

#include "rules/chain.h"

namespace peterin::analysis {

ExactField::ExactField(const Field& field, const ChainRules& rules) : rules_(rules) {
    copyField(field_, field);
    field_.scoreRecord = record_.get();
}

ExactField::ExactField(const ExactField& other) : rules_(other.rules_) {
    copyField(field_, other.field_);
    field_.scoreRecord = record_.get();
}

ExactField& ExactField::operator=(const ExactField& other) {
    if (this != &other) {
        copyField(field_, other.field_);
        field_.scoreRecord = record_.get();
        rules_ = other.rules_;
    }
    return *this;
}

bool ExactField::blocked(std::int32_t x, std::int32_t r) const {
    return !field_.contains(x, r) || getCell(field_, x, r) != CellKind::Empty;
}

bool ExactField::drop(const FallingPair& pair) {
    FallingPair copy = pair;
    return dropPair(copy, field_) == kPlaced;
}

void ExactField::put(std::int32_t x, std::int32_t r, CellKind kind) {
    setCell(field_, x, r, kind);
}

std::optional<std::int32_t> ExactField::restingRow(std::int32_t x) const {
    if (x < 0 || x >= field_.width) {
        return std::nullopt;
    }
    // From the LimboArea down to the first cell that is not empty.
    std::int32_t r = -1;
    if (getCell(field_, x, r) != CellKind::Empty) {
        return std::nullopt;
    }
    while (r + 1 < field_.height && getCell(field_, x, r + 1) == CellKind::Empty) {
        ++r;
    }
    return r;
}

std::int32_t ExactField::regionSize(std::int32_t x, std::int32_t r) const {
    const Cell* cell = cellAt(field_, x, r);
    return cell != nullptr && r >= 0 && isColour(cell->kind) ? cell->groupSize : 0;
}

void ExactField::fall() {
    while (!isSettled(gravityStep(field_))) {
    }
}

bool ExactField::operator==(const ExactField& other) const {
    return sameContents(field_, other.field_);
}

ChainOutcome ExactField::resolve(std::vector<std::int32_t>* steps) {
    // The turn cycle's fall, show and vanish phases without their ticks.
    ChainOutcome outcome;
    for (;;) {
        while (!isSettled(gravityStep(field_))) {
        }
        if (!findGroups(field_, rules_.threshold, false)) {
            return outcome;
        }
        outcome.vanishes += 1;
        if (rules_.countSteps) {
            resetTally(*record_);
            findGroups(field_, rules_.threshold, true);
            outcome.chains += 1;
            outcome.mostCleared = std::max(outcome.mostCleared, record_->cleared);
            outcome.mostColours =
                std::max(outcome.mostColours,
                         std::popcount(static_cast<unsigned>(record_->colourMask) & 0x3Eu));
            const std::int32_t step = stepScore(outcome.chains, *record_);
            outcome.score = static_cast<std::int32_t>(
                std::min<std::int64_t>(std::int64_t{outcome.score} + step, INT32_MAX));
            if (steps != nullptr) {
                steps->push_back(step);
            }
        }
        vanishGroups(field_, rules_.threshold);
        recountGroups(field_);
    }
}

std::int32_t ExactField::blobCount() const {
    std::int32_t n = 0;
    for (std::int32_t x = 0; x < field_.width; ++x) {
        for (std::int32_t r = -1; r < field_.height; ++r) {
            const CellKind k = getCell(field_, x, r);
            n += k != CellKind::Empty && k != CellKind::Block ? 1 : 0;
        }
    }
    return n;
}

} // namespace peterin::analysis

namespace peterin::analysis {

std::int32_t ExactField::touchingPairs() const {
    std::int32_t n = 0;
    for (std::int32_t x = 0; x < field_.width; ++x) {
        for (std::int32_t r = 0; r < field_.height; ++r) {
            const CellKind k = getCell(field_, x, r);
            if (isColour(k)) {
                n += (x + 1 < field_.width && getCell(field_, x + 1, r) == k ? 1 : 0) +
                     (r + 1 < field_.height && getCell(field_, x, r + 1) == k ? 1 : 0);
            }
        }
    }
    return n;
}

} // namespace peterin::analysis
