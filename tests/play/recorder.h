#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "play/game.h"
#include "play/game_events.h"
#include "rules/field.h"

namespace peterin::testing {

// Records what the core tells; the timers are flags that the tests fire by calling gameTick
// themselves. The status parts hold the texts the window would show.
struct Recorder : GameEvents {
    std::array<bool, kPlayerCount> timerRunning{};
    std::array<int, kPlayerCount> fieldRepaints{};
    std::array<int, kPlayerCount> nextRepaints{};
    std::array<int, kPlayerCount> warningRepaints{};
    int mainRepaints = 0;
    int relayouts = 0;
    int modeSizeDues = 0;
    std::array<std::string, 4> status{"\t\t0連鎖", "\t\t0", "\t\t0連鎖", "\t\t0"};
    std::vector<std::pair<int, std::string>> statusHistory;
    std::vector<Message> messages;
    std::vector<std::uint32_t> randomPositions;
    std::string tempId = "MAIN";

    void startTimer(int player) override {
        timerRunning.at(static_cast<std::size_t>(player)) = true;
    }
    void stopTimer(int player) override {
        timerRunning.at(static_cast<std::size_t>(player)) = false;
    }
    void fieldChanged(int player) override { ++fieldRepaints.at(static_cast<std::size_t>(player)); }
    void queueChanged(int player) override { ++nextRepaints.at(static_cast<std::size_t>(player)); }
    void warningChanged(int player) override {
        ++warningRepaints.at(static_cast<std::size_t>(player));
    }
    void allChanged() override { ++mainRepaints; }
    void pairActed(int, PairAction) override {}
    void nuisanceSent(int, std::int32_t) override {}
    void nuisanceFell(int, std::int32_t) override {}
    void statusChanged(int player, ShownStatus shown) override {
        const auto part = static_cast<std::size_t>(2 * player);
        status.at(part) = "\t\t" + std::to_string(shown.chainCount) + "連鎖";
        status.at(part + 1) = "\t\t" + std::to_string(shown.score);
        statusHistory.emplace_back(2 * player, status[part]);
        statusHistory.emplace_back(2 * player + 1, status[part + 1]);
    }
    void tell(const Message& message) override { messages.push_back(message); }
    void randomPositionChanged(std::uint32_t position) override {
        randomPositions.push_back(position);
    }
    void tempIdChanged(const std::string& text) override { tempId = text; }
    void sizesChanged() override { ++relayouts; }
    void modeSizeDue() override { ++modeSizeDues; }
};

// A game with its recorder, started as the program starts it (time 0 discards nothing).
struct Harness {
    Recorder ui;
    Game game{ui};

    explicit Harness(std::int32_t width = 6, std::int32_t height = 12) {
        game.settings.fieldWidth = width;
        game.settings.fieldHeight = height;
        initGame(game, 0);
    }

    Player& player(int p) { return game.players[static_cast<std::size_t>(p)]; }
    Field& field(int p) { return player(p).field; }
    bool running(int p) const { return ui.timerRunning[static_cast<std::size_t>(p)]; }

    // The key code bound to `action` in key group `group`.
    std::uint8_t key(PairAction action, int group = kKeyGroupSolo) const {
        return game.settings.keys[static_cast<std::size_t>(pairKeyIndex(action, group))];
    }

    // Fires every running timer once, 1P first; returns whether any ran.
    bool tickAll();
    // Fires 1P's timer (or p's) until it stops; returns the ticks fired.
    int runUntilStopped(int p = 0, int limit = 100000);
    // Fires the running timers until none runs; returns the rounds fired.
    int runAll(int limit = 100000);
};

// Writes rows of letters (as in position files, '-' empty) so that the last one lands in the
// bottom row; each row string starts at column 0.
void paintRows(Field& field, std::initializer_list<const char*> rows);

// How many cells of the visible rows and the LimboArea hold `kind`.
int countKind(const Field& field, CellKind kind);

} // namespace peterin::testing
