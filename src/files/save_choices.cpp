#include "files/save_choices.h"

#include "play/game.h"

namespace peterin {

std::optional<Message> nothingToSave(const SaveChoices& choices) {
    if (choices.map || choices.next || choices.tempSaves || choices.nextCounts ||
        choices.blobSize) {
        return std::nullopt;
    }
    return Message{"保存するものがありませんよ", "？", MessageIcon::None};
}

bool saveChosen(const Game& game, const std::filesystem::path& path, const SaveChoices& choices,
                const puzzle::Goal* goal) {
    if (const auto message = nothingToSave(choices)) {
        game.events.tell(*message);
        return false;
    }
    return writeFile(game, path, choices, goal);
}

} // namespace peterin
