#include "sequence/pair_sequence.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace peterin {
namespace {

Message err(const std::string& text) {
    return Message{text, "err", MessageIcon::Warning};
}

Pair pair(std::uint32_t position, int shape, std::array<int, 4> slot) {
    return Pair{position, shape, slot};
}

// A sequence of `n` pairs made from the three pattern lines, starting at position 0.
PairSequence withPattern(const std::string& lines, int n) {
    PairSequence sequence;
    startSequence(sequence, 0, n);
    ConventionalRandom rng;
    std::istringstream in(lines);
    EXPECT_EQ(loadPattern(sequence, *in.rdbuf(), rng), std::nullopt) << lines;
    return sequence;
}

// The queue and the next `later` pairs it will make, from a copy.
std::vector<Pair> upcoming(const PairSequence& sequence, int later) {
    PairSequence probe = sequence;
    std::vector<Pair> pairs(probe.queue.begin(), probe.queue.end());
    for (int i = 0; i < later; ++i) {
        advance(probe);
        pairs.push_back(probe.queue.back());
    }
    return pairs;
}

std::string written(const PairSequence& sequence) {
    std::ostringstream out;
    EXPECT_TRUE(writePattern(sequence, out));
    return out.str();
}

// A sequence of the same length loaded from what `sequence` writes, by a queue that stands where
// `sequence`'s front pair was made (pairs that read no colour take the reader's position).
PairSequence reloaded(const PairSequence& sequence) {
    const std::string text = written(sequence);
    PairSequence reread;
    startSequence(reread, sequence.headState.position, static_cast<int>(sequence.queue.size()));
    ConventionalRandom rng;
    std::istringstream in(text);
    EXPECT_EQ(loadPattern(reread, *in.rdbuf(), rng), std::nullopt) << text;
    return reread;
}

TEST(PairQueue, StartsWithTheKnownPairsAtPositionZero) {
    PairSequence sequence;
    startSequence(sequence, 0, 3);
    const std::vector<Pair> expected{pair(0, kShape2, {3, 0, 3, 0}), pair(2, kShape2, {3, 0, 1, 0}),
                                     pair(4, kShape2, {3, 0, 3, 0})};
    EXPECT_EQ(std::vector<Pair>(sequence.queue.begin(), sequence.queue.end()), expected);
    EXPECT_EQ(sequence.headState, RandomState{});
    EXPECT_EQ(sequence.tailState.position, 6u);
}

TEST(PairQueue, AdvanceDropsTheFrontAndMakesTheNextPair) {
    PairSequence sequence;
    startSequence(sequence, 0, 3);
    const std::vector<Pair> stream = upcoming(sequence, 4);
    const Pair& front = advance(sequence);
    EXPECT_EQ(front, stream[1]);
    EXPECT_EQ(std::vector<Pair>(sequence.queue.begin(), sequence.queue.end()),
              std::vector<Pair>(stream.begin() + 1, stream.begin() + 4));
    EXPECT_EQ(sequence.headState.position, stream[1].position);

    PairSequence single;
    startSequence(single, 0, 0); // counts as one
    ASSERT_EQ(single.queue.size(), 1u);
    advance(single);
    ASSERT_EQ(single.queue.size(), 1u);
    EXPECT_EQ(single.queue.front(), stream[1]);
}

TEST(PairQueue, AFixedPatternRunsOutIntoEmptyPairsWhileTheShapesTurn) {
    PairSequence sequence = withPattern("RBGY\n23a\nRBGYP\n", 3);
    const std::vector<Pair> pairs = upcoming(sequence, 2);
    EXPECT_EQ(pairs[0].slot, (std::array<int, 4>{1, 0, 2, 0}));
    EXPECT_EQ(pairs[1].slot, (std::array<int, 4>{3, 0, 3, 4})); // 3a
    EXPECT_EQ(pairs[2].slot, (std::array<int, 4>{5, 0, 0, 0}));
    for (int i = 3; i < 5; ++i) {
        EXPECT_EQ(pairs[i], pair(0, kShape2, {0, 0, 0, 0})) << i;
    }
    EXPECT_EQ(sequence.tailCursor, sequence.pattern.tokens.size());
}

TEST(PairQueue, FourBlobPairsOfColourOneReadNoColour) {
    PairSequence sequence = withPattern("RBGY\n4a2\nRGB\n", 6);
    const std::vector<Pair> expected{
        pair(0, kShape4a, {1, 1, 1, 1}), pair(0, kShape2, {1, 0, 3, 0}),
        pair(0, kShape4a, {1, 1, 1, 1}), pair(0, kShape2, {2, 0, 0, 0}),
        pair(0, kShape2, {0, 0, 0, 0}), // the tokens have run out: empty whatever the shape
        pair(0, kShape2, {0, 0, 0, 0})};
    EXPECT_EQ(std::vector<Pair>(sequence.queue.begin(), sequence.queue.end()), expected);
}

// A pair takes the position its colours are read at; one that reads none keeps the position the
// queue had made it at, even when the pattern goes on with a seek.
TEST(PairQueue, APairThatReadsNoColourKeepsThePositionItWasMadeAt) {
    struct Case {
        std::uint32_t start;
        std::string lines;
        std::vector<std::uint32_t> positions;
    };
    const Case cases[] = {
        {0, "GYRPB\n4a4a23b\n@2933@4469PY?*\n", {0, 0, 4469, 4469, 4471}},
        {7, "RB\n4a2\n@50R*\n", {7, 50, 50, 50}},
        {7, "RB\n2\n@50R*\n", {50, 50}},
    };
    for (const Case& c : cases) {
        PairSequence sequence;
        startSequence(sequence, c.start, 1);
        ConventionalRandom rng;
        std::istringstream in(c.lines);
        ASSERT_EQ(loadPattern(sequence, *in.rdbuf(), rng), std::nullopt) << c.lines;
        const std::vector<Pair> pairs =
            upcoming(sequence, static_cast<int>(c.positions.size()) - 1);
        std::vector<std::uint32_t> positions;
        for (const Pair& p : pairs) {
            positions.push_back(p.position);
        }
        EXPECT_EQ(positions, c.positions) << c.lines;
    }
}

TEST(PairQueue, FourBlobTwoColourPairsRedrawAnEqualSecondColour) {
    // Each redraw moves the random position once; the colours read move it not at all.
    PairSequence sequence = withPattern("RB\n4d\nRRRBBB\n", 3);
    EXPECT_EQ(sequence.queue[0], pair(0, kShape4d, {1, 2, 1, 2}));
    EXPECT_EQ(sequence.queue[1], pair(1, kShape4d, {1, 2, 1, 2}));
    EXPECT_EQ(sequence.queue[2], pair(1, kShape4d, {2, 1, 2, 1}));
    EXPECT_EQ(sequence.tailState.position, 2u);
    // With one colour in use the pair stays one colour and nothing is drawn.
    PairSequence single = withPattern("G\n4d\n?*\n", 2);
    EXPECT_EQ(single.queue[0], pair(0, kShape4d, {3, 3, 3, 3}));
    EXPECT_EQ(single.queue[1], pair(2, kShape4d, {3, 3, 3, 3}));
}

TEST(PairQueue, ASeekSetsThePositionOfThePairWhoseFirstColourFollowsIt) {
    PairSequence sequence = withPattern("RBGY\n2\nR@100G@200?*\n", 3);
    EXPECT_EQ(sequence.queue[0], pair(0, kShape2, {1, 0, 3, 0}));
    EXPECT_EQ(sequence.queue[1].position, 200u);
    EXPECT_EQ(sequence.queue[2].position, 202u);
    std::uint32_t reported = 0;
    PairSequence reader = withPattern("RBGY\n2\n@4321R\n", 1);
    reader.tailCursor = 0;
    EXPECT_EQ(nextColour(reader, reported), 1);
    EXPECT_EQ(reported, 4321u);
    EXPECT_EQ(reader.tailState.position, 4321u);
}

TEST(PairQueue, SettingThePositionWithoutRebuildingKeepsTheQueue) {
    PairSequence sequence;
    startSequence(sequence, 0, 3);
    const std::deque<Pair> before = sequence.queue;
    setPosition(sequence, 5000, false);
    EXPECT_EQ(sequence.queue, before);
    EXPECT_EQ(advance(sequence), before[1]);
    EXPECT_EQ(sequence.queue.back().position, 5000u);
}

TEST(PairQueue, SettingThePositionWithRebuildRestartsTheQueueThere) {
    PairSequence sequence;
    startSequence(sequence, 0, 3);
    PairSequence fresh = sequence;
    advance(sequence);
    advance(sequence);
    setPosition(sequence, 0, true);
    EXPECT_EQ(sequence.queue, fresh.queue);
    setPosition(sequence, 99, true);
    EXPECT_EQ(sequence.queue.front().position, 99u);
    EXPECT_EQ(sequence.headState.position, 99u);
}

TEST(PatternLoad, FailureLeavesTheWholeSequenceAsItWas) {
    struct Case {
        std::string lines;
        std::string message;
    };
    const Case cases[] = {
        {"RBQ\n2\n?*\n", "使用色指定3文字目：書式エラー[\"Q\"]"},
        {"RB", "ツモパターンがありません"},
        {"", "ツモパターンがありません"},
        {"RB\n2x\n?*\n", "ツモパターン2文字目：書式エラー[\"x\"]"},
        {"RB\n24d", "ツモ指定がありません"},
    };
    for (const Case& c : cases) {
        PairSequence sequence = withPattern("RG\n3a\nRG?*\n", 3);
        advance(sequence);
        const PairSequence before = sequence;
        ConventionalRandom rng;
        std::istringstream in(c.lines);
        EXPECT_EQ(loadPattern(sequence, *in.rdbuf(), rng), err(c.message)) << c.lines;
        EXPECT_EQ(sequence, before) << c.lines;
    }
}

TEST(PatternLoad, LinesMissingAtTheEndKeepTheirPreviousContent) {
    PairSequence sequence = withPattern("RG\n3a\nR*\n", 2);
    ConventionalRandom rng;
    std::istringstream in("BY\n");
    ASSERT_EQ(loadPattern(sequence, *in.rdbuf(), rng), std::nullopt);
    EXPECT_EQ(sequence.pattern.usedColours, (std::vector<int>{2, 4}));
    EXPECT_EQ(sequence.pattern.shapes, (std::vector<int>{kShape3a, kShapeEnd}));
    EXPECT_EQ(sequence.queue[0].slot, (std::array<int, 4>{1, 0, 1, 1}));
}

TEST(PatternLoad, ReadsLongLinesInPiecesAsALineBufferDoes) {
    PairSequence sequence;
    startSequence(sequence, 0, 2);
    const PairSequence before = sequence;
    ConventionalRandom rng;
    // The rest of a long first line becomes the shape line.
    std::istringstream longColours("RBGYP" + std::string(600, 'x') + "\n2\n?*\n");
    EXPECT_EQ(loadPattern(sequence, *longColours.rdbuf(), rng),
              err("ツモパターン1文字目：書式エラー[\"x\"]"));
    // A shape line longer than the buffer is cut before its line break.
    std::istringstream longShapes("RBGY\n" + std::string(600, '2') + "\n?*\n");
    EXPECT_EQ(loadPattern(sequence, *longShapes.rdbuf(), rng), err("ツモ指定がありません"));
    EXPECT_EQ(sequence, before);
    // The colour line is read up to 511 bytes; the stream stays after them.
    std::istringstream longTokens("RBGY\n2\n" + std::string(509, ' ') + "RBG\n");
    ASSERT_EQ(loadPattern(sequence, *longTokens.rdbuf(), rng), std::nullopt);
    EXPECT_EQ(sequence.pattern.tokens, (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(longTokens.rdbuf()->sgetc(), 'G');
}

TEST(PatternWrite, WritesTheDefaultPatternAtTheFrontPairsPosition) {
    PairSequence sequence;
    startSequence(sequence, 1234, 3);
    EXPECT_EQ(written(sequence), "RBGY\n2\n@1234?*\n");
    advance(sequence);
    EXPECT_EQ(written(sequence), "RBGY\n2\n@1236?*\n");
}

TEST(PatternWrite, LeavesOutTokensThatAreNeverRead) {
    // A later seek overrides an earlier one; nothing after the first `*` is reached.
    EXPECT_EQ(written(withPattern("RB\n2\n@1@2@3R?*BY@4\n", 2)), "RB\n2\n@3R?*\n");
    EXPECT_EQ(written(withPattern("RB\n2\n@9@9G\n", 1)), "RB\n2\n@9G\n");
}

TEST(PatternWrite, SaysWhenALineWouldNotFitTheBufferThatReadsItBack) {
    std::string tokens;
    for (int i = 0; i < 200; ++i) {
        tokens += "@R"; // each `@` is written with its position
    }
    const PairSequence sequence = withPattern("RB\n2\n" + tokens + "\n", 2);
    std::ostringstream out;
    EXPECT_FALSE(writePattern(sequence, out));
    EXPECT_GT(out.str().size(), kPatternLineBufferSize);
}

TEST(PatternWrite, WritesWhatReadsBackToTheSameQueue) {
    const std::string patterns[] = {
        "RBGY\n2\n?*\n",
        "RBGYP\n23a3b4d4a\n?*\n",
        "RB\n4d2\nRRGG?*\n",
        "GP\n3b\n@77?R@5*\n",
        "RBG\n2\nRBY@\n", // runs out
        "RBGYP\n4a3a\n@123RB?*BY\n",
        "R\n\n@\n",
        "RP\n23a3b4d4a\n@4294967294RRG?*\n", // positions pass the 32-bit end
    };
    for (const std::string& lines : patterns) {
        PairSequence original = withPattern(lines, 3);
        for (int advances = 0; advances < 5; ++advances) {
            const std::string text = written(original);
            const PairSequence reread = reloaded(original);
            const std::vector<Pair> expected = upcoming(original, 8);
            std::vector<Pair> actual = upcoming(reread, 8);
            if (original.headCursor == original.pattern.tokens.size()) {
                // Only empty pairs are left; their position is not part of the pattern.
                for (Pair& p : actual) {
                    p.position = expected.front().position;
                }
            }
            EXPECT_EQ(actual, expected) << lines << "after " << advances << ":\n" << text;
            advance(original);
        }
    }
}

// A position set without rebuilding makes the pairs after it from there; a written pattern
// says so, or a saved file reloads with other pairs than the ones shown.
TEST(PatternWrite, KeepsAPositionSetWithoutRebuildingWhereItTookEffect) {
    const std::string patterns[] = {
        "RBGY\n2\n?*\n",
        "RBGYP\n23a3b4d\nR?G?*\n",
        "RB\n4d2\nRRGG?*\n",
        "RBG\n2\nR@9?@40?B?*\n",
        "RBGY\n2\n????????????G\n", // runs out
    };
    for (const std::string& lines : patterns) {
        for (int advances = 0; advances < 5; ++advances) {
            PairSequence original = withPattern(lines, 3);
            advance(original);
            setPosition(original, 5000, false);
            for (int i = 0; i < advances; ++i) {
                advance(original);
            }
            const std::string text = written(original);
            EXPECT_EQ(upcoming(reloaded(original), 6), upcoming(original, 6))
                << lines << "after " << advances << ":\n"
                << text;
        }
    }
}

// Every resize keeps the pairs the queue shows and will show; only how many are shown changes.
TEST(PairQueueResize, KeepsEveryQueuedPairAndTheOrderOfThoseToCome) {
    const std::string patterns[] = {
        "RBGY\n2\n?*\n",          "RBGYP\n2\n@1000?*\n",
        "RBGYP\n4d2\n@500G?*\n",  "RBGY\n2\nRGBYRGBYRRGGBBYY\n",
        "RBGY\n23a4a3b4d\nR?*\n", "RBG\n23a\nR@9?@40?*\n",
    };
    for (const std::string& lines : patterns) {
        PairSequence sequence = withPattern(lines, 3);
        advance(sequence);
        advance(sequence);
        const std::string pattern = written(sequence);
        std::vector<Pair> stream = upcoming(sequence, 20);
        std::size_t consumed = 0;
        const int sizes[] = {3, 1, 6, 2, 2, 9, 1, 4};
        for (const int n : sizes) {
            resize(sequence, n);
            ASSERT_EQ(sequence.queue.size(), static_cast<std::size_t>(n)) << lines;
            const std::vector<Pair> now = upcoming(sequence, 6);
            EXPECT_TRUE(std::equal(now.begin(), now.end(), stream.begin() + consumed))
                << lines << " resized to " << n;
            // The head stays with the front pair, so the written pattern does not change.
            if (consumed == 0) {
                EXPECT_EQ(written(sequence), pattern) << lines << " resized to " << n;
            }
            advance(sequence);
            ++consumed;
        }
    }
}

TEST(PairQueueResize, PairsHeldBackByAShrinkComeBeforeThoseFromANewPosition) {
    PairSequence sequence;
    startSequence(sequence, 0, 3);
    const std::deque<Pair> before = sequence.queue;
    setPosition(sequence, 7000, false);
    resize(sequence, 1);
    EXPECT_EQ(advance(sequence), before[1]);
    EXPECT_EQ(advance(sequence), before[2]);
    EXPECT_EQ(advance(sequence).position, 7000u);
}

TEST(PairQueueResize, ASequenceSeekedAfterAShrinkContinuesFromTheNewPosition) {
    PairSequence sequence;
    startSequence(sequence, 0, 3);
    resize(sequence, 1);
    setPosition(sequence, 7000, false);
    EXPECT_EQ(advance(sequence).position, 7000u);
    resize(sequence, 3);
    EXPECT_EQ(sequence.queue[1].position, 7002u);

    // The tokens and shapes of the pairs dropped by the shrink are read again, as by a queue that
    // was never longer.
    const std::string lines = "RBGY\n23a4d\nRG?BY?RR@50??GB?*\n";
    PairSequence shrunk = withPattern(lines, 4);
    resize(shrunk, 2);
    PairSequence plain = withPattern(lines, 2);
    setPosition(shrunk, 7000, false);
    setPosition(plain, 7000, false);
    EXPECT_EQ(upcoming(shrunk, 6), upcoming(plain, 6));
}

} // namespace
} // namespace peterin
