#pragma once

#include <filesystem>
#include <optional>

#include "files/dat_file.h"
#include "settings/message.h"

namespace peterin {

struct Game;

// The save dialog's six check boxes. A new dialog starts with only "マップ" checked, which is
// what a default-constructed value holds.
using SaveChoices = WriteOptions;

// The message shown instead of the file dialog when nothing worth writing is checked ("2Pも"
// on its own selects nothing); empty when the choices select something.
std::optional<Message> nothingToSave(const SaveChoices& choices);

// The dialog's "OK" once the user has named the file: tells the user when nothing is selected
// (and writes nothing), otherwise writes the chosen parts, with `goal` as a puzzle ("問題として
// 保存"). Returns whether a file was written.
bool saveChosen(const Game& game, const std::filesystem::path& path, const SaveChoices& choices,
                const puzzle::Goal* goal = nullptr);

} // namespace peterin
