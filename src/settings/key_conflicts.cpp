#include "settings/key_conflicts.h"

namespace peterin {

namespace {

// The key group of a pair key, or -1 for a system key.
int groupOf(int index) {
    return index < kPairActionCount * kKeyGroupCount ? index % kKeyGroupCount : -1;
}

// Whether two key settings can act on the same press.
bool actTogether(int a, int b) {
    const int ga = groupOf(a);
    const int gb = groupOf(b);
    if (ga < 0 || gb < 0 || ga == gb) {
        return true;
    }
    return ga != kKeyGroupSolo && gb != kKeyGroupSolo; // the two battle players
}

} // namespace

std::array<bool, kKeyCount> keysInConflict(const std::array<std::uint8_t, kKeyCount>& keys) {
    std::array<bool, kKeyCount> conflict{};
    for (int a = 0; a < kKeyCount; ++a) {
        for (int b = a + 1; b < kKeyCount; ++b) {
            const auto ia = static_cast<std::size_t>(a);
            const auto ib = static_cast<std::size_t>(b);
            if (keys[ia] != 0 && keys[ia] == keys[ib] && actTogether(a, b)) {
                conflict[ia] = conflict[ib] = true;
            }
        }
    }
    return conflict;
}

} // namespace peterin
