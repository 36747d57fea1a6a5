#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "history/snapshot.h"

namespace peterin {

// The temporary-save store as a snapshot holds it.
struct StoreState {
    std::vector<StoredPosition> saves;
    std::int32_t cursor = kLivePosition;
    std::string idText;

    bool operator==(const StoreState&) const = default;
};

// What one step changed, as compact records holding the value before and the value after of
// each changed part: single numbers, the cells that differ (or a whole field when its size
// changed), whole pair queues and falling pairs. The store, which only a file read replaces, is
// kept whole. Applying one side touches only the parts the step changed, so what happened
// outside the steps (a pair moved, a position stored) is left as it stands.
struct Delta {
    std::vector<std::uint8_t> records;
    std::shared_ptr<const StoreState> storeBefore;
    std::shared_ptr<const StoreState> storeAfter;

    bool empty() const { return records.empty() && !storeBefore; }
    // The bytes it holds, for the history's memory limit.
    std::size_t bytes() const;
};

// The changes from `before` to `after`. The store is compared only when both hold it.
Delta diff(const Snapshot& before, const Snapshot& after);

// Writes one side of every change into `snapshot`: the values before the step, or after it.
// A snapshot with the store takes the store of that side too.
enum class Side { Before, After };
void apply(Snapshot& snapshot, const Delta& delta, Side side);

} // namespace peterin
