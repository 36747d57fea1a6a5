#include "analysis/held_chain.h"

#include <algorithm>

#include "analysis/bit_field.h"

namespace peterin::analysis {

std::optional<HeldChain> heldChain(const Field& field, const ChainRules& rules,
                                   const std::vector<int>& colours) {
    const std::optional<BitField> start = BitField::from(field, rules);
    if (!start) {
        return std::nullopt;
    }
    std::int32_t byOne = 0;
    std::int32_t byTwo = 0;
    for (std::int32_t x = 0; x < start->width(); ++x) {
        const std::optional<std::int32_t> rest = start->restingRow(x);
        if (!rest || *rest < 0) {
            continue; // a blob in the LimboArea connects nothing
        }
        for (const int colour : colours) {
            if (colour < 1 || colour > 5) {
                continue;
            }
            const auto kind = static_cast<CellKind>(colour);
            BitField one = *start;
            one.put(x, *rest, kind);
            byOne = std::max(byOne, one.resolve().chains);
            if (*rest >= 1) {
                BitField two = *start;
                two.put(x, *rest, kind);
                two.put(x, *rest - 1, kind);
                byTwo = std::max(byTwo, two.resolve().chains);
            }
        }
    }
    if (byTwo > byOne) {
        return HeldChain{byTwo, 2};
    }
    return HeldChain{byOne, byOne > 0 ? 1 : 0};
}

} // namespace peterin::analysis
