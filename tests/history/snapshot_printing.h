#pragma once

#include <ostream>
#include <string>

#include "history/snapshot.h"

namespace peterin {

// The parts in which two snapshots differ, so that a failed comparison says where.
inline std::string differences(const Snapshot& a, const Snapshot& b) {
    std::string out;
    const auto note = [&](bool same, const std::string& what) {
        if (!same) {
            out += what + " ";
        }
    };
    for (std::size_t p = 0; p < a.players.size(); ++p) {
        const PlayerSnapshot& x = a.players[p];
        const PlayerSnapshot& y = b.players[p];
        const std::string n = std::to_string(p + 1) + "P ";
        note(x.field == y.field, n + "field");
        note(x.tally == y.tally, n + "tally");
        note(x.sequence == y.sequence, n + "queue");
        note(x.fallingPair == y.fallingPair, n + "pair");
        note(x.phase == y.phase && x.countdown == y.countdown, n + "phase");
        note(x.chainCount == y.chainCount && x.score == y.score, n + "score");
        note(x.pendingNuisance == y.pendingNuisance && x.nuisanceRowsLeft == y.nuisanceRowsLeft,
             n + "nuisance");
        note(x.attackState == y.attackState && x.waitingForPartner == y.waitingForPartner,
             n + "battle");
        note(x.shownStatus == y.shownStatus, n + "status");
    }
    note(a.mode == b.mode, "mode");
    note(a.rng == b.rng, "generator");
    note(a.turnBackup == b.turnBackup, "turn-backup");
    note(a.hasStore == b.hasStore && a.tempSaves == b.tempSaves, "store");
    note(a.tempCursor == b.tempCursor && a.tempIdText == b.tempIdText, "cursor");
    note(a.settings == b.settings, "settings");
    return out;
}

inline void PrintTo(const Snapshot& s, std::ostream* os) {
    *os << "snapshot (1P score " << s.players[0].score << ", mode " << static_cast<int>(s.mode)
        << ")";
}

} // namespace peterin
