#pragma once

#include <cstdint>

namespace peterin {

// The state of the xorshift generator that makes every random colour of a pair sequence. The
// whole state follows from `position`, the number of steps taken since the fixed seed, so a
// sequence is reproduced from that one number.
struct RandomState {
    bool valid = false; // never set; kept so the record has its documented layout
    std::uint32_t position = 0;
    std::uint32_t x = 123456789;
    std::uint32_t y = 362436069;
    std::uint32_t z = 521288629;
    std::uint32_t w = 88675123;

    bool operator==(const RandomState&) const = default;
};

// One xorshift step; returns the new `w`, the value of the step. The step after position
// 2^32 - 1 returns to the seed at position 0, so the position always determines the state.
std::uint32_t step(RandomState& state);

// Puts `state` at position `n` from the seed, exactly as `n` steps from the seed would, in at
// most 32 matrix-vector products over GF(2) instead of `n` steps. Allocates nothing.
void seek(RandomState& state, std::uint32_t n);

// The same result by stepping `n` times; the reference the jump-ahead is checked against.
void seekByStepping(RandomState& state, std::uint32_t n);

// The conventional linear congruential generator, our own so that its values are the same on
// every platform. Used to pick fresh positions and by the nuisance logic, never for colours.
struct ConventionalRandom {
    std::uint32_t state = 1; // an unseeded generator behaves as if seeded with 1

    void srand(std::uint32_t seed) { state = seed; }
    // A value from 0 to 32767.
    int rand() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFFu);
    }

    bool operator==(const ConventionalRandom&) const = default;
};

// Seeds the conventional generator at start-up from the calendar time in seconds: srand with
// its low 32 bits, then one value discarded per second until the time reaches a multiple of ten
// (0 to 9 values). The time is a parameter so that tests control it.
void seedConventional(ConventionalRandom& rng, std::int64_t time);

// The random position a game starts at: the setting "初期乱数値" itself, or a fresh value of
// the conventional generator (0 to 32767) when the setting is negative.
std::uint32_t chooseInitialPosition(int settingValue, ConventionalRandom& rng);

} // namespace peterin
