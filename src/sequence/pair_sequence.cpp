#include "sequence/pair_sequence.h"

#include <algorithm>
#include <string>

namespace peterin {

namespace {

int shapeAt(const PairPattern& pattern, std::size_t index) {
    if (index < pattern.shapes.size() && pattern.shapes[index] >= kShape2 &&
        pattern.shapes[index] < kShapeEnd) {
        return pattern.shapes[index];
    }
    return kShape2; // a cycle without shapes makes plain pairs
}

std::size_t nextShapeIndex(const PairPattern& pattern, std::size_t index) {
    const std::size_t next = index + 1;
    if (next >= pattern.shapes.size() || pattern.shapes[next] == kShapeEnd) {
        return 0;
    }
    return next;
}

// The head follows the front pair's origin; with nothing queued it is where the tail is.
void syncHead(PairSequence& sequence) {
    const GeneratorState head =
        sequence.origins.empty() ? tailOf(sequence) : sequence.origins.front();
    sequence.headState = head.random;
    sequence.headCursor = head.cursor;
    sequence.headShapeIndex = head.shapeIndex;
}

// Appends the pair the queue gets next: one held back by a shrink, or a new one.
void appendNext(PairSequence& sequence) {
    if (!sequence.held.empty()) {
        sequence.queue.push_back(sequence.held.front());
        sequence.held.pop_front();
        return; // its origin is already in place: origins run through the queue, then held
    }
    sequence.origins.push_back(tailOf(sequence));
    sequence.queue.push_back(generatePair(sequence));
}

// Makes `count` pairs from the tail as it stands, the shape cycle from its start.
void rebuild(PairSequence& sequence, std::size_t count) {
    sequence.queue.clear();
    sequence.held.clear();
    sequence.origins.clear();
    sequence.shapeIndex = 0;
    for (std::size_t i = 0; i < count; ++i) {
        appendNext(sequence);
    }
    syncHead(sequence);
}

// One line as a 512-byte line buffer reads it. Returns an empty line at the end of the input.
void readPatternLine(std::streambuf& in, std::string& line) {
    line.clear();
    while (line.size() + 1 < kPatternLineBufferSize) {
        const auto c = in.sbumpc();
        if (c == std::streambuf::traits_type::eof()) {
            break;
        }
        line.push_back(std::streambuf::traits_type::to_char_type(c));
        if (line.back() == '\n') {
            break;
        }
    }
}

bool atEnd(std::streambuf& in) {
    return in.sgetc() == std::streambuf::traits_type::eof();
}

// One colour read's walk over the tokens from `cursor`: it passes seeks, handing each position
// to `onSeek`, and goes back over `*`. Returns the index of the token read (a colour or `?`) and
// leaves the cursor after it, or returns tokens.size() when the tokens run out.
template <typename OnSeek>
std::size_t walkToColour(const std::vector<std::uint32_t>& tokens, std::size_t& cursor,
                         OnSeek&& onSeek) {
    while (cursor < tokens.size()) {
        const std::uint32_t token = tokens[cursor];
        if ((token >= 1 && token <= 5) || token == kTokenRandom) {
            return cursor++;
        }
        if (token == kTokenRepeat) {
            // Back to the token repeated; a run of `*` repeats the token before the run.
            std::size_t back = cursor;
            while (back > 0 && tokens[back - 1] == kTokenRepeat) {
                --back;
            }
            if (back == 0) {
                cursor = tokens.size(); // nothing to repeat: the pattern has run out
                break;
            }
            cursor = back - 1;
            continue;
        }
        if (token == kTokenSeek) {
            if (cursor + 1 >= tokens.size()) {
                cursor = tokens.size();
                break;
            }
            onSeek(tokens[cursor + 1]);
            cursor += 2;
            continue;
        }
        ++cursor; // not a token; nothing the parser makes
    }
    return tokens.size();
}

// The tokens from `cursor` on as a reader there meets them: a `*` under the cursor repeats the
// token before it, so that token comes first.
void appendReadableFrom(const std::vector<std::uint32_t>& tokens, std::size_t cursor,
                        std::vector<std::uint32_t>& out) {
    std::size_t start = std::min(cursor, tokens.size());
    while (start > 0 && start < tokens.size() && tokens[start] == kTokenRepeat) {
        --start;
    }
    out.insert(out.end(), tokens.begin() + static_cast<std::ptrdiff_t>(start), tokens.end());
}

// The tokens the queue reads from its front pair on; the ones before the front pair's token are
// never read again. A position set without rebuilding moved the random state between two pairs,
// which no token of the pattern says: then the pairs up to the last such move are spelled out
// token by token, followed by a seek to the position set, and the pattern goes on from there.
// (A four-blob pair of colour 1 right after such a move reads no token, so it shows the position
// before the move when read back; its blobs are the same.)
std::vector<std::uint32_t> tokensFromHead(const PairSequence& sequence) {
    const std::vector<std::uint32_t>& tokens = sequence.pattern.tokens;
    std::vector<std::uint32_t> spelled;
    std::size_t spelledToMove = 0;
    std::size_t resume = sequence.headCursor;
    PairSequence probe;
    probe.pattern = sequence.pattern;
    for (std::size_t i = 0; i < sequence.origins.size(); ++i) {
        const GeneratorState& origin = sequence.origins[i];
        std::size_t cursor = origin.cursor;
        if (cursor < tokens.size() && shapeAt(sequence.pattern, origin.shapeIndex) != kShape4a) {
            for (int read = 0; read < 2; ++read) {
                const std::size_t at = walkToColour(tokens, cursor, [&](std::uint32_t target) {
                    spelled.insert(spelled.end(), {kTokenSeek, target});
                });
                if (at < tokens.size()) {
                    spelled.push_back(tokens[at]);
                }
            }
        }
        probe.tailState = origin.random;
        probe.tailCursor = origin.cursor;
        probe.shapeIndex = origin.shapeIndex;
        generatePair(probe);
        const GeneratorState next =
            i + 1 < sequence.origins.size() ? sequence.origins[i + 1] : tailOf(sequence);
        // Once the tokens have run out only empty pairs follow, whatever the position.
        if (probe.tailState != next.random && next.cursor < tokens.size()) {
            spelled.insert(spelled.end(), {kTokenSeek, next.random.position});
            spelledToMove = spelled.size();
            resume = next.cursor;
        }
    }
    spelled.resize(spelledToMove);
    appendReadableFrom(tokens, resume, spelled);
    return spelled;
}

char letterOf(int colour) {
    constexpr std::string_view letters = "-RBGYP";
    return colour >= 0 && colour <= 5 ? letters[static_cast<std::size_t>(colour)] : ' ';
}

} // namespace

GeneratorState tailOf(const PairSequence& sequence) {
    return {sequence.tailState, sequence.tailCursor, sequence.shapeIndex};
}

GeneratorState headOf(const PairSequence& sequence) {
    return {sequence.headState, sequence.headCursor, sequence.headShapeIndex};
}

int nextColour(PairSequence& sequence, std::uint32_t& position) {
    const std::vector<std::uint32_t>& tokens = sequence.pattern.tokens;
    const std::vector<int>& used = sequence.pattern.usedColours;
    const std::size_t at = walkToColour(tokens, sequence.tailCursor, [&](std::uint32_t target) {
        position = target;
        seek(sequence.tailState, target);
    });
    if (at >= tokens.size()) {
        return 0;
    }
    if (tokens[at] == kTokenRandom) {
        const std::uint32_t value = step(sequence.tailState);
        return used.empty() ? 0 : used[value % used.size()];
    }
    return static_cast<int>(tokens[at]);
}

Pair generatePair(PairSequence& sequence) {
    Pair pair;
    pair.position = sequence.tailState.position;
    if (sequence.tailCursor < sequence.pattern.tokens.size()) {
        const int shape = shapeAt(sequence.pattern, sequence.shapeIndex);
        if (shape == kShape4a) {
            pair.slot = {1, 1, 1, 1};
        } else {
            const int x = nextColour(sequence, pair.position);
            std::uint32_t later = 0; // a seek before the second colour does not move the pair
            int y = nextColour(sequence, later);
            if (shape == kShape4d && y == x && x != 0) {
                // Four blobs need two colours: redraw the second from the others in use.
                std::vector<int> others;
                for (const int colour : sequence.pattern.usedColours) {
                    if (colour != x) {
                        others.push_back(colour);
                    }
                }
                if (!others.empty()) {
                    y = others[step(sequence.tailState) % others.size()];
                }
            }
            switch (shape) {
            case kShape3a:
                pair.slot = {x, 0, x, y};
                break;
            case kShape3b:
                pair.slot = {x, 0, y, y};
                break;
            case kShape4d:
                pair.slot = {x, y, x, y};
                break;
            default:
                pair.slot = {x, 0, y, 0};
                break;
            }
        }
        pair.shape = shape;
    }
    sequence.shapeIndex = nextShapeIndex(sequence.pattern, sequence.shapeIndex);
    return pair;
}

const Pair& advance(PairSequence& sequence) {
    if (!sequence.queue.empty()) {
        sequence.queue.pop_front();
        sequence.origins.pop_front();
    }
    appendNext(sequence);
    syncHead(sequence);
    return sequence.queue.front();
}

void regenerate(PairSequence& sequence) {
    rebuild(sequence, sequence.queue.size());
}

void resize(PairSequence& sequence, int n) {
    const std::size_t count = static_cast<std::size_t>(std::max(n, 1));
    while (sequence.queue.size() < count) {
        appendNext(sequence);
    }
    while (sequence.queue.size() > count) {
        // Kept, in order, to be handed out before anything new; origins keep their order.
        sequence.held.push_front(sequence.queue.back());
        sequence.queue.pop_back();
    }
    syncHead(sequence);
}

void setPosition(PairSequence& sequence, std::uint32_t p, bool rebuildQueue) {
    seek(sequence.tailState, p);
    if (rebuildQueue) {
        sequence.tailCursor = sequence.headCursor;
        regenerate(sequence);
        return;
    }
    // Later pairs continue from p, so pairs held back from the old tail are dropped; their tokens
    // and shapes are read again, from where the queue ends.
    if (!sequence.held.empty()) {
        const GeneratorState& firstHeld = sequence.origins[sequence.queue.size()];
        sequence.tailCursor = firstHeld.cursor;
        sequence.shapeIndex = firstHeld.shapeIndex;
    }
    sequence.held.clear();
    sequence.origins.resize(sequence.queue.size());
}

void copy(PairSequence& destination, const PairSequence& source) {
    destination = source;
}

void startSequence(PairSequence& sequence, std::uint32_t p, int n) {
    seek(sequence.tailState, p);
    sequence.tailCursor = sequence.headCursor;
    rebuild(sequence, static_cast<std::size_t>(std::max(n, 1)));
}

ParseError loadPattern(PairSequence& sequence, std::streambuf& in, ConventionalRandom& rng) {
    const PairSequence before = sequence;
    std::string line;
    readPatternLine(in, line);
    ParseError error = parseUsedColours(line, sequence.pattern);
    if (!error && !atEnd(in)) {
        readPatternLine(in, line);
        error = parseShapes(line, sequence.pattern);
        if (!error && !atEnd(in)) {
            readPatternLine(in, line);
            parseColourTokens(line, sequence.pattern, rng);
        }
    }
    if (error) {
        sequence = before;
        return error;
    }
    // A pair that reads no colour before the pattern's first seek keeps the position the queue
    // stands at; only a colour read moves a pair to the position sought.
    sequence.tailState = sequence.headState;
    sequence.tailCursor = 0;
    regenerate(sequence);
    return std::nullopt;
}

bool writePattern(const PairSequence& sequence, std::ostream& out) {
    const PairPattern& pattern = sequence.pattern;
    std::string colourLine;
    for (const int colour : pattern.usedColours) {
        colourLine += letterOf(colour);
    }
    colourLine += '\n';

    // The shape cycle from the front pair's shape on, so a reload starts where the queue does.
    constexpr const char* shapeText[] = {"2", "3a", "3b", "4d", "4a"};
    std::size_t cycle = 0;
    while (cycle < pattern.shapes.size() && pattern.shapes[cycle] != kShapeEnd) {
        ++cycle;
    }
    const std::size_t first = sequence.headShapeIndex < cycle ? sequence.headShapeIndex : 0;
    std::string shapeLine;
    for (std::size_t i = 0; i < cycle; ++i) {
        const int shape = pattern.shapes[(first + i) % cycle];
        shapeLine += shape >= kShape2 && shape < kShapeEnd ? shapeText[shape] : "";
    }
    shapeLine += '\n';

    // Only the last of consecutive seeks matters, and nothing after the first `*` is ever read, so
    // neither is written: the line stays as short as it can.
    const std::vector<std::uint32_t> readable = tokensFromHead(sequence);
    std::vector<std::uint32_t> kept;
    bool afterSeek = false;
    for (std::size_t i = 0; i < readable.size(); ++i) {
        if (readable[i] == kTokenSeek) {
            if (i + 1 >= readable.size()) {
                break;
            }
            const std::uint32_t target = readable[++i];
            if (afterSeek) {
                kept.back() = target;
            } else {
                kept.insert(kept.end(), {kTokenSeek, target});
            }
            afterSeek = true;
            continue;
        }
        kept.push_back(readable[i]);
        afterSeek = false;
        if (readable[i] == kTokenRepeat) {
            break;
        }
    }
    // The front pair's position leads the line unless a seek does: the colour read first would
    // pass both, and only the later one counts.
    const bool startsWithSeek = !kept.empty() && kept[0] == kTokenSeek;
    std::string tokenLine;
    if (!kept.empty() && !startsWithSeek) {
        tokenLine += '@' + std::to_string(sequence.headState.position);
    }
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const std::uint32_t token = kept[i];
        if (token >= 1 && token <= 5) {
            tokenLine += letterOf(static_cast<int>(token));
        } else if (token == kTokenRandom) {
            tokenLine += '?';
        } else if (token == kTokenRepeat) {
            tokenLine += '*';
        } else if (token == kTokenSeek) {
            tokenLine += '@' + std::to_string(kept[++i]);
        } else {
            tokenLine += ' ';
        }
    }
    tokenLine += '\n';
    out << colourLine << shapeLine << tokenLine;
    // Every line must fit the line buffer that reads it back.
    return colourLine.size() < kPatternLineBufferSize &&
           shapeLine.size() < kPatternLineBufferSize && tokenLine.size() < kPatternLineBufferSize;
}

} // namespace peterin
