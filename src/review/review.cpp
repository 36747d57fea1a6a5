#include "review/review.h"

#include <algorithm>
#include <mutex>
#include <thread>
#include <tuple>

#include "analysis/bit_field.h"
#include "play/falling_pair.h"

namespace peterin {

namespace {

using analysis::LandedBlob;

std::vector<LandedBlob> sorted(std::vector<LandedBlob> blobs) {
    std::sort(blobs.begin(), blobs.end(), [](const LandedBlob& a, const LandedBlob& b) {
        return std::tie(a.x, a.r, a.kind) < std::tie(b.x, b.r, b.kind);
    });
    return blobs;
}

bool sameCells(const std::vector<LandedBlob>& a, const std::vector<LandedBlob>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](auto& x, auto& y) {
               return x.x == y.x && x.r == y.r && x.kind == y.kind;
           });
}

// A turn waiting to be weighed: what the player saw, and where the pair went.
struct Position {
    analysis::HintRequest request;
    std::vector<LandedBlob> played; // sorted; empty when the field is beyond the fast field
};

// Collects, as the replay plays, what each drop saw and the chain each field holds after
// each turn.
class Collector : public ReplayObserver {
  public:
    std::vector<Position> positions; // in the order of the turns
    std::vector<TurnReview> turns;

    void dropping(const Game& game, int player) override {
        Position position;
        position.request = analysis::hintRequestFor(game, player);
        const Player& self = game.players[static_cast<std::size_t>(player)];
        // The engine weighs the pair from where it appeared, as the player could move it.
        if (!self.sequence.queue.empty()) {
            loadPair(position.request.pair, self.sequence.queue.front());
            putAtSpawn(position.request.pair, self.field);
        }
        if (const auto fast = analysis::BitField::from(self.field, position.request.rules)) {
            position.played = sorted(analysis::landingOf(*fast, self.fallingPair));
        }
        open_[static_cast<std::size_t>(player)] = std::move(position);
    }

    void turnEnded(const Game& game, const ReplayedTurn& ended) override {
        auto& open = open_[static_cast<std::size_t>(ended.turn.player)];
        positions.push_back(open ? std::move(*open) : Position{});
        open.reset();
        TurnReview review;
        review.player = ended.turn.player;
        review.played = {ended.turn.column, ended.turn.turn};
        for (std::size_t p = 0; p < kPlayerCount; ++p) {
            const analysis::HintRequest seen = analysis::hintRequestFor(game, static_cast<int>(p));
            review.held[p] = analysis::heldChain(game.players[p].field, seen.rules, seen.colours);
        }
        turns.push_back(std::move(review));
    }

  private:
    std::array<std::optional<Position>, kPlayerCount> open_;
};

void weigh(TurnReview& review, const Position& position, const ReviewOptions& options) {
    if (position.played.empty()) {
        return;
    }
    analysis::EngineOptions engine;
    engine.level = options.level;
    engine.nodes = options.nodes;
    const std::vector<analysis::Suggestion> ranked = analysis::plan(position.request, engine);
    const auto played =
        std::find_if(ranked.begin(), ranked.end(), [&](const analysis::Suggestion& s) {
            return sameCells(sorted(s.landing), position.played);
        });
    if (ranked.empty() || played == ranked.end()) {
        return;
    }
    const analysis::Suggestion& best = ranked.front();
    review.best = MoveSpot{best.placement.column, best.placement.turn};
    review.bestLanding = best.landing;
    review.bestValue = best.value;
    review.playedValue = played->value;
    review.loss = std::clamp(best.value - played->value, 0.0, kMaxLoss);
    if (played->losing && !best.losing) {
        review.grade = MoveGrade::Bad;
    } else if (review.loss >= kBadLoss) {
        review.grade = MoveGrade::Bad;
    } else if (review.loss >= kDubiousLoss) {
        review.grade = MoveGrade::Dubious;
    }
}

} // namespace

const char* gradeName(MoveGrade grade) {
    switch (grade) {
    case MoveGrade::Dubious:
        return "疑問手";
    case MoveGrade::Bad:
        return "悪手";
    case MoveGrade::None:
        break;
    }
    return nullptr;
}

ReviewResult reviewRecord(const Record& record, const ReviewOptions& options,
                          const std::function<void(int, int)>& progress,
                          const std::atomic<bool>* cancel) {
    ReviewResult result;
    Collector collector;
    {
        Replay replay(record);
        replay.observe(&collector);
        result.fault = replay.check();
    }
    if (result.fault) {
        return result;
    }
    const int total = static_cast<int>(collector.turns.size());
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const int threads = std::clamp(options.threads > 0 ? options.threads : static_cast<int>(cores),
                                   1, std::max(total, 1));
    std::atomic<int> nextTurn{0};
    std::mutex told;
    int done = 0;
    auto work = [&] {
        for (int i = nextTurn++; i < total; i = nextTurn++) {
            if (cancel != nullptr && cancel->load()) {
                return;
            }
            const auto at = static_cast<std::size_t>(i);
            weigh(collector.turns[at], collector.positions[at], options);
            const std::lock_guard lock(told);
            ++done;
            if (progress) {
                progress(done, total);
            }
        }
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t) {
        helpers.emplace_back(work);
    }
    work();
    for (std::thread& helper : helpers) {
        helper.join();
    }
    if (cancel != nullptr && cancel->load()) {
        result.cancelled = true;
        return result;
    }
    result.turns = std::move(collector.turns);
    return result;
}

} // namespace peterin
