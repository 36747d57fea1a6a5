// Start-up as the program runs it (settings, game, main window) up to the first painted frame of
// 1P's field view. Run under the display the program uses (xvfb-run for a virtual one).
#include "play/game.h"
#include "ui/main_window.h"
#include "ui/turn_timers.h"

#include <QApplication>
#include <QEventLoop>

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

using namespace peterin;

namespace {

// Ends the loop when the watched view is painted for the first time.
class FirstPaint : public QObject {
  public:
    explicit FirstPaint(QEventLoop& loop) : loop_(loop) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            loop_.quit();
        return false;
    }

  private:
    QEventLoop& loop_;
};

void BM_StartupToFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        TurnTimers timers;
        Session session(timers, steadyNs);
        if (const auto message = LoadSettings(session.game().settings))
            state.SkipWithError(message->text.c_str());
        session.start(0);
        MainWindow window(session, timers);
        QEventLoop loop;
        FirstPaint watcher(loop);
        window.fieldView(0)->installEventFilter(&watcher);
        window.show();
        loop.exec();
        // The paint handler runs right after the filter; let it finish.
        QCoreApplication::processEvents();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    }
}

// The first run pays for loading fonts and styles, as the program's single start does; the
// later ones show the cost of the window itself.
BENCHMARK(BM_StartupToFirstFrame)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupToFirstFrame)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // The settings file is looked for in the current directory; start where there is none.
    const auto scratch = std::filesystem::temp_directory_path() / "peterin-bench-startup";
    std::filesystem::create_directories(scratch);
    std::filesystem::current_path(scratch);
    const auto begin = std::chrono::steady_clock::now();
    QApplication app(argc, argv);
    const auto made = std::chrono::steady_clock::now();
    benchmark::Initialize(&argc, argv);
    benchmark::AddCustomContext(
        "application_ms",
        std::to_string(std::chrono::duration<double, std::milli>(made - begin).count()));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
