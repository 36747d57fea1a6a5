#include "recorder.h"

#include <cstring>

#include "play/turn_cycle.h"

namespace peterin::testing {

bool Harness::tickAll() {
    bool any = false;
    for (int p = 0; p < kPlayerCount; ++p) {
        if (running(p)) {
            gameTick(game, p);
            any = true;
        }
    }
    return any;
}

int Harness::runUntilStopped(int p, int limit) {
    int ticks = 0;
    while (running(p) && ticks < limit) {
        gameTick(game, p);
        ++ticks;
    }
    return ticks;
}

int Harness::runAll(int limit) {
    int rounds = 0;
    while (rounds < limit && tickAll()) {
        ++rounds;
    }
    return rounds;
}

void paintRows(Field& field, std::initializer_list<const char*> rows) {
    std::int32_t r = field.height - static_cast<std::int32_t>(rows.size());
    for (const char* row : rows) {
        for (std::int32_t x = 0; x < static_cast<std::int32_t>(std::strlen(row)); ++x) {
            const auto kind = kindFromLetter(row[x]);
            setCell(field, x, r, kind.value_or(CellKind::Empty));
        }
        ++r;
    }
}

int countKind(const Field& field, CellKind kind) {
    int n = 0;
    for (std::int32_t x = 0; x < field.width; ++x) {
        for (std::int32_t r = -1; r < field.height; ++r) {
            n += getCell(field, x, r) == kind ? 1 : 0;
        }
    }
    return n;
}

} // namespace peterin::testing
