#include "history/delta.h"

#include <array>
#include <stdexcept>
#include <type_traits>

namespace peterin {

namespace {

// Every number is written as a zigzag varint: the small values positions are made of take a
// byte or two.
class Writer {
  public:
    explicit Writer(std::vector<std::uint8_t>& out) : out_(out), size_(out.size()) {}
    ~Writer() { out_.resize(size_); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Room for `bytes` more without growing on the way.
    void reserve(std::size_t bytes) {
        if (out_.size() < size_ + bytes) {
            out_.resize(std::max(size_ + bytes, 2 * out_.size()));
        }
    }

    void number(std::int64_t value) {
        auto n = (static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63);
        reserve(10);
        std::uint8_t* at = out_.data() + size_;
        while (n >= 0x80) {
            *at++ = static_cast<std::uint8_t>(n | 0x80);
            n >>= 7;
        }
        *at++ = static_cast<std::uint8_t>(n);
        size_ = static_cast<std::size_t>(at - out_.data());
    }

  private:
    std::vector<std::uint8_t>& out_;
    std::size_t size_; // bytes written; out_ may be larger while writing
};

class Reader {
  public:
    explicit Reader(const std::vector<std::uint8_t>& in) : in_(in) {}

    bool done() const { return at_ >= in_.size(); }

    std::int64_t number() {
        std::uint64_t n = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (at_ >= in_.size()) {
                throw std::logic_error("history record cut short");
            }
            const std::uint8_t byte = in_[at_++];
            n |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) {
                break;
            }
        }
        return static_cast<std::int64_t>(n >> 1) ^ -static_cast<std::int64_t>(n & 1);
    }

    template <class T> void into(T& value) { value = static_cast<T>(number()); }

  private:
    const std::vector<std::uint8_t>& in_;
    std::size_t at_ = 0;
};

template <class T> std::int64_t asNumber(T value) {
    if constexpr (std::is_enum_v<T>) {
        return static_cast<std::int64_t>(static_cast<std::underlying_type_t<T>>(value));
    } else {
        return static_cast<std::int64_t>(value);
    }
}

// --- Whole values -----------------------------------------------------------------------------

void put(Writer& w, const Cell& c) {
    w.number(asNumber(c.kind));
    w.number(c.fallState);
    w.number(c.groupSize);
    w.number(c.linkMask);
    w.number(c.visited);
}

void get(Reader& r, Cell& c) {
    r.into(c.kind);
    r.into(c.fallState);
    r.into(c.groupSize);
    r.into(c.linkMask);
    r.into(c.visited);
}

// Runs of equal cells are written once with their length: most of a field is empty.
void put(Writer& w, const FieldCells& f) {
    w.number(f.width);
    w.number(f.height);
    w.number(f.limboRows);
    w.number(static_cast<std::int64_t>(f.cells.size()));
    for (std::size_t i = 0; i < f.cells.size();) {
        std::size_t run = 1;
        while (i + run < f.cells.size() && f.cells[i + run] == f.cells[i]) {
            ++run;
        }
        w.number(static_cast<std::int64_t>(run));
        put(w, f.cells[i]);
        i += run;
    }
}

void get(Reader& r, FieldCells& f) {
    r.into(f.width);
    r.into(f.height);
    r.into(f.limboRows);
    std::size_t count = 0;
    r.into(count);
    f.cells.clear();
    f.cells.reserve(count);
    while (f.cells.size() < count) {
        std::size_t run = 0;
        r.into(run);
        Cell cell;
        get(r, cell);
        f.cells.insert(f.cells.end(), run, cell);
    }
}

void put(Writer& w, const RandomState& s) {
    w.number(s.valid ? 1 : 0);
    w.number(s.position);
    w.number(s.x);
    w.number(s.y);
    w.number(s.z);
    w.number(s.w);
}

void get(Reader& r, RandomState& s) {
    s.valid = r.number() != 0;
    r.into(s.position);
    r.into(s.x);
    r.into(s.y);
    r.into(s.z);
    r.into(s.w);
}

void put(Writer& w, const Pair& p) {
    w.number(p.position);
    w.number(p.shape);
    for (int slot : p.slot) {
        w.number(slot);
    }
}

void get(Reader& r, Pair& p) {
    r.into(p.position);
    r.into(p.shape);
    for (int& slot : p.slot) {
        r.into(slot);
    }
}

template <class Container> void putAll(Writer& w, const Container& items) {
    w.number(static_cast<std::int64_t>(items.size()));
    for (const auto& item : items) {
        if constexpr (std::is_arithmetic_v<std::decay_t<decltype(item)>>) {
            w.number(static_cast<std::int64_t>(item));
        } else {
            put(w, item);
        }
    }
}

template <class Container> void getAll(Reader& r, Container& items) {
    std::size_t count = 0;
    r.into(count);
    items.clear();
    items.resize(count);
    for (auto& item : items) {
        if constexpr (std::is_arithmetic_v<std::decay_t<decltype(item)>>) {
            r.into(item);
        } else {
            get(r, item);
        }
    }
}

// The generator states follow one another a few steps apart, so each is written as the number
// of steps from the one written before it when that is how it came about, else in full.
constexpr std::int64_t kMaxStateSteps = 64;

void putState(Writer& w, const RandomState& state, RandomState& previous, bool& havePrevious) {
    if (havePrevious && state.valid == previous.valid) {
        RandomState walk = previous;
        for (std::int64_t n = 0; n <= kMaxStateSteps; ++n) {
            if (walk == state) {
                w.number(n + 1);
                previous = state;
                return;
            }
            step(walk);
        }
    }
    w.number(0);
    put(w, state);
    previous = state;
    havePrevious = true;
}

void getState(Reader& r, RandomState& state, RandomState& previous) {
    const std::int64_t n = r.number();
    if (n == 0) {
        get(r, state);
    } else {
        state = previous;
        for (std::int64_t i = 1; i < n; ++i) {
            step(state);
        }
    }
    previous = state;
}

void put(Writer& w, const PairSequence& s) {
    putAll(w, s.queue);
    putAll(w, s.held);
    putAll(w, s.pattern.usedColours);
    putAll(w, s.pattern.shapes);
    putAll(w, s.pattern.tokens);
    RandomState previous;
    bool havePrevious = false;
    putState(w, s.headState, previous, havePrevious);
    w.number(static_cast<std::int64_t>(s.headCursor));
    w.number(static_cast<std::int64_t>(s.headShapeIndex));
    w.number(static_cast<std::int64_t>(s.origins.size()));
    for (const GeneratorState& origin : s.origins) {
        putState(w, origin.random, previous, havePrevious);
        w.number(static_cast<std::int64_t>(origin.cursor));
        w.number(static_cast<std::int64_t>(origin.shapeIndex));
    }
    putState(w, s.tailState, previous, havePrevious);
    w.number(static_cast<std::int64_t>(s.tailCursor));
    w.number(static_cast<std::int64_t>(s.shapeIndex));
}

void get(Reader& r, PairSequence& s) {
    getAll(r, s.queue);
    getAll(r, s.held);
    getAll(r, s.pattern.usedColours);
    getAll(r, s.pattern.shapes);
    getAll(r, s.pattern.tokens);
    RandomState previous;
    getState(r, s.headState, previous);
    r.into(s.headCursor);
    r.into(s.headShapeIndex);
    std::size_t count = 0;
    r.into(count);
    s.origins.assign(count, GeneratorState{});
    for (GeneratorState& origin : s.origins) {
        getState(r, origin.random, previous);
        r.into(origin.cursor);
        r.into(origin.shapeIndex);
    }
    getState(r, s.tailState, previous);
    r.into(s.tailCursor);
    r.into(s.shapeIndex);
}

void put(Writer& w, const FallingPair& p) {
    w.number(p.x);
    w.number(p.row);
    w.number(p.shape);
    for (CellKind kind : p.cells) {
        w.number(asNumber(kind));
    }
}

void get(Reader& r, FallingPair& p) {
    r.into(p.x);
    r.into(p.row);
    r.into(p.shape);
    for (CellKind& kind : p.cells) {
        r.into(kind);
    }
}

// --- The parts of a snapshot ------------------------------------------------------------------

// The copies of a player in a snapshot whose members the records address: holders 0 and 1 are
// the live players, 2 and 3 the turn backup's.
constexpr int kHolders = 2 * kPlayerCount;

template <class S, class F> void forHolder(S& s, int holder, F&& f) {
    const auto p = static_cast<std::size_t>(holder % kPlayerCount);
    if (holder < kPlayerCount) {
        f(s.players[p]);
    } else {
        f(s.turnBackup.players[p]);
    }
}

// Calls f on every single number of the snapshot, always in the same order; the order gives
// each its index in the records.
template <class S, class F> void forEachNumber(S& s, F&& f) {
    const auto numbers = [&](auto& member) {
        if constexpr (kIsNumberMember<decltype(member)>) {
            f(member);
        }
    };
    for (auto& p : s.players) {
        visitMembers(numbers, p);
        f(p.tally.base);
        f(p.tally.cleared);
        f(p.tally.colourMask);
        f(p.tally.groupBonus);
        f(p.shownStatus.chainCount);
        f(p.shownStatus.score);
    }
    f(s.mode);
    f(s.rng.state);
    for (auto& p : s.turnBackup.players) {
        visitMembers(numbers, p);
    }
    auto& v = s.settings;
    f(v.fieldWidth);
    f(v.fieldHeight);
    f(v.nextCount);
    f(v.nextColumns);
    f(v.nextRows);
    f(v.cellWidth);
    f(v.cellHeight);
    f(v.showHeaven);
    f(v.showLimbo);
}

std::vector<std::int64_t> numbersOf(const Snapshot& s) {
    std::vector<std::int64_t> numbers;
    forEachNumber(s, [&](const auto& value) { numbers.push_back(asNumber(value)); });
    return numbers;
}

void putNumbers(Snapshot& s, const std::vector<std::int64_t>& numbers) {
    std::size_t i = 0;
    forEachNumber(s, [&](auto& value) {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_enum_v<T>) {
            value = static_cast<T>(static_cast<std::underlying_type_t<T>>(numbers[i]));
        } else {
            value = static_cast<T>(numbers[i]);
        }
        ++i;
    });
}

enum Record : std::int64_t {
    kNumber = 1, // index, before, after
    kCells = 2,  // target, count, then per cell: index step, before, after
    kField = 3,  // target, whole field before, whole field after
    kWhole = 4,  // target, whole member before, whole member after (a queue, a falling pair)
};

// A record's target: the holder, and the member's place in the description. Every target stays
// below 64, one byte in the records.
constexpr int kMembersPerHolder = 16;

constexpr int targetOf(int holder, int member) {
    return holder * kMembersPerHolder + member;
}

// Calls f with the member of `snapshot` that `target` names.
template <class S, class F> void forTarget(S& snapshot, int target, F&& f) {
    if (target < 0 || target >= kHolders * kMembersPerHolder) {
        throw std::logic_error("history record for no member");
    }
    forHolder(snapshot, target / kMembersPerHolder, [&](auto& holder) {
        int member = 0;
        visitMembers(
            [&](auto& m) {
                if (member++ == target % kMembersPerHolder) {
                    f(m);
                }
            },
            holder);
    });
}

// A record that holds one member whole, before and after.
template <typename Part>
void putWhole(Writer& w, Record kind, int target, const Part& before, const Part& after) {
    w.number(kind);
    w.number(target);
    put(w, before);
    put(w, after);
}

bool sameShape(const FieldCells& a, const FieldCells& b) {
    return a.width == b.width && a.height == b.height && a.limboRows == b.limboRows &&
           a.cells.size() == b.cells.size();
}

void diffCells(Writer& w, int target, const FieldCells& a, const FieldCells& b) {
    const std::size_t n = a.cells.size();
    std::size_t count = 0;
    for (std::size_t i = 0; i < n; ++i) {
        count += a.cells[i] == b.cells[i] ? 0 : 1;
    }
    if (count == 0) {
        return;
    }
    // Most changed cells take a byte per word: an index step and two cells of five words.
    w.reserve(count * 12 + 16);
    w.number(kCells);
    w.number(target);
    w.number(static_cast<std::int64_t>(count));
    std::size_t last = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!(a.cells[i] == b.cells[i])) {
            w.number(static_cast<std::int64_t>(i - last));
            last = i;
            put(w, a.cells[i]);
            put(w, b.cells[i]);
        }
    }
}

StoreState storeOf(const Snapshot& s) {
    return {s.tempSaves, s.tempCursor, s.tempIdText};
}

std::size_t storeBytes(const StoreState& store) {
    std::size_t n = sizeof(StoreState) + store.idText.capacity();
    for (const StoredPosition& save : store.saves) {
        n += sizeof(StoredPosition);
        for (const PlayerState<FieldCells>& player : save.players) {
            n += player.field.cells.capacity() * sizeof(Cell);
            n += (player.sequence.queue.size() + player.sequence.held.size()) * sizeof(Pair);
            n += player.sequence.origins.size() * sizeof(GeneratorState);
        }
    }
    return n;
}

} // namespace

std::size_t Delta::bytes() const {
    std::size_t n = sizeof(Delta) + records.capacity();
    if (storeBefore) {
        n += storeBytes(*storeBefore) + storeBytes(*storeAfter);
    }
    return n;
}

namespace {

// The records of the members of one holder that are not single numbers: the cells that differ,
// or the whole member.
template <class State>
void diffMembers(Writer& w, int holder, const State& before, const State& after) {
    int member = 0;
    visitMembers(
        [&](const auto& was, const auto& now) {
            using T = std::remove_cvref_t<decltype(was)>;
            const int target = targetOf(holder, member++);
            if constexpr (kIsNumberMember<T>) {
                return; // among the numbers
            } else if constexpr (std::is_same_v<T, FieldCells>) {
                if (sameShape(was, now)) {
                    diffCells(w, target, was, now);
                } else {
                    putWhole(w, kField, target, was, now);
                }
            } else if (!(was == now)) {
                putWhole(w, kWhole, target, was, now);
            }
        },
        before, after);
}

void writeChanges(std::vector<std::uint8_t>& out, const Snapshot& before, const Snapshot& after) {
    Writer w(out);
    const std::vector<std::int64_t> a = numbersOf(before);
    const std::vector<std::int64_t> b = numbersOf(after);
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            w.number(kNumber);
            w.number(static_cast<std::int64_t>(i));
            w.number(a[i]);
            w.number(b[i]);
        }
    }
    for (std::size_t p = 0; p < kPlayerCount; ++p) {
        diffMembers(w, static_cast<int>(p), before.players[p], after.players[p]);
    }
    for (std::size_t p = 0; p < kPlayerCount; ++p) {
        diffMembers(w, kPlayerCount + static_cast<int>(p), before.turnBackup.players[p],
                    after.turnBackup.players[p]);
    }
}

} // namespace

Delta diff(const Snapshot& before, const Snapshot& after) {
    Delta delta;
    writeChanges(delta.records, before, after);
    delta.records.shrink_to_fit();
    if (before.hasStore && after.hasStore) {
        StoreState sa = storeOf(before);
        StoreState sb = storeOf(after);
        if (!(sa == sb)) {
            delta.storeBefore = std::make_shared<const StoreState>(std::move(sa));
            delta.storeAfter = std::make_shared<const StoreState>(std::move(sb));
        }
    }
    return delta;
}

namespace {

void applyCells(Reader& r, FieldCells& field, bool after) {
    std::size_t count = 0;
    r.into(count);
    std::size_t at = 0;
    for (std::size_t n = 0; n < count; ++n) {
        std::size_t step = 0;
        r.into(step);
        at += step;
        Cell was;
        Cell now;
        get(r, was);
        get(r, now);
        // A field of another size came from outside the steps; its cells are not ours.
        if (at < field.cells.size()) {
            field.cells[at] = after ? now : was;
        }
    }
}

} // namespace

void apply(Snapshot& snapshot, const Delta& delta, Side side) {
    const bool after = side == Side::After;
    std::vector<std::int64_t> numbers = numbersOf(snapshot);
    Reader r(delta.records);
    while (!r.done()) {
        const std::int64_t kind = r.number();
        switch (kind) {
        case kNumber: {
            std::size_t i = 0;
            r.into(i);
            const std::int64_t was = r.number();
            const std::int64_t now = r.number();
            numbers.at(i) = after ? now : was;
            break;
        }
        case kCells: {
            int target = 0;
            r.into(target);
            forTarget(snapshot, target, [&](auto& member) {
                if constexpr (std::is_same_v<std::remove_cvref_t<decltype(member)>, FieldCells>) {
                    applyCells(r, member, after);
                } else {
                    throw std::logic_error("history record of cells for no field");
                }
            });
            break;
        }
        case kField:
        case kWhole: {
            int target = 0;
            r.into(target);
            forTarget(snapshot, target, [&](auto& member) {
                using T = std::remove_cvref_t<decltype(member)>;
                if constexpr (kIsNumberMember<T>) {
                    throw std::logic_error("history record of a whole number");
                } else {
                    T was;
                    T now;
                    get(r, was);
                    get(r, now);
                    member = after ? std::move(now) : std::move(was);
                }
            });
            break;
        }
        default:
            throw std::logic_error("unknown history record");
        }
    }
    putNumbers(snapshot, numbers);
    if (delta.storeBefore && snapshot.hasStore) {
        const StoreState& store = after ? *delta.storeAfter : *delta.storeBefore;
        snapshot.tempSaves = store.saves;
        snapshot.tempCursor = store.cursor;
        snapshot.tempIdText = store.idText;
    }
}

} // namespace peterin
