#include "puzzle/problem.h"

#include <algorithm>

#include "sequence/pair_sequence.h"

namespace peterin::puzzle {

ProblemOf problemOf(const Game& game, const Goal& goal) {
    const Player& self = game.players[0];
    Problem problem;
    copyField(problem.field, self.field);
    problem.field.scoreRecord = nullptr;
    problem.goal = goal;
    problem.rules.threshold = game.settings.vanishCount;
    problem.rules.countSteps = game.settings.vanishTicks > 0;
    PairSequence sequence;
    copy(sequence, self.sequence);
    // The pairs the turn cycle hands out, front first, until the pattern runs out.
    for (int i = 0; i <= kMostPairs; ++i) {
        const Pair pair = sequence.queue.empty() ? Pair{} : sequence.queue.front();
        if (std::all_of(pair.slot.begin(), pair.slot.end(), [](int s) { return s == 0; })) {
            break;
        }
        if (i == kMostPairs) {
            return {std::nullopt, "ツモが " + std::to_string(kMostPairs) +
                                      " 手を超えます。問題のツモは尽きるもの（ツモ指定に * "
                                      "のないもの）で、" +
                                      std::to_string(kMostPairs) + " 手までです。"};
        }
        FallingPair falling;
        loadPair(falling, pair);
        putAtSpawn(falling, problem.field);
        problem.pairs.push_back(falling);
        advance(sequence);
    }
    if (problem.pairs.empty()) {
        return {std::nullopt, "ツモがありません。問題には、ネクストのツモ指定で落とすツモを決めて"
                              "ください。"};
    }
    return {std::move(problem), {}};
}

} // namespace peterin::puzzle
