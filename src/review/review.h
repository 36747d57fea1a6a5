#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "analysis/held_chain.h"
#include "analysis/hint.h"
#include "analysis/planner.h"
#include "records/record.h"
#include "records/replay.h"

namespace peterin {

// How a move compares with the engine's best: a loss of at least kDubiousLoss is "疑問手", of
// at least kBadLoss (or a move after which a pair can be lost, where another was safe) "悪手".
// Losses are in the engine's points, the score's scale: a chain step more in a held chain is
// worth a few thousand.
enum class MoveGrade { None, Dubious, Bad };
inline constexpr double kDubiousLoss = 12000;
inline constexpr double kBadLoss = 30000;
// Losses are told up to this: beyond it (a pair lost, a field buried) the number says nothing
// more.
inline constexpr double kMaxLoss = 100000;
// "疑問手", "悪手", or nothing for None.
const char* gradeName(MoveGrade grade);

// Where a pair was dropped: its pivot's column and turn (see turnOf).
struct MoveSpot {
    std::int32_t column = 0;
    std::int32_t turn = 0;
    bool operator==(const MoveSpot&) const = default;
};

// One turn of a record, weighed.
struct TurnReview {
    int player = 0;
    MoveSpot played;
    // The engine's choice; nothing when it could not weigh the position (a field too large, or
    // a pair it cannot place).
    std::optional<MoveSpot> best;
    std::vector<analysis::LandedBlob> bestLanding; // where the best move's blobs come to rest
    double playedValue = 0;
    double bestValue = 0;
    double loss = 0; // bestValue - playedValue, from 0 to kMaxLoss
    MoveGrade grade = MoveGrade::None;
    // The chain each player's field holds after the turn; nothing where it cannot be told.
    std::array<std::optional<analysis::HeldChain>, kPlayerCount> held;
};

struct ReviewOptions {
    int level = analysis::kReviewLevel;
    std::int64_t nodes = 0; // the level's own when 0
    int threads = 0;        // the machine's cores when 0
};

struct ReviewResult {
    std::vector<TurnReview> turns; // in the record's order of turns
    std::optional<ReplayFault> fault;
    bool cancelled = false;
};

// Weighs every turn of `record` as the engine sees it: the player's field, the pair where it
// appeared and the next pairs the next window showed, never the hidden queue. The turns are
// weighed side by side on `threads`; `progress` (done, total) is called from those threads, one
// call at a time. Setting `cancel` stops it soon, with `cancelled` set and no turns.
ReviewResult reviewRecord(const Record& record, const ReviewOptions& options,
                          const std::function<void(int, int)>& progress = {},
                          const std::atomic<bool>* cancel = nullptr);

} // namespace peterin
