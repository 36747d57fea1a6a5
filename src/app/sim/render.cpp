// peterin-sim render: the program's own drawing, on Qt's offscreen platform.
#include "app/sim/commands.h"
#include "records/record_folder.h"
#include "records/replay.h"
#include "render/picture_files.h"
#include "storage/atomic_write.h"

#include <array>
#include <filesystem>

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

namespace {

// The picture into the output file, or onto standard output for "-", as tools do.
Outcome written(const std::string& output, const std::optional<std::string>& bytes,
                const std::string& whyNot) {
    if (!bytes) {
        return {1, "", "peterin-sim: cannot write " + output + ": " + whyNot + "\n"};
    }
    if (output == "-") {
        return {0, *bytes, ""};
    }
    if (const auto error = replaceFile(output, *bytes)) {
        return {1, "", "peterin-sim: cannot write " + output + ": " + *error + "\n"};
    }
    return {};
}

// Turns `from` to `to` of a record as the views showed them, tick by tick, both players' views
// in battle.
Outcome renderRecord(const RenderCommand& command) {
    std::unique_ptr<Replay> checked;
    if (Outcome failed = checkedReplay(command.file, checked); failed.status != 0) {
        return failed;
    }
    Replay& replay = *checked;
    const int turns = static_cast<int>(replay.turns().size());
    const int first = command.from.value_or(1);
    const int last = command.to.value_or(turns);
    if (first > last || last > turns) {
        return {2, "",
                "peterin-sim: the record has turns 1 to " + std::to_string(turns) +
                    "; --from and --to must lie between them, in order\n"};
    }
    replay.seekTurn(first - 1);
    const Game& game = replay.game();
    const int shown = shownPlayerCount(game);
    std::array<TurnRecorder, kPlayerCount> recorders;
    for (int p = 0; p < shown; ++p) {
        recorders[static_cast<std::size_t>(p)].begin(game, p);
    }
    while (replay.turnsPlayed() < last && replay.stepTick()) {
        for (int p = 0; p < shown; ++p) {
            recorders[static_cast<std::size_t>(p)].afterTick(game, p);
        }
    }
    LastTurns drawn{};
    for (int p = 0; p < shown; ++p) {
        recorders[static_cast<std::size_t>(p)].finish();
        drawn[static_cast<std::size_t>(p)] = recorders[static_cast<std::size_t>(p)].lastTurn();
    }
    std::string error;
    const auto bytes = encodeTurnGif(game, drawn, error);
    return written(command.output, bytes, error);
}

bool isRecordFile(const std::string& file) {
    return std::filesystem::path(file).extension() == kRecordExtension;
}

} // namespace

Outcome runRender(const RenderCommand& command) {
    OffscreenApplication application;
    if (isRecordFile(command.file)) {
        if (!command.gif) {
            return {2, "", "peterin-sim: a record is drawn as a GIF: give --gif OUT.gif\n"};
        }
        return renderRecord(command);
    }
    if (command.from || command.to) {
        return {2, "", "peterin-sim: --from and --to choose the turns of a game record\n"};
    }
    Headless headless;
    Outcome outcome = startGame(headless, command.file, command.ini);
    if (outcome.status != 0) {
        return outcome;
    }
    const Game& game = headless.game();
    if (!command.gif) {
        const Outcome out =
            written(command.output, encodeViewsPng(game), "the picture could not be encoded");
        return out.status != 0 ? out : Outcome{0, outcome.out + out.out, outcome.err};
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
        std::string error;
        const auto bytes = encodeTurnGif(game, {recorder.lastTurn(), nullptr}, error);
        const Outcome out = written(command.output, bytes, error);
        return out.status != 0 ? out : Outcome{0, outcome.out + out.out, outcome.err};
    }
}

} // namespace peterin::sim
