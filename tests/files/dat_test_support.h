#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "files/dat_file.h"
#include "files/text_input.h"
#include "play/game.h"
#include "recording_ui.h"
#include "rules/field.h"

namespace peterin {

// A game at start-up with the default settings, clock fixed so every run is the same.
struct TestGame {
    RecordingUi ui;
    Game game{ui};

    explicit TestGame(int initialPosition = 0) {
        game.settings.initialRandomPosition = initialPosition;
        initGame(game, 0);
    }
    Player& p1() { return game.players[0]; }
    Player& p2() { return game.players[1]; }

    // Reads `text` as a file holding it would be read, showing the messages as the program does.
    ReadReport read(const std::string& text) {
        std::stringbuf source(text);
        TextModeBuf buf(source);
        return show(readFile(game, buf)).report;
    }
    // Opens the file at `path` as the program does.
    ReadOutcome open(const std::filesystem::path& path) { return show(readFile(game, path)); }

    const ReadOutcome& show(const ReadOutcome& outcome) {
        for (const Message& message : outcome.messages) {
            ui.tell(message);
        }
        last = outcome;
        return last;
    }
    ReadOutcome last; // of the last read or open
};

// The rows -3 to height - 1 of a field in the file letters.
inline std::vector<std::string> rowsOf(const Field& field) {
    std::vector<std::string> rows;
    for (std::int32_t r = -3; r < field.height; ++r) {
        std::string row;
        for (std::int32_t x = 0; x < field.width; ++x) {
            row += kindLetter(getCell(field, x, r));
        }
        rows.push_back(row);
    }
    return rows;
}

// Paints `rows` (top row -3 first) into a field of matching size.
inline void paint(Field& field, const std::vector<std::string>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t x = 0; x < rows[i].size(); ++x) {
            if (const auto kind = kindFromLetter(rows[i][x])) {
                setCell(field, static_cast<std::int32_t>(x), static_cast<std::int32_t>(i) - 3,
                        *kind);
            }
        }
    }
}

} // namespace peterin
