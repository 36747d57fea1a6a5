#include "files/dat_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "dat_test_support.h"
#include "play/temp_store.h"
#include "sequence/pair_sequence.h"
#include "temp_dir.h"
#include "unprivileged.h"

namespace peterin {
namespace {

std::string rowsText(const std::vector<std::string>& rows) {
    std::string text;
    for (const auto& row : rows) {
        text += row + "\n";
    }
    return text;
}

// 15 rows of a 6 x 12 field with `bottom` as its lowest rows.
std::vector<std::string> field6x12(const std::vector<std::string>& bottom) {
    std::vector<std::string> rows(15 - bottom.size(), "------");
    rows.insert(rows.end(), bottom.begin(), bottom.end());
    return rows;
}

void loadPatternText(Game& game, PairSequence& sequence, const std::string& text) {
    std::stringbuf in(text);
    ASSERT_FALSE(loadPattern(sequence, in, game.rng));
}

// A game that differs from a fresh one in everything a file can hold.
struct RichGame : TestGame {
    RichGame() {
        Settings& s = game.settings;
        s.cellWidth = 32;
        s.cellHeight = 36;
        s.nextCount = 3;
        resizeQueues(game);
        s.nextColumns = 2;
        s.nextRows = 3;
        changeFieldSize(game, 5, 7);
        paint(p1().field, {"R----", "-B---", "--G--", "---YP", "O----", "-M---", "--r--", "RRBBG",
                           "YPOMr", "RBGYP"});
        paint(p2().field, {"-----", "-----", "r----", "-----", "-----", "-----", "-----", "-----",
                           "GGG--", "PPOOM"});
        loadPatternText(game, p1().sequence, "RBGYP\n3a2\n@77RG*?\n");
        loadPatternText(game, p2().sequence, "RG\n4d4a\n@5?*\n");
        advance(p1().sequence);
        advance(p1().sequence);

        for (int i = 0; i < 2; ++i) {
            TempSave& save = game.tempSaves.emplace_back();
            copyLiveInto(game, save);
            setCell(save.players[0].field, i, 6, CellKind::Iron);
            setCell(save.players[1].field, 4 - i, 5, CellKind::Red);
            setPosition(save.players[0].sequence, 1000u + static_cast<std::uint32_t>(i), true);
            setPosition(save.players[1].sequence, 2000u + static_cast<std::uint32_t>(i), true);
        }
    }
};

WriteOptions optionsFromBits(int bits) {
    WriteOptions o;
    o.map = bits & 1;
    o.bothPlayers = bits & 2;
    o.next = bits & 4;
    o.tempSaves = bits & 8;
    o.nextCounts = bits & 16;
    o.blobSize = bits & 32;
    return o;
}

// The first `n` pairs of a queue.
std::vector<Pair> front(const PairSequence& sequence, std::size_t n) {
    return {sequence.queue.begin(),
            sequence.queue.begin() + static_cast<long>(std::min(n, sequence.queue.size()))};
}

void expectSameSequence(const PairSequence& got, const PairSequence& want) {
    EXPECT_EQ(got.pattern.usedColours, want.pattern.usedColours);
    const std::size_t n = std::min(got.queue.size(), want.queue.size());
    EXPECT_EQ(front(got, n), front(want, n));
}

TEST(DatRoundTrip, EveryCombinationOfChoicesReadsBackToTheSameState) {
    RichGame rich;
    for (int bits = 0; bits < 64; ++bits) {
        const WriteOptions o = optionsFromBits(bits);
        SCOPED_TRACE("choices " + std::to_string(bits));
        const std::string text = formatFile(rich.game, o);

        TestGame fresh(12345);
        TestGame target(12345);
        // A store the file must replace, or leave alone.
        target.game.tempSaves.emplace_back();
        copyLiveInto(target.game, target.game.tempSaves.back());
        const ReadReport report = target.read(text);
        ASSERT_TRUE(report.complete) << report.stopReason << " at line " << report.stopLine;
        EXPECT_TRUE(target.ui.messages.empty());

        const Game& got = target.game;
        const Game& want = rich.game;
        if (o.map) {
            EXPECT_TRUE(sameContents(got.players[0].field, want.players[0].field));
            EXPECT_EQ(got.settings.fieldWidth, 5);
            EXPECT_EQ(got.settings.fieldHeight, 7);
        }
        if (o.map && o.bothPlayers) {
            EXPECT_TRUE(sameContents(got.players[1].field, want.players[1].field));
        } else if (!o.map) {
            EXPECT_TRUE(sameContents(got.players[1].field, fresh.game.players[1].field));
        }
        if (o.next) {
            expectSameSequence(got.players[0].sequence, want.players[0].sequence);
        } else if (!o.nextCounts) {
            EXPECT_EQ(got.players[0].sequence, fresh.game.players[0].sequence);
        }
        if (o.next && o.bothPlayers) {
            expectSameSequence(got.players[1].sequence, want.players[1].sequence);
        } else if (!o.nextCounts) {
            EXPECT_EQ(got.players[1].sequence, fresh.game.players[1].sequence);
        }
        const Settings& defaults = fresh.game.settings;
        EXPECT_EQ(got.settings.nextCount, (o.nextCounts ? want : fresh.game).settings.nextCount);
        EXPECT_EQ(got.settings.nextColumns, o.nextCounts ? 2 : defaults.nextColumns);
        EXPECT_EQ(got.settings.cellWidth, o.blobSize ? 32 : defaults.cellWidth);
        EXPECT_EQ(got.settings.cellHeight, o.blobSize ? 36 : defaults.cellHeight);
        for (const Player& player : got.players) {
            EXPECT_EQ(player.sequence.queue.size(),
                      static_cast<std::size_t>(got.settings.nextCount + 1));
        }

        const bool holdsPositions = o.tempSaves && (o.map || o.next);
        ASSERT_EQ(got.tempSaves.size(), holdsPositions ? 2u : 1u);
        EXPECT_EQ(report.storeReplaced, holdsPositions);
        for (std::size_t i = 0; holdsPositions && i < 2; ++i) {
            const TempSave& g = got.tempSaves[i];
            const TempSave& w = want.tempSaves[i];
            if (o.map) {
                EXPECT_TRUE(sameContents(g.players[0].field, w.players[0].field));
            }
            if (o.map && o.bothPlayers) {
                EXPECT_TRUE(sameContents(g.players[1].field, w.players[1].field));
            }
            if (o.next) {
                expectSameSequence(g.players[0].sequence, w.players[0].sequence);
            }
            if (o.next && o.bothPlayers) {
                expectSameSequence(g.players[1].sequence, w.players[1].sequence);
            }
        }
        // Writing what was read gives the same file again (the extra stored position of the
        // target only shows when the file had none of its own to replace it).
        if (holdsPositions || !o.tempSaves) {
            EXPECT_EQ(formatFile(got, o), text);
        }
    }
}

TEST(DatWriter, WritesTheDocumentedExampleLetterForLetter) {
    TestGame t;
    Game& game = t.game;
    game.settings.cellWidth = 32;
    game.settings.cellHeight = 32;
    game.settings.nextCount = 3;
    resizeQueues(game);
    game.settings.nextColumns = 1;
    game.settings.nextRows = 3;
    changeFieldSize(game, 3, 2);
    setPosition(t.p1().sequence, 57, true);
    paint(t.p1().field, {"---", "---", "---", "---", "GRr"});
    game.tempSaves.emplace_back();
    copyLiveInto(game, game.tempSaves.back());
    paint(t.p1().field, {"---", "---", "---", "-R-", "GRr"});

    WriteOptions o;
    o.next = o.tempSaves = o.nextCounts = o.blobSize = true;
    EXPECT_EQ(formatFile(game, o),
              "[S]\n32, 32\n[A]\n3, 1, 3\n"
              "[M]\n3, 2\n---\n---\n---\n-R-\nGRr\n[N]\nRBGY\n2\n@57?*\n[-]\n"
              "[M]\n3, 2\n---\n---\n---\n---\nGRr\n[N]\nRBGY\n2\n@57?*\n[-]\n");
}

TEST(DatWriter, TwoPlayersAndMapAloneWriteBothFieldsAndNothingElse) {
    TestGame t;
    changeFieldSize(t.game, 2, 1);
    WriteOptions o;
    o.bothPlayers = true;
    EXPECT_EQ(formatFile(t.game, o), "[M]\n2, 1\n--\n--\n--\n--\n[m]\n--\n--\n--\n--\n");
}

TEST(DatReader, AFileWithOnlyAFieldLeavesSequencesSizesAndStoreAlone) {
    TestGame fresh;
    TestGame t;
    t.game.tempSaves.emplace_back();
    const auto rows = field6x12({"R-----", "RR---G"});
    const ReadReport report = t.read("[M]\n6, 12\n" + rowsText(rows));
    EXPECT_TRUE(report.complete);
    EXPECT_EQ(rowsOf(t.p1().field), rows);
    EXPECT_EQ(t.p1().sequence, fresh.p1().sequence);
    EXPECT_EQ(t.game.settings, fresh.game.settings);
    EXPECT_EQ(t.game.tempSaves.size(), 1u);
    EXPECT_EQ(t.ui.relayouts, 0); // same size: nothing to lay out
}

TEST(DatReader, WhatAReadReportsBesidesThePositionDoesNotGrowWithTheFile) {
    TestGame t;
    std::string text;
    for (int i = 0; i < 5000; ++i) {
        text += "[A]\n2, 1, 2\n";
    }
    const ReadReport report = t.read(text);
    EXPECT_TRUE(report.complete);
    EXPECT_EQ(report.sectionCount, 5000);
    EXPECT_EQ(report.sections.size(), ReadReport::kMostReportedSections);
}

TEST(DatReader, ClampsTheNextCountsAndResizesEveryQueue) {
    TestGame t;
    t.game.tempSaves.emplace_back();
    copyLiveInto(t.game, t.game.tempSaves.back());
    t.read("[A]\n999, 0, 99\n");
    EXPECT_EQ(t.game.settings.nextCount, 250);
    EXPECT_EQ(t.game.settings.nextColumns, 1);
    EXPECT_EQ(t.game.settings.nextRows, 20);
    EXPECT_EQ(t.p1().sequence.queue.size(), 251u);
    EXPECT_EQ(t.p2().sequence.queue.size(), 251u);
    EXPECT_EQ(t.game.tempSaves[0].players[1].sequence.queue.size(), 251u);
    EXPECT_EQ(t.ui.relayouts, 1);

    t.read("[A]\n-5, 3, 4\n");
    EXPECT_EQ(t.game.settings.nextCount, 0);
    EXPECT_EQ(t.p1().sequence.queue.size(), 1u);
}

TEST(DatReader, ClampsTheBlobSizeToTheLargestAllowed) {
    TestGame t;
    t.read("[S]\n0, 1000\n");
    EXPECT_EQ(t.game.settings.cellWidth, 1);
    EXPECT_EQ(t.game.settings.cellHeight, t.game.settings.maxCellSize);
    EXPECT_EQ(t.ui.relayouts, 1);
}

TEST(DatReader, ANewFieldSizeIsClampedAndBecomesTheSettingWithTheFallingPairPulledInside) {
    TestGame t;
    t.read("[M]\n0, 0\n-\n-\nR\nG\n");
    EXPECT_EQ(t.p1().field.width, 1);
    EXPECT_EQ(t.p1().field.height, 1);
    EXPECT_EQ(t.p2().field.width, 1);
    EXPECT_EQ(t.game.settings.fieldWidth, 1);
    EXPECT_EQ(t.game.settings.fieldHeight, 1);
    EXPECT_EQ(t.p1().fallingPair.x, 0);
    EXPECT_EQ(rowsOf(t.p1().field), (std::vector<std::string>{"-", "-", "R", "G"}));
    EXPECT_EQ(t.ui.relayouts, 1);

    TestGame big;
    const ReadReport report = big.read("[M]\n500, 3\n");
    EXPECT_EQ(big.p1().field.width, big.game.settings.maxFieldWidth);
    EXPECT_FALSE(report.complete); // the rows that follow are missing
}

TEST(DatReader, StopsAtSizesAfterASeparatorKeepingWhatCameBefore) {
    for (const char* late : {"[S]\n10, 10\n", "[A]\n5, 1, 5\n"}) {
        TestGame t;
        const ReadReport report = t.read(std::string("[S]\n20, 21\n[-]\n") + late + "[S]\n7, 7\n");
        EXPECT_EQ(t.game.settings.cellWidth, 20);
        EXPECT_EQ(t.game.settings.cellHeight, 21);
        EXPECT_EQ(t.game.settings.nextCount, 2);
        EXPECT_FALSE(report.complete);
        EXPECT_EQ(report.stopLine, 4);
    }
}

TEST(DatReader, ACellRowOfTheWrongLengthStopsWithTheRowsBeforeItRead) {
    for (const std::string bad : {"RRRRR", "RRRRRRR"}) {
        SCOPED_TRACE(bad);
        TestGame t;
        auto rows = field6x12({"GGGGGG", "BBBBBB"});
        const std::string text = "[M]\n6, 12\n" + rowsText({rows.begin(), rows.begin() + 14}) +
                                 bad + "\n" + "[S]\n5, 5\n";
        const ReadReport report = t.read(text);
        EXPECT_FALSE(report.complete);
        EXPECT_EQ(report.stopLine, 3 + 14);
        const auto got = rowsOf(t.p1().field);
        EXPECT_EQ(got[13], "GGGGGG");
        EXPECT_EQ(t.game.settings.cellWidth, 40);
        EXPECT_NE(report.stopReason.find("not 6 characters long"), std::string::npos);
    }
}

TEST(DatReader, AFileEndingRightAfterItsLastCellRowKeepsEveryCellAndSaysTheFileEnded) {
    TestGame t;
    const auto rows = field6x12({"GGGGGG", "BBBBBB"});
    std::string text = "[M]\n6, 12\n" + rowsText(rows);
    text.pop_back(); // an editor that leaves out the last line break
    const ReadReport report = t.read(text);
    EXPECT_EQ(rowsOf(t.p1().field), rows);
    EXPECT_FALSE(report.complete);
    EXPECT_EQ(report.stopLine, 3 + 14);
    // The row has its six letters; what is missing is the line break, so that is the reason.
    EXPECT_EQ(report.stopReason.find("not 6 characters long"), std::string::npos)
        << report.stopReason;
    EXPECT_NE(report.stopReason.find("ends"), std::string::npos) << report.stopReason;
}

TEST(DatReader, ALetterOutsideTheTableLeavesItsCellAndTheRowStaysValid) {
    TestGame t;
    setCell(t.p1().field, 0, 11, CellKind::Purple);
    setCell(t.p1().field, 2, 11, CellKind::Purple);
    auto rows = field6x12({"xRx RB"});
    const ReadReport report = t.read("[M]\n6, 12\n" + rowsText(rows) + "[S]\n9, 9\n");
    EXPECT_TRUE(report.complete);
    EXPECT_EQ(rowsOf(t.p1().field)[14], "PRP-RB");
    EXPECT_EQ(t.game.settings.cellWidth, 9);
}

TEST(DatReader, ReadsOnlyTheFirstTwoCharactersOfATagLine) {
    TestGame t;
    const auto rows = field6x12({"YYY---"});
    EXPECT_TRUE(t.read("[Mxyz\n6, 12\n" + rowsText(rows)).complete);
    EXPECT_EQ(rowsOf(t.p1().field), rows);

    TestGame u;
    const ReadReport report = u.read("\n\r\nM\n6, 12\n" + rowsText(rows));
    EXPECT_FALSE(report.complete);
    EXPECT_EQ(report.stopLine, 3);
    EXPECT_EQ(rowsOf(u.p1().field)[14], "------");
}

TEST(DatReader, StopsAtAnUnknownTagOrABareBracket) {
    for (const char* text : {"[S]\n8, 8\n[X]\n[S]\n9, 9\n", "[S]\n8, 8\n[\n[S]\n9, 9\n"}) {
        TestGame t;
        const ReadReport report = t.read(text);
        EXPECT_EQ(t.game.settings.cellWidth, 8);
        EXPECT_EQ(report.stopLine, 3);
    }
}

TEST(DatReader, FollowsTheLineBufferThroughOverlongTagLines) {
    // The rest of an overlong "[S]" line is white space, which the number scan skips.
    TestGame t;
    EXPECT_TRUE(t.read("[S]" + std::string(600, ' ') + "\n40, 50\n").complete);
    EXPECT_EQ(t.game.settings.cellHeight, 50);

    // The rest of an overlong "[-]" line is read as the next tag line, which it is not.
    TestGame u;
    const ReadReport report = u.read("[-" + std::string(600, 'x') + "\n[S]\n5, 5\n");
    EXPECT_FALSE(report.complete);
    EXPECT_EQ(u.game.settings.cellWidth, 40);
}

TEST(DatReader, ReadsFilesWithWindowsLineBreaks) {
    TestGame t;
    const auto rows = field6x12({"RGBYPO"});
    std::string text = "[S]\r\n30, 31\r\n[M]\r\n6, 12\r\n";
    for (const auto& row : rows) {
        text += row + "\r\n";
    }
    EXPECT_TRUE(t.read(text).complete);
    EXPECT_EQ(rowsOf(t.p1().field), rows);
    EXPECT_EQ(t.game.settings.cellHeight, 31);
}

TEST(DatReader, TemporaryPositionsReplaceTheStoreAndPutTheCursorOnTheLivePosition) {
    TestGame t;
    for (int i = 0; i < 3; ++i) {
        tempSave(t.game);
        tempNext(t.game);
    }
    tempNext(t.game); // ID 0 is shown
    ASSERT_EQ(t.game.tempSaves.size(), 3u);
    ASSERT_EQ(t.game.tempCursor, 0);
    const std::string idText = t.game.tempIdText;

    const auto rows = field6x12({"R-----"});
    const ReadReport report =
        t.read("[-]\n[M]\n6, 12\n" + rowsText(rows) + "[-]\n[N]\nRG\n2\n@9RG*\n[-]\n");
    EXPECT_TRUE(report.complete);
    EXPECT_EQ(report.tempPositions, 2);
    ASSERT_EQ(t.game.tempSaves.size(), 2u);
    EXPECT_EQ(t.game.tempCursor, kLivePosition);
    EXPECT_EQ(t.game.tempIdText, idText);
    const TempSave& first = t.game.tempSaves[0];
    EXPECT_EQ(rowsOf(first.players[0].field), rows);
    EXPECT_EQ(first.players[0].field.limboRows, 1);
    EXPECT_EQ(rowsOf(first.players[1].field), field6x12({}));
    // A position with only a pattern still has usable empty fields of the live size.
    const TempSave& second = t.game.tempSaves[1];
    EXPECT_EQ(rowsOf(second.players[0].field), field6x12({}));
    EXPECT_EQ(second.players[0].sequence.queue.front().slot, (std::array<int, 4>{1, 0, 3, 0}));
    EXPECT_EQ(second.players[0].fallingPair.cells[kPivot], CellKind::Green);
    EXPECT_EQ(second.players[0].sequence.queue.size(), 3u);
    EXPECT_EQ(second.players[0].phase, Phase::Idle);

    // A file without temporary positions keeps the store.
    t.read("[S]\n10, 10\n[-]\n[-]\n");
    EXPECT_EQ(t.game.tempSaves.size(), 2u);
}

TEST(DatReader, AStopAmongTheTemporaryPositionsKeepsThoseReadSoFar) {
    TestGame t;
    t.game.tempSaves.resize(5);
    const ReadReport report =
        t.read("[-]\n[N]\nRB\n2\n@3?*\n[-]\n[N]\nRB\n2\n@4?*\n[-]\n[N]\nRBQ\n");
    EXPECT_FALSE(report.complete);
    ASSERT_EQ(t.game.tempSaves.size(), 3u); // the third was begun when its pattern failed
    EXPECT_EQ(t.game.tempSaves[1].players[0].sequence.queue.front().position, 4u);
    EXPECT_EQ(t.game.tempCursor, kLivePosition);
}

TEST(DatReader, AStoredPositionOfItsOwnSizeHasItsFallingPairsAtItsOwnStart) {
    TestGame t;
    ASSERT_EQ(t.p1().fallingPair.x, 2); // the start column of the live 6-wide field
    t.read("[-]\n[M]\n2, 3\n" + rowsText(std::vector<std::string>(6, "--")) + "[-]\n");
    ASSERT_EQ(t.game.tempSaves.size(), 1u);
    const TempSave& save = t.game.tempSaves[0];
    ASSERT_EQ(save.players[0].field.width, 2);
    for (std::size_t p = 0; p < 2; ++p) {
        FallingPair expected = save.players[p].fallingPair;
        putAtSpawn(expected, save.players[p].field);
        EXPECT_EQ(save.players[p].fallingPair, expected);
        EXPECT_EQ(save.players[p].fallingPair.x, 1);
    }
}

TEST(DatReader, AFileThatStartsWithEmptyPositionsStillReplacesTheStore) {
    TestGame t;
    t.game.tempSaves.resize(4);
    const ReadReport report = t.read("[-]\n[-]\n[N]\nRB\n2\n@3?*\n[-]\n");
    EXPECT_TRUE(report.storeReplaced);
    EXPECT_EQ(t.game.tempSaves.size(), 1u);
}

TEST(DatReader, APatternLoadsIntoTheQueueAndTheFallingPair) {
    TestGame t;
    EXPECT_TRUE(t.read("[N]\nYP\n2\n@100PYY*\n[n]\nR\n4a\n@1?*\n").complete);
    EXPECT_EQ(t.p1().sequence.queue.front().slot, (std::array<int, 4>{5, 0, 4, 0}));
    EXPECT_EQ(t.p1().sequence.queue.front().position, 100u);
    EXPECT_EQ(t.p1().fallingPair.cells[kPivot], CellKind::Yellow);
    EXPECT_EQ(t.p1().fallingPair.cells[blockIndex(0, -1)], CellKind::Purple);
    EXPECT_EQ(t.p2().fallingPair.shape, kShape4a);
}

TEST(DatReader, APatternErrorIsShownAndStopsWithTheSequenceUnchanged) {
    TestGame fresh;
    TestGame t;
    const ReadReport report = t.read("[N]\nRBX\n2\n?*\n[S]\n9, 9\n");
    ASSERT_EQ(t.ui.messages.size(), 1u);
    EXPECT_EQ(t.ui.messages[0].caption, "err");
    EXPECT_NE(t.ui.messages[0].text.find("使用色指定3文字目"), std::string::npos);
    EXPECT_EQ(t.p1().sequence, fresh.p1().sequence);
    EXPECT_EQ(t.game.settings.cellWidth, 40);
    EXPECT_FALSE(report.complete);
    EXPECT_EQ(report.stopLine, 2); // the line that holds the error

    // The same for an error in the shape line, with a blank line before the tag.
    TestGame u;
    EXPECT_EQ(u.read("\n[N]\nRB\n2c\n?*\n").stopLine, 4);
}

// Parsing only looks at the game; the content applied gives what reading the file gives.
TEST(DatReader, ParsingChangesNothingAndTheContentAppliedIsTheFileRead) {
    RichGame rich;
    const std::string text = formatFile(rich.game, optionsFromBits(63)) + "[N]\nRB\n2\n@?*\n";
    const WriteOptions all = optionsFromBits(63);
    TestGame parsed;
    const std::string before = formatFile(parsed.game, all);
    const ConventionalRandom rngBefore = parsed.game.rng;
    std::stringbuf source(text);
    TextModeBuf buf(source);
    DatContent content = parseFile(parsed.game, buf);
    EXPECT_EQ(formatFile(parsed.game, all), before);
    EXPECT_EQ(parsed.game.rng, rngBefore);
    EXPECT_EQ(parsed.ui.relayouts, 0);
    EXPECT_FALSE(checkFile(content));
    applyFile(parsed.game, std::move(content));

    TestGame read;
    read.read(text);
    EXPECT_EQ(formatFile(parsed.game, all), formatFile(read.game, all));
    EXPECT_EQ(parsed.game.settings, read.game.settings);
    EXPECT_EQ(parsed.game.rng, read.game.rng);
    EXPECT_EQ(parsed.ui.relayouts, 1);
}

TEST(DatReader, TakesAnyBytesWithoutHarm) {
    // Bytes of every value in the places the reader looks at.
    std::string text = "[M]\n3, 1\n";
    for (int i = 0; i < 4; ++i) {
        text += std::string{static_cast<char>(i * 60), '\0', static_cast<char>(0xff)} + "\n";
    }
    text += std::string("[N]\n\0\xff\n\x80\n@\xff\n", 13);
    TestGame t;
    t.read(text);
    EXPECT_EQ(t.p1().field.width, 3);
}

TEST(DatFiles, AFileThatCannotBeOpenedChangesNothingAndSaysWhy) {
    TempDir dir;
    TestGame fresh;
    TestGame t;
    const auto missing = dir.path() / "missing.dat";
    EXPECT_FALSE(t.open(missing).opened);
    EXPECT_FALSE(t.open(dir.path()).opened);
    // A device or a pipe may never end; it is refused rather than read.
    EXPECT_FALSE(t.open("/dev/zero").opened);
    const auto fifo = dir.path() / "pipe.dat";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(t.open(fifo).opened);
    ASSERT_EQ(t.ui.messages.size(), 4u);
    EXPECT_NE(t.ui.messages[3].text.find("Not a regular file"), std::string::npos);
    EXPECT_NE(t.ui.messages[0].text.find(missing.string()), std::string::npos);
    EXPECT_NE(t.ui.messages[0].text.find("No such file or directory"), std::string::npos);
    EXPECT_NE(t.ui.messages[1].text.find("Is a directory"), std::string::npos);
    EXPECT_EQ(t.game.settings, fresh.game.settings);
    EXPECT_TRUE(sameContents(t.p1().field, fresh.p1().field));
}

// The refusal comes after sections that already changed the blob size, the next counts, both
// fields, a pattern and the store; every change is taken back.
TEST(DatFiles, AFileTooLargeForMemoryIsRefusedWholeAndChangesNothing) {
    const std::string small = "[M]\n2, 1\n--\n--\n--\nRR\n[m]\n--\n--\n--\nBB\n";
    const std::string hostile[] = {
        "[S]\n20, 20\n[A]\n5, 2, 2\n" + small + "[N]\nR\n2\nR\n[M]\n100000, 100000\n",
        "[A]\n0, 1, 1\n" + small + "[-]\n[N]\nR\n2\nR\n[-]\n[M]\n5000, 1000\n",
    };
    TempDir dir;
    for (const std::string& text : hostile) {
        SCOPED_TRACE(text.substr(0, 40));
        RichGame t;
        t.game.settings.maxFieldWidth = t.game.settings.maxFieldHeight = 100000;
        const Settings settingsBefore = t.game.settings;
        const WriteOptions all = optionsFromBits(63);
        const std::string before = formatFile(t.game, all);
        const auto path = dir.path() / "hostile.dat";
        writeAll(path, text);

        const ReadOutcome outcome = t.open(path);
        const ReadReport& report = outcome.report;
        EXPECT_FALSE(outcome.opened);
        EXPECT_EQ(formatFile(t.game, all), before);
        EXPECT_EQ(t.game.settings, settingsBefore);
        EXPECT_EQ(t.game.tempSaves.size(), 2u);
        EXPECT_FALSE(report.complete);
        ASSERT_EQ(t.ui.messages.size(), 1u);
        EXPECT_NE(t.ui.messages[0].text.find(path.string()), std::string::npos);
        EXPECT_NE(t.ui.messages[0].text.find("4000000 マスまで"), std::string::npos)
            << t.ui.messages[0].text;
    }
}

// Reading this process's memory from address 0 fails with an input/output error.
TEST(DatFiles, AReadErrorIsReportedAndNotTakenForTheEndOfTheFile) {
    TestGame t;
    const ReadOutcome outcome = t.open("/proc/self/mem");
    const ReadReport& report = outcome.report;
    EXPECT_FALSE(outcome.opened);
    EXPECT_FALSE(report.complete);
    EXPECT_NE(report.stopReason.find("Input/output error"), std::string::npos);
    ASSERT_EQ(t.ui.messages.size(), 1u);
    EXPECT_NE(t.ui.messages[0].text.find("/proc/self/mem"), std::string::npos);
    EXPECT_NE(t.ui.messages[0].text.find("Input/output error"), std::string::npos);
}

// The pattern error first, then that reading stopped early: the order the user is told them.
TEST(DatFiles, MessagesComeBackInTheOrderTheyAreTold) {
    TempDir dir;
    const auto path = dir.path() / "bad-pattern.dat";
    writeAll(path, "[S]\n9, 9\n[N]\nRBX\n2\n?*\n");
    TestGame t;
    const ReadOutcome outcome = t.open(path);
    EXPECT_TRUE(outcome.opened);
    EXPECT_TRUE(outcome.stoppedEarly);
    EXPECT_TRUE(outcome.layoutChanged);
    ASSERT_EQ(outcome.messages.size(), 2u);
    EXPECT_NE(outcome.messages[0].text.find("使用色指定3文字目"), std::string::npos);
    EXPECT_EQ(outcome.messages[1].text, earlyStopMessage(path, outcome.report)->text);
    EXPECT_EQ(t.game.settings.cellWidth, 9); // the section before the stop is in effect
}

TEST(DatFiles, WritesAndReadsAFileOnDisk) {
    TempDir dir;
    RichGame rich;
    const auto path = dir.path() / "position.dat";
    WriteOptions o;
    o.bothPlayers = o.next = o.tempSaves = true;
    ASSERT_TRUE(writeFile(rich.game, path, o));
    EXPECT_EQ(readAll(path), formatFile(rich.game, o));

    TestGame t;
    const ReadOutcome outcome = t.open(path);
    const ReadReport& report = outcome.report;
    ASSERT_TRUE(outcome.opened);
    EXPECT_TRUE(report.complete);
    EXPECT_EQ(formatFile(t.game, o), readAll(path));
    EXPECT_TRUE(t.ui.messages.empty());
}

TEST(DatFiles, AFailedSaveKeepsTheOldFileAndSaysWhy) {
    TempDir dir;
    TestGame t;
    const auto missingDir = dir.path() / "no" / "such.dat";
    EXPECT_FALSE(writeFile(t.game, missingDir, WriteOptions{}));
    ASSERT_EQ(t.ui.messages.size(), 1u);
    EXPECT_NE(t.ui.messages[0].text.find(missingDir.string()), std::string::npos);
    EXPECT_NE(t.ui.messages[0].text.find("No such file or directory"), std::string::npos);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{});

    const auto path = dir.path() / "old.dat";
    writeAll(path, "[S]\n1, 1\n");
    EXPECT_FALSE(writeFile(t.game, path / "x.dat", WriteOptions{}));
    EXPECT_EQ(readAll(path), "[S]\n1, 1\n");
    EXPECT_EQ(t.ui.messages.size(), 2u);

    // The disk fills up part-way through the new file.
    {
        FileSizeLimit limit(100);
        EXPECT_FALSE(writeFile(t.game, path, WriteOptions{}));
    }
    EXPECT_EQ(readAll(path), "[S]\n1, 1\n");
    ASSERT_EQ(t.ui.messages.size(), 3u);
    EXPECT_NE(t.ui.messages[2].text.find("File too large"), std::string::npos);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"old.dat"});
}

TEST(DatFiles, ASaveIntoAReadOnlyFolderKeepsTheOldFileAndSaysWhy) {
    TempDir dir;
    const Unprivileged user(dir.path());
    if (!user.ok()) {
        GTEST_SKIP() << "the superuser cannot act as an unprivileged user here";
    }
    TestGame t;
    const auto path = dir.path() / "old.dat";
    writeAll(path, "[S]\n1, 1\n");
    ::chmod(dir.path().c_str(), 0555);
    const bool written = writeFile(t.game, path, WriteOptions{});
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_FALSE(written);
    EXPECT_EQ(readAll(path), "[S]\n1, 1\n");
    ASSERT_EQ(t.ui.messages.size(), 1u);
    EXPECT_NE(t.ui.messages[0].text.find("Permission denied"), std::string::npos);
}

} // namespace
} // namespace peterin
