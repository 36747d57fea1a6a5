// peterin-sim render: the program's own drawing, on Qt's offscreen platform.
#include "app/sim/commands.h"
#include "render/picture_files.h"

#include <QGuiApplication>

namespace peterin::sim {

namespace {

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
    Headless headless;
    Outcome outcome = startGame(headless, command.file, command.ini);
    if (outcome.status != 0) {
        return outcome;
    }
    const Game& game = headless.game();
    std::optional<std::string> error;
    if (!command.gif) {
        error = saveViewsPng(game, command.output);
    } else {
        // The turn resolve runs, recorded tick by tick as the window records it: from the start
        // of 1P's timer through every tick.
        TurnRecorder recorder;
        headless.watch = [&](const Changes& changes) {
            for (const TimerChange& timer : changes.timers) {
                if (timer.player == 0 && timer.running)
                    recorder.begin(game, 0);
            }
            if (changes.ticked == 0)
                recorder.afterTick(game, 0);
        };
        headless.session.apply(SetMode{Mode::Play});
        recorder.retakeFirst(game, 0);
        long ticks = 0;
        if (!runTurn(headless, ticks))
            return notSettled();
        recorder.finish();
        error = saveTurnGif(game, {recorder.lastTurn(), nullptr}, command.output);
    }
    if (error) {
        return {1, "", "peterin-sim: cannot write " + command.output + ": " + *error + "\n"};
    }
    return outcome;
}

} // namespace peterin::sim
