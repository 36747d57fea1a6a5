// peterin-sim render: the program's own drawing, on Qt's offscreen platform.
#include "app/sim/commands.h"
#include "play/commands.h"
#include "play/turn_cycle.h"
#include "render/picture_files.h"

#include <QGuiApplication>

namespace peterin::sim {

namespace {

// The window's timer start and stop also begin and end the recording of 1P's turn.
class RecordingUi : public HeadlessUi {
  public:
    Game* game = nullptr;
    TurnRecorder recorder;

    void startTimer(int player) override {
        HeadlessUi::startTimer(player);
        if (player == 0 && game != nullptr)
            recorder.begin(*game, 0);
    }
};

// Fonts need a GUI application; the offscreen platform needs no display.
class OffscreenApplication {
  public:
    // Qt's own notes (a missing runtime folder, say) are not the tool's errors; standard error
    // keeps one line per problem.
    OffscreenApplication() : quiet_(qInstallMessageHandler(ignore)), app_(argc_, argv_) {}
    ~OffscreenApplication() { qInstallMessageHandler(quiet_); }

  private:
    static void ignore(QtMsgType, const QMessageLogContext&, const QString&) {}

    QtMessageHandler quiet_;
    char name_[12] = "peterin-sim";
    char option_[10] = "-platform";
    char platform_[10] = "offscreen";
    char* argv_[4] = {name_, option_, platform_, nullptr};
    int argc_ = 3;
    QGuiApplication app_;
};

} // namespace

Outcome runRender(const RenderCommand& command) {
    OffscreenApplication application;
    RecordingUi ui;
    Game game(ui);
    Outcome outcome = startGame(game, ui, command.file, command.ini);
    if (outcome.status != 0) {
        return outcome;
    }
    std::optional<std::string> error;
    if (!command.gif) {
        error = saveViewsPng(game, command.output);
    } else {
        // The turn resolve runs, recorded tick by tick as the window records it.
        ui.game = &game;
        changeMode(game, Mode::Play);
        ui.recorder.retakeFirst(game, 0);
        long ticks = 0;
        while (ui.timerRunning[0] && game.players[0].phase != Phase::Idle) {
            if (ticks == kMaxTicks) {
                return {1, "",
                        "peterin-sim: the field did not settle within " +
                            std::to_string(kMaxTicks) + " ticks\n"};
            }
            gameTick(game, 0);
            ++ticks;
            ui.recorder.afterTick(game, 0);
        }
        ui.recorder.finish();
        error = saveTurnGif(game, {ui.recorder.lastTurn(), nullptr}, command.output);
    }
    if (error) {
        return {1, "", "peterin-sim: cannot write " + command.output + ": " + *error + "\n"};
    }
    return outcome;
}

} // namespace peterin::sim
