#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "rules/field.h"
#include "session/session.h"

namespace peterin::testing {

// Timers that only run when the test fires them.
struct ManualTimers : TickTimers {
    void startTicking(int, int) override {}
    void stopTicking(int) override {}
};

// Keeps every command with the tick it came at.
struct CommandLog : CommandObserver {
    std::vector<std::pair<std::size_t, std::uint64_t>> seen; // variant index, tick
    void applied(const Command& command, std::uint64_t tick) override {
        seen.emplace_back(command.index(), tick);
    }
};

// A session driven as the window drives it, with what it reported kept.
struct Driven {
    ManualTimers timers;
    Session session{timers, [] { return std::int64_t{0}; }};
    std::vector<Changes> reports;
    CommandLog log;

    Driven() {
        session.start(0);
        session.setView([this](const Changes& changes) { reports.push_back(changes); });
        session.addObserver(&log);
    }
    ~Driven() { session.removeObserver(&log); }

    const Game& game() const { return session.game(); }
    std::uint8_t key(int index) const {
        return game().settings.keys[static_cast<std::size_t>(index)];
    }
    std::uint8_t pairKey(PairAction action, int group = kKeyGroupSolo) const {
        return key(pairKeyIndex(action, group));
    }
    // Every timer the game wants fires, 1P first, until none does.
    void settle() {
        for (int round = 0; round < 100000; ++round) {
            bool any = false;
            for (int p = 0; p < kPlayerCount; ++p) {
                if (session.playback().timerWanted(p)) {
                    session.timeout(p);
                    any = true;
                }
            }
            if (!any)
                return;
        }
        FAIL() << "the turns never end";
    }
    // A left-button stroke over bottom-row cells of 1P's field, as the field view reports it.
    void stroke(std::initializer_list<std::int32_t> columns) {
        const Settings& s = game().settings;
        const int bands = (s.showLimbo ? 1 : 0) + (s.showHeaven ? 1 : 0);
        const auto y = static_cast<std::uint16_t>((s.fieldHeight - 1 + bands) * s.cellHeight + 1);
        const auto x = [&](std::int32_t column) {
            return static_cast<std::uint16_t>(column * s.cellWidth + 1);
        };
        session.pointerMove(0, x(*columns.begin()), y, false);
        session.strokeBegin();
        session.pointerPress(0, true);
        for (const std::int32_t column : columns)
            session.pointerMove(0, x(column), y, true);
        session.strokeEnd();
    }
    CellKind bottom(int player, std::int32_t column) const {
        const Field& field = game().players[static_cast<std::size_t>(player)].field;
        return getCell(field, column, field.height - 1);
    }
};

} // namespace peterin::testing
