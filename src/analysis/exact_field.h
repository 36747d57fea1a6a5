#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/chain_outcome.h"
#include "play/falling_pair.h"
#include "rules/field.h"
#include "rules/score.h"

namespace peterin::analysis {

// The search field for every size and content the fast one does not take: a copy of the
// player's Field, changed only through the rules' own operations, as the turn cycle changes it.
// Slow, but exact by construction.
class ExactField {
  public:
    ExactField(const Field& field, const ChainRules& rules);
    ExactField(const ExactField& other);
    ExactField& operator=(const ExactField& other);

    std::int32_t width() const { return field_.width; }
    std::int32_t height() const { return field_.height; }
    CellKind kind(std::int32_t x, std::int32_t r) const { return getCell(field_, x, r); }
    bool blocked(std::int32_t x, std::int32_t r) const;

    bool drop(const FallingPair& pair);
    void put(std::int32_t x, std::int32_t r, CellKind kind);
    std::optional<std::int32_t> restingRow(std::int32_t x) const;
    std::int32_t regionSize(std::int32_t x, std::int32_t r) const;
    void fall();
    bool operator==(const ExactField& other) const;
    ChainOutcome resolve(std::vector<std::int32_t>* steps = nullptr);
    std::int32_t blobCount() const;
    std::int32_t touchingPairs() const;
    // blocked() for a placement search.
    struct Snapshot {
        const ExactField* field;
        bool operator()(std::int32_t x, std::int32_t r) const { return field->blocked(x, r); }
    };
    Snapshot snapshot() const { return {this}; }

    const Field& field() const { return field_; }

  private:
    // The score tally lives with the copy, so a search never touches the player's record.
    std::unique_ptr<ScoreRecord> record_ = std::make_unique<ScoreRecord>();
    Field field_;
    ChainRules rules_;
};

} // namespace peterin::analysis
