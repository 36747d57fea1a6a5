#include "files/dat_file.h"
#include "play/commands.h"
#include "play/turn_cycle.h"
#include "render/picture_files.h"
#include "render/views_picture.h"
#include "rules/field.h"
#include "run_process.h"
#include "running_program.h"
#include "settings/settings.h"
#include "ui/file_chooser.h"
#include "ui/picture_menu.h"

#include <gif_lib.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <vector>

using namespace peterin;

namespace {

// Hands out one picture name instead of asking, and counts the questions.
struct PictureChooser : FileChooser {
    QString picture;
    QStringList asked;

    QString openName(QWidget*) override { return {}; }
    QString saveName(QWidget*) override { return {}; }
    QString pictureName(QWidget*, const QString& suffix) override {
        asked << suffix;
        return picture;
    }
};

// Closes every message box that opens, noting its caption and text.
class MessageLog {
  public:
    QStringList texts;

    MessageLog() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->windowTitle() + "|" + box->text();
                box->reject();
            }
        });
        timer_.start();
    }

  private:
    QTimer timer_;
};

struct Program : RunningProgram {
    PictureChooser* chooser = nullptr;
    PictureMenu* menu = nullptr;

    explicit Program(const Settings& settings) : RunningProgram(settings) {
        auto fake = std::make_unique<PictureChooser>();
        chooser = fake.get();
        window->setFileChooser(std::move(fake));
        menu = window->findChild<PictureMenu*>();
    }
};

// Every cell kind in the visible rows and both bands, a stacked pair of colours, and the
// nuisance announced in every symbol.
void fillWithEveryKind(Game& game, int player) {
    Field& field = game.players[static_cast<std::size_t>(player)].field;
    for (int kind = 0; kind < kCellKindCount; ++kind) {
        setCell(field, kind % 6, 11 - kind / 6, static_cast<CellKind>(kind));
        setCell(field, kind % 6, 9 - kind / 6, static_cast<CellKind>((kind + 4) % kCellKindCount));
    }
    setCell(field, 1, -1, CellKind::Green);
    setCell(field, 2, -2, CellKind::Iron);
    game.players[static_cast<std::size_t>(player)].pendingNuisance = 720 + 360 + 180 + 30 + 6 + 1;
}

// The frames of a GIF as shown: each drawn over the picture before, with its delay.
struct Frame {
    QImage image;
    int delay;
};

std::vector<Frame> decodeGif(const QString& path) {
    std::vector<Frame> frames;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(path).constData(), &error);
    if (gif == nullptr)
        return frames;
    if (DGifSlurp(gif) == GIF_OK) {
        QImage canvas(gif->SWidth, gif->SHeight, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& image = gif->SavedImages[i];
            const GifImageDesc& d = image.ImageDesc;
            const ColorMapObject* map = d.ColorMap != nullptr ? d.ColorMap : gif->SColorMap;
            GraphicsControlBlock control{};
            DGifSavedExtensionToGCB(gif, i, &control);
            for (int y = 0; y < d.Height; ++y) {
                for (int x = 0; x < d.Width; ++x) {
                    const int index = image.RasterBits[y * d.Width + x];
                    if (index == control.TransparentColor)
                        continue;
                    const GifColorType c = map->Colors[index];
                    canvas.setPixel(d.Left + x, d.Top + y, qRgb(c.Red, c.Green, c.Blue));
                }
            }
            frames.push_back({canvas.copy(), control.DelayTime});
        }
    }
    DGifCloseFile(gif, &error);
    return frames;
}

// Stands in for the window's timers.
struct TimerFlags : NullGameEvents {
    bool running = false;
    void startTimer(int player) override { running = running || player == 0; }
    void stopTimer(int player) override { running = running && player != 0; }
};

// The drop key of the default settings.
constexpr std::uint8_t kDropKey = 0x28;

// Runs 1P's turn without any window until its timer stops.
int runTurn(Game& game, const TimerFlags& ui, std::vector<Frame>* frames) {
    int ticks = 0;
    while (ui.running) {
        gameTick(game, 0);
        ++ticks;
        if (frames == nullptr)
            continue;
        ++frames->back().delay;
        QImage now = viewsImage(game);
        if (now != frames->back().image)
            frames->push_back({now, 0});
    }
    return ticks;
}

// What a player sees of 1P's turn after reading `file` and entering play mode (or, with
// `drop`, of the turn of the first pair dropped after that), tick by tick, driven without any
// window: each distinct picture with the ticks it stays.
std::vector<Frame> pictureOfEveryTick(const QString& file, bool drop, int& ticks) {
    TimerFlags ui;
    Game game(ui);
    initGame(game, 0);
    readFile(game, QFile::encodeName(file).toStdString());
    changeMode(game, Mode::Play);
    if (drop) {
        runTurn(game, ui, nullptr);
        onKeyDown(game, kDropKey);
    }
    std::vector<Frame> frames{{viewsImage(game), 0}};
    ticks = runTurn(game, ui, &frames);
    frames.back().delay = 100;
    return frames;
}

QImage readPng(const QString& path) {
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

} // namespace

class PictureFilesTest : public QObject {
    Q_OBJECT

  private slots:
    void thePictureIsTheViewsPixelForPixel_data() {
        QTest::addColumn<bool>("bands");
        QTest::addColumn<bool>("battle");
        QTest::newRow("every kind, bands shown") << true << false;
        QTest::newRow("every kind, bands hidden") << false << false;
        QTest::newRow("battle") << true << true;
    }
    void thePictureIsTheViewsPixelForPixel() {
        QFETCH(bool, bands);
        QFETCH(bool, battle);
        QTemporaryDir dir;
        Settings settings;
        settings.showHeaven = bands ? 1 : 0;
        settings.showLimbo = bands ? 1 : 0;
        Program program(settings);
        MainWindow& w = *program.window;
        if (battle)
            w.session().apply(SetMode{Mode::Battle});
        for (int p = 0; p < kPlayerCount; ++p)
            fillWithEveryKind(program.game, p);

        program.chooser->picture = dir.filePath("views.png");
        program.menu->savePictureAction()->trigger();
        QCOMPARE(program.chooser->asked, QStringList{"png"});
        const QImage png = readPng(dir.filePath("views.png"));

        // The client area as it is on screen; grabbing it paints every view's back buffer.
        const QImage screen =
            w.clientArea()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(png.size(), screen.size());
        QCOMPARE(png, screen);
        for (int p = 0; p < (battle ? 2 : 1); ++p) {
            for (PlayerView* view :
                 {static_cast<PlayerView*>(w.fieldView(p)), static_cast<PlayerView*>(w.nextView(p)),
                  static_cast<PlayerView*>(w.warningView(p))}) {
                QCOMPARE(png.copy(view->geometry()), view->backBuffer());
            }
        }
        if (battle)
            return; // peterin-sim draws what the program shows in edit mode

        // peterin-sim draws the same position, read from a file, as the program shows it.
        const QString file = dir.filePath("position.dat");
        const QString ini = dir.filePath("settings.ini");
        QVERIFY(writeFile(program.game, QFile::encodeName(file).toStdString(),
                          WriteOptions{.map = true, .next = true}));
        QVERIFY(SaveSettings(settings, QFile::encodeName(ini).toStdString()));
        Program reader(settings);
        reader.window->openFile(file);
        reader.chooser->picture = dir.filePath("opened.png");
        reader.menu->savePictureAction()->trigger();
        const auto sim = testing::runProcess(
            PETERIN_SIM, {"render", QFile::encodeName(file).toStdString(), "--png",
                          QFile::encodeName(dir.filePath("sim.png")).toStdString(), "--ini",
                          QFile::encodeName(ini).toStdString()});
        QCOMPARE(sim.status, 0);
        QCOMPARE(QString::fromStdString(sim.err), QString());
        QCOMPARE(readPng(dir.filePath("sim.png")), readPng(dir.filePath("opened.png")));
    }

    void theChainGifShowsEveryTickOfTheLastTurn() {
        QTemporaryDir dir;
        Program program{Settings{}};
        const QString gifPath = dir.filePath("chain.gif");
        program.chooser->picture = gifPath;
        {
            MessageLog log;
            program.menu->saveChainAction()->trigger();
            QCOMPARE(log.texts, QStringList{"？|保存する連鎖がまだありません"});
        }
        QVERIFY(program.chooser->asked.isEmpty());
        QVERIFY(!QFile::exists(gifPath));

        // The turn of entering play mode, then the turn of a dropped pair, which is the last.
        const QString example = PETERIN_EXAMPLES "/three_chain.dat";
        program.window->openFile(example);
        program.window->session().apply(SetMode{Mode::Play});
        QTRY_VERIFY_WITH_TIMEOUT(!program.window->timer(0).isActive(), 20000);
        program.window->session().keyDown(kDropKey);
        QVERIFY(program.window->timer(0).isActive());
        QTRY_VERIFY_WITH_TIMEOUT(!program.window->timer(0).isActive(), 20000);
        program.menu->saveChainAction()->trigger();
        QCOMPARE(program.chooser->asked, QStringList{"gif"});

        // peterin-sim records the turn of entering play mode.
        const auto simGif = dir.filePath("sim.gif");
        const auto sim = testing::runProcess(
            PETERIN_SIM, {"render", example.toStdString(), "--gif", simGif.toStdString()});
        QCOMPARE(sim.status, 0);

        for (const auto& [path, drop] : {std::pair{gifPath, true}, std::pair{simGif, false}}) {
            int ticks = 0;
            const std::vector<Frame> expected = pictureOfEveryTick(example, drop, ticks);
            QVERIFY(expected.size() > 5);
            const std::vector<Frame> frames = decodeGif(path);
            QCOMPARE(frames.size(), expected.size());
            int total = 0;
            for (std::size_t i = 0; i < frames.size(); ++i) {
                QVERIFY2(frames[i].image == expected[i].image, qPrintable(QString::number(i)));
                QCOMPARE(frames[i].delay, expected[i].delay);
                total += frames[i].delay;
            }
            QCOMPARE(total, ticks + 100); // 10 ms a tick, then the one-second hold
        }
    }

    // In battle both players' last turns start together; each shows its last picture once it
    // is over, and a player without a turn shows its views as they are. Outside battle 2P is
    // not shown.
    void theTurnsOfTheShownPlayersRunSideBySide() {
        NullGameEvents quiet;
        Game game(quiet);
        initGame(game, 0);
        const auto turn = [](std::vector<int> ticks) {
            TurnRecording recording;
            recording.ticks = std::move(ticks);
            recording.pictures.resize(recording.ticks.size());
            return recording;
        };
        const TurnRecording first = turn({3, 0});
        const TurnRecording second = turn({1, 4, 0});
        using Pictures = std::array<int, kPlayerCount>;
        struct Case {
            Mode mode;
            LastTurns turns;
            std::vector<int> delays;
            std::vector<Pictures> pictures;
        };
        const Case cases[] = {
            {Mode::Play, {&first, &second}, {3, 100}, {{0, -1}, {1, -1}}},
            {Mode::Battle, {&first, &second}, {1, 2, 2, 100}, {{0, 0}, {0, 1}, {1, 1}, {1, 2}}},
            {Mode::Battle, {nullptr, &second}, {1, 4, 100}, {{-1, 0}, {-1, 1}, {-1, 2}}},
            {Mode::Play, {nullptr, &second}, {}, {}},
        };
        for (const Case& c : cases) {
            game.mode = c.mode;
            const TurnAnimation animation = turnAnimation(game, c.turns);
            QCOMPARE(animation.delays, c.delays);
            QCOMPARE(animation.pictureOf, c.pictures);
        }
    }
};

QTEST_MAIN(PictureFilesTest)
#include "test_picture_files.moc"
