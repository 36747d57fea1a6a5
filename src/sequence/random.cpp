#include "sequence/random.h"

#include <array>

namespace peterin {

namespace {

// The 128 state bits as two words: x and y in `lo`, z and w in `hi`.
struct Bits {
    std::uint64_t lo = 0;
    std::uint64_t hi = 0;
};

Bits toBits(const RandomState& s) {
    return {s.x | (std::uint64_t{s.y} << 32), s.z | (std::uint64_t{s.w} << 32)};
}

void fromBits(RandomState& s, Bits b) {
    s.x = static_cast<std::uint32_t>(b.lo);
    s.y = static_cast<std::uint32_t>(b.lo >> 32);
    s.z = static_cast<std::uint32_t>(b.hi);
    s.w = static_cast<std::uint32_t>(b.hi >> 32);
}

Bits stepBits(Bits b) {
    RandomState s;
    fromBits(s, b);
    step(s);
    return toBits(s);
}

// A 128 x 128 matrix over GF(2), stored by columns: column j is the image of state bit j.
using Matrix = std::array<Bits, 128>;

Bits apply(const Matrix& m, Bits v) {
    std::uint64_t lo = 0;
    std::uint64_t hi = 0;
    for (int j = 0; j < 64; ++j) {
        const std::uint64_t mask = 0 - ((v.lo >> j) & 1u);
        lo ^= m[j].lo & mask;
        hi ^= m[j].hi & mask;
    }
    for (int j = 0; j < 64; ++j) {
        const std::uint64_t mask = 0 - ((v.hi >> j) & 1u);
        lo ^= m[64 + j].lo & mask;
        hi ^= m[64 + j].hi & mask;
    }
    return {lo, hi};
}

// powers[k] advances a state by 2^k steps.
using PowerTable = std::array<Matrix, 32>;

PowerTable makePowers() {
    PowerTable powers{};
    // The step is linear, so its matrix is the image of every unit vector.
    for (int j = 0; j < 128; ++j) {
        Bits unit;
        if (j < 64) {
            unit.lo = std::uint64_t{1} << j;
        } else {
            unit.hi = std::uint64_t{1} << (j - 64);
        }
        powers[0][j] = stepBits(unit);
    }
    for (int k = 1; k < 32; ++k) {
        for (int j = 0; j < 128; ++j) {
            powers[k][j] = apply(powers[k - 1], powers[k - 1][j]);
        }
    }
    return powers;
}

const PowerTable& powers() {
    static const PowerTable table = makePowers();
    return table;
}

} // namespace

std::uint32_t step(RandomState& s) {
    const std::uint32_t t = s.x ^ (s.x << 11);
    s.x = s.y;
    s.y = s.z;
    s.z = s.w;
    s.w = s.w ^ (s.w >> 19) ^ t ^ (t >> 8);
    if (++s.position == 0) {
        // The position is 32 bits wide; past its end the sequence starts again from the seed,
        // so that the position alone still says what the state is.
        const RandomState seed;
        s.x = seed.x;
        s.y = seed.y;
        s.z = seed.z;
        s.w = seed.w;
    }
    return s.w;
}

void seek(RandomState& state, std::uint32_t n) {
    const PowerTable& table = powers();
    RandomState seed;
    Bits bits = toBits(seed);
    for (int k = 0; k < 32; ++k) {
        if ((n >> k) & 1u) {
            bits = apply(table[k], bits);
        }
    }
    fromBits(state, bits);
    state.position = n;
}

void seekByStepping(RandomState& state, std::uint32_t n) {
    const RandomState seed;
    state.x = seed.x;
    state.y = seed.y;
    state.z = seed.z;
    state.w = seed.w;
    for (std::uint32_t i = 0; i < n; ++i) {
        step(state);
    }
    state.position = n;
}

void seedConventional(ConventionalRandom& rng, std::int64_t time) {
    rng.srand(static_cast<std::uint32_t>(static_cast<std::uint64_t>(time)));
    // Counting seconds up to the next multiple of ten, as the time itself would tick.
    const std::int64_t remainder = ((time % 10) + 10) % 10;
    const std::int64_t discards = remainder == 0 ? 0 : 10 - remainder;
    for (std::int64_t i = 0; i < discards; ++i) {
        rng.rand();
    }
}

std::uint32_t chooseInitialPosition(int settingValue, ConventionalRandom& rng) {
    if (settingValue < 0) {
        return static_cast<std::uint32_t>(rng.rand());
    }
    return static_cast<std::uint32_t>(settingValue);
}

} // namespace peterin
