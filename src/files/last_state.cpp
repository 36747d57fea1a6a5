#include "files/last_state.h"

#include <system_error>

#include "files/dat_file.h"
#include "storage/atomic_write.h"

namespace peterin {

std::string lastStateText(const Game& game) {
    WriteOptions all;
    all.map = all.bothPlayers = all.next = all.tempSaves = all.nextCounts = all.blobSize = true;
    return formatFile(game, all);
}

StateKeeper::StateKeeper(std::filesystem::path folder) : folder_(std::move(folder)) {}

void StateKeeper::startRun() {
    std::error_code ec;
    if (std::filesystem::exists(lastFile(), ec)) {
        std::filesystem::rename(lastFile(), previousFile(), ec);
    }
}

std::optional<Message> StateKeeper::write(const Game& game) {
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    // A crash of the program cannot tear the file; waiting for the disk at every step would
    // cost more than the step.
    const auto error = replaceFile(lastFile(), lastStateText(game), false);
    if (!error) {
        wroteAny_ = true;
        failing_ = false;
        return std::nullopt;
    }
    if (failing_) {
        return std::nullopt;
    }
    failing_ = true;
    return Message{"作業中の状態を「" + lastFile().string() + "」に保存できませんでした。\n" +
                       *error + "\nこのまま続けると、終了したときに一時保存は失われます。",
                   "err", MessageIcon::Warning};
}

} // namespace peterin
