#pragma once

#include <cstdint>
#include <string>

#include "settings/message.h"

namespace peterin {

// Status-bar parts: 2 x player shows the chain count, 2 x player + 1 the score.
constexpr int chainStatusPart(int player) {
    return 2 * player;
}
constexpr int scoreStatusPart(int player) {
    return 2 * player + 1;
}

// Everything the game core asks of the windowing side. The core never draws, times or shows
// anything itself, so it runs headless and tests drive it tick by tick through a recorder.
class UiPort {
  public:
    virtual ~UiPort() = default;

    // A busy player's turn advances one step per 10 ms tick; each tick calls gameTick.
    // Starting a running timer restarts it.
    virtual void startTimer(int player) = 0;
    // The player went idle or the mode changed; its ticks must stop.
    virtual void stopTimer(int player) = 0;

    // The player's cells, falling pair or phase changed.
    virtual void repaintField(int player) = 0;
    // The player's queue of coming pairs changed.
    virtual void repaintNext(int player) = 0;
    // The nuisance announced to the player changed.
    virtual void repaintWarning(int player) = 0;
    // The background colour follows the temp-save cursor; this also repaints every child view.
    virtual void repaintMain() = 0;

    // A status-bar part gets new text (UTF-8; a leading "\t\t" right-aligns it).
    virtual void setStatusText(int part, const std::string& text) = 0;
    // Something the user must be told in a modal box.
    virtual void showMessage(const Message& message) = 0;
    // The tool window shows the random position of the pair loaded last.
    virtual void showRandomPosition(std::uint32_t position) = 0;
    // The tool window's ID box shows "MAIN" or the ID of the stored position on screen.
    virtual void showTempId(const std::string& text) = 0;
    // The field size or the number of next pairs in the settings changed: lay the windows out
    // again (and repaint them).
    virtual void relayout() = 0;
};

// Ignores every request: the base for headless users (the command-line tool, benchmarks, fuzzing,
// tests) that override only what they watch.
class NullUiPort : public UiPort {
  public:
    void startTimer(int) override {}
    void stopTimer(int) override {}
    void repaintField(int) override {}
    void repaintNext(int) override {}
    void repaintWarning(int) override {}
    void repaintMain() override {}
    void setStatusText(int, const std::string&) override {}
    void showMessage(const Message&) override {}
    void showRandomPosition(std::uint32_t) override {}
    void showTempId(const std::string&) override {}
    void relayout() override {}
};

} // namespace peterin
