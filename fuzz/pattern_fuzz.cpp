// Feeds arbitrary bytes to the pattern loader. Beyond memory safety it checks that a failed load
// changes nothing and that a loaded pattern, written and read back, makes the same pairs.
#include "sequence/pair_sequence.h"

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace peterin;

std::vector<Pair> upcoming(PairSequence sequence, int later) {
    std::vector<Pair> pairs(sequence.queue.begin(), sequence.queue.end());
    for (int i = 0; i < later; ++i) {
        pairs.push_back(advance(sequence));
    }
    return pairs;
}

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    PairSequence sequence;
    startSequence(sequence, 0, 3);
    const PairSequence before = sequence;
    ConventionalRandom rng;
    std::istringstream in(text);
    const ParseError error = loadPattern(sequence, *in.rdbuf(), rng);
    if (error) {
        check(sequence == before);
        check(error->text.size() <= 127 && error->caption == "err");
        return 0;
    }
    check(sequence.queue.size() == 3);
    for (int advances = 0; advances < 3; ++advances) {
        std::ostringstream out;
        if (!writePattern(sequence, out)) {
            return 0; // too long to read back, and said so
        }
        PairSequence reread;
        // Pairs that read no colour take the reader's position, so it stands where the front was.
        startSequence(reread, sequence.headState.position, static_cast<int>(sequence.queue.size()));
        std::istringstream back(out.str());
        check(!loadPattern(reread, *back.rdbuf(), rng));
        std::vector<Pair> expected = upcoming(sequence, 6);
        std::vector<Pair> actual = upcoming(reread, 6);
        if (sequence.headCursor == sequence.pattern.tokens.size()) {
            for (Pair& pair : actual) {
                pair.position = expected.front().position; // run out: positions are not written
            }
        }
        check(actual == expected);
        resize(sequence, 1 + advances * 2);
        advance(sequence);
    }
    return 0;
}
