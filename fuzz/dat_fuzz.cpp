// Feeds arbitrary bytes to the position-file reader as a file's contents, then writes what was
// read with every section and reads that back, checking that nothing crashes, that the game
// stays consistent, and that a written file reads back to exactly what was written.
#include "files/dat_file.h"
#include "files/text_input.h"
#include "play/game.h"
#include "scratch_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using namespace peterin;

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

class SilentUi : public NullGameEvents {
  public:
    int messages = 0;
    void tell(const Message&) override { ++messages; }
};

ReadOutcome read(Game& game, const std::string& text) {
    std::stringbuf source(text);
    TextModeBuf buf(source);
    return readFile(game, buf);
}

void checkConsistent(const Game& game) {
    const Settings& s = game.settings;
    const auto queueLength = static_cast<std::size_t>(s.nextCount + 1);
    check(s.nextCount >= 0 && s.nextCount <= 250, "next count in range");
    check(s.cellWidth >= 1 && s.cellWidth <= s.maxCellSize, "blob width in range");
    for (const Player& player : game.players) {
        check(player.field.width == s.fieldWidth && player.field.height == s.fieldHeight,
              "live fields have the configured size");
        check(player.field.limboRows == 1, "live fields keep their LimboArea");
        check(player.sequence.queue.size() == queueLength,
              "live queues have the configured length");
        check(player.field.scoreRecord == &player.scoreRecord, "fields stay linked");
    }
    check(game.tempCursor == kLivePosition, "the live position is shown after a read");
    for (const TempSave& save : game.tempSaves) {
        check(save.players[0].field.width == save.players[1].field.width &&
                  save.players[0].field.height == save.players[1].field.height,
              "both fields of a stored position have one size");
        check(save.players[0].field.width >= 1 && save.players[0].field.limboRows == 1,
              "stored fields are usable");
        for (const auto& stored : save.players) {
            check(stored.sequence.queue.size() == queueLength,
                  "stored queues have the configured length");
        }
    }
}

const ScratchFile kDiskFile("input.dat");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SilentUi ui;
    Game game(ui);
    initGame(game, 0);
    const std::string text(reinterpret_cast<const char*>(data), size);
    // One input in eight meets bounds raised by hand in 設定.ini, where a file can ask for more
    // memory than the ceiling allows and must be refused whole.
    if (size % 8 == 1) {
        game.settings.maxFieldWidth = game.settings.maxFieldHeight = 100000;
    }
    WriteOptions all;
    all.bothPlayers = all.next = all.tempSaves = all.nextCounts = all.blobSize = true;
    const std::string before = formatFile(game, all);
    const Settings settingsBefore = game.settings;

    // One input in three goes through a file on disk, as the open command reads it, and the
    // round trip below goes through the disk too.
    const bool onDisk = size % 3 == 0;
    ReadReport first;
    if (onDisk) {
        std::ofstream(kDiskFile.path(), std::ios::binary | std::ios::trunc) << text;
        check(!whyUnreadable(kDiskFile.path()), "a file just written can be opened");
        first = readFile(game, kDiskFile.path()).report;
        check(earlyStopMessage(kDiskFile.path(), first).has_value() ==
                  (!first.complete && !first.stopReason.empty()),
              "a read that stopped early, and only that, is told");
    } else {
        first = read(game, text).report;
    }
    checkConsistent(game);
    if (first.stopReason.starts_with("refused")) {
        check(formatFile(game, all) == before && game.settings == settingsBefore,
              "a refused file changes nothing");
    }

    const std::string written = formatFile(game, all);

    SilentUi ui2;
    Game again(ui2);
    again.settings.maxFieldWidth = game.settings.maxFieldWidth;
    again.settings.maxFieldHeight = game.settings.maxFieldHeight;
    initGame(again, 0);
    ReadOutcome reread;
    if (onDisk) {
        check(writeFile(game, kDiskFile.path(), all), "a file can be written");
        reread = readFile(again, kDiskFile.path());
        check(reread.opened, "a written file can be read");
    } else {
        reread = read(again, written);
    }
    check(reread.report.complete, "a written file reads to its end");
    check(ui2.messages == 0 && reread.messages.empty(), "a written file reads without messages");
    checkConsistent(again);
    check(formatFile(again, all) == written, "a written file reads back to what was written");
    return 0;
}
