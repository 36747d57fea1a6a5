#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <ostream>
#include <streambuf>

#include "sequence/pattern.h"
#include "sequence/random.h"

namespace peterin {

// One coming or falling pair: a 2 x 2 block of colour codes (0 = no blob, 1 to 5 = R to P).
// slot 0 top left, 1 top right, 2 bottom left (the pivot), 3 bottom right.
struct Pair {
    std::uint32_t position = 0; // random position at the pair's first colour (or the `@` sought)
    int shape = kShape2;
    std::array<int, 4> slot{};

    bool operator==(const Pair&) const = default;
};

// Everything a new pair is made from besides the pattern itself. Making pairs is deterministic
// in it, so a pair is made again exactly from the state it was first made from.
struct GeneratorState {
    RandomState random;
    std::size_t cursor = 0;     // token the next colour is read from; tokens.size() = exhausted
    std::size_t shapeIndex = 0; // index into shapes of the next pair's shape

    bool operator==(const GeneratorState&) const = default;
};

// One player's queue of coming pairs with the pattern and generator they are made from. A plain
// value: copying it (temporary saves, the turn backup) copies everything.
struct PairSequence {
    std::deque<Pair> queue; // front = the falling pair, then the next pairs
    PairPattern pattern;

    // The tail: where the next new pair is made from.
    RandomState tailState;
    std::size_t tailCursor = 0;
    std::size_t shapeIndex = 0;

    // The head: the generator state the front pair was made from, so it can be made again
    // (writing the pattern, loading a new pattern, rebuilding at a new position). Equal to the
    // tail while the queue is empty. The functions below keep it; nothing else needs to.
    RandomState headState;
    std::size_t headCursor = 0;
    std::size_t headShapeIndex = 0;

    // Pairs already made but beyond the end of the queue after it shrank; they are handed out
    // again, in order, before any new pair is made.
    std::deque<Pair> held;
    // origins[i]: the generator state that queue[i] (then held[i - queue.size()]) was made from.
    std::deque<GeneratorState> origins;

    bool operator==(const PairSequence&) const = default;
};

// The tail and head fields of a sequence gathered into one value.
GeneratorState tailOf(const PairSequence& sequence);
GeneratorState headOf(const PairSequence& sequence);

// Reads the next colour at the tail (0 once the tokens run out), following `*` and `@`; an `@`
// on the way stores the position it seeks to into `position`.
int nextColour(PairSequence& sequence, std::uint32_t& position);

// Makes one pair at the tail and moves the tail on. Does not touch the queue.
Pair generatePair(PairSequence& sequence);

// The front pair has been placed: drops it and appends one more pair. Returns the new front
// pair, which the play engine copies into the falling pair and shows the position of.
const Pair& advance(PairSequence& sequence);

// Rebuilds every pair of the queue from the tail as it stands, the shape cycle from its start.
void regenerate(PairSequence& sequence);

// Sets the queue length to n (below 1 counts as 1), keeping every queued pair: growing appends
// the pairs the queue would have made next, shrinking drops pairs from the back and hands them
// out again first.
void resize(PairSequence& sequence, int n);

// Seeks the tail to position p. Without `rebuild` the queued pairs stay and later pairs continue
// from p; with it the queue is made again from the front pair's token, starting at p.
void setPosition(PairSequence& sequence, std::uint32_t p, bool rebuild);

// Deep copy.
void copy(PairSequence& destination, const PairSequence& source);

// Fills a sequence for a new game: n pairs (below 1 counts as 1) from the start of its tokens at
// random position p.
void startSequence(PairSequence& sequence, std::uint32_t p, int n);

// Reads the three pattern lines (used colours, shapes, colour tokens) from `in` as a 512-byte
// line buffer reads them and rebuilds the queue from them, from the front pair's random state.
// When `in` ends after a line, the lines not read keep their previous content. On
// failure the sequence is left exactly as it was.
ParseError loadPattern(PairSequence& sequence, std::streambuf& in, ConventionalRandom& rng);

// Writes the three pattern lines, each ended by '\n', so that loading them rebuilds the same
// queue: the shapes start at the front pair's shape and the tokens at the front pair's token,
// preceded by `@` and the front pair's position unless they begin with a seek (pairs that read no
// colour before it take the reading queue's position, as they do in any pattern); a position
// set without rebuilding is written as a seek where it took effect.
// Tokens that are never read (after the first `*`, seeks overridden by the next one) are left
// out; tokens that have run out are written as an empty line. Returns false when a line is too
// long for the 512-byte line buffer that reads it back (many `@` without digits, each of which
// is written with its position): the text is written all the same.
bool writePattern(const PairSequence& sequence, std::ostream& out);

} // namespace peterin
