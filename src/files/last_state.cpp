#include "files/last_state.h"

#include <string_view>
#include <system_error>

#include "files/dat_file.h"
#include "storage/atomic_write.h"

namespace peterin {

std::string lastStateText(const Game& game) {
    WriteOptions all;
    all.map = all.bothPlayers = all.next = all.tempSaves = all.nextCounts = all.blobSize = true;
    return formatFile(game, all);
}

namespace {

// More programs than this at once is not a way anyone works.
constexpr int kMaxSlots = 256;

// The name `name` ("last.dat") has for the program in `slot`: "last.dat", "last-2.dat", ...
std::string slotName(std::string_view name, int slot) {
    if (slot == 1) {
        return std::string(name);
    }
    const auto dot = name.rfind('.');
    std::string slotted(name.substr(0, dot));
    slotted += '-';
    slotted += std::to_string(slot);
    slotted += name.substr(dot);
    return slotted;
}

std::filesystem::path lockFile(const std::filesystem::path& folder, int slot) {
    return folder / (slotName(kLastStateName, slot) + ".lock");
}

// The slot a kept file's name belongs to, and whether it is the live work (else the previous
// run's); nothing for any other name.
std::optional<std::pair<int, bool>> slotOf(const std::string& name) {
    for (const std::string_view base : {kLastStateName, kPreviousStateName}) {
        const auto dot = base.rfind('.');
        const std::string_view stem = base.substr(0, dot), extension = base.substr(dot);
        const bool live = base == kLastStateName;
        if (name == base) {
            return std::pair{1, live};
        }
        if (!name.starts_with(stem) || !name.ends_with(extension) ||
            name.size() < stem.size() + extension.size() + 2 || name[stem.size()] != '-') {
            continue;
        }
        const std::string digits =
            name.substr(stem.size() + 1, name.size() - stem.size() - 1 - extension.size());
        if (digits.size() > 3 || digits[0] == '0' ||
            digits.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const int slot = std::stoi(digits);
        if (slot >= 2 && slot <= kMaxSlots) {
            return std::pair{slot, live};
        }
    }
    return std::nullopt;
}

} // namespace

StateKeeper::StateKeeper(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path StateKeeper::lastFile() const {
    return folder_ / slotName(kLastStateName, slot_);
}

std::filesystem::path StateKeeper::previousFile() const {
    return folder_ / slotName(kPreviousStateName, slot_);
}

void StateKeeper::startRun() {
    // Where no folder is yet there is no work to put aside, and the folder is made by the
    // first write: a run that changes nothing leaves no trace.
    std::error_code ec;
    if (std::filesystem::is_directory(folder_, ec)) {
        claim();
    }
}

void StateKeeper::claim() {
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    for (int slot = 1; slot <= kMaxSlots && !lock_; ++slot) {
        if (auto lock = FileLock::tryTake(lockFile(folder_, slot))) {
            slot_ = slot;
            lock_ = std::move(lock);
        }
    }
    // Without a lock (a folder that cannot be written), nothing is moved: the file may be the
    // work of a program that runs now.
    if (lock_ && std::filesystem::exists(lastFile(), ec)) {
        std::filesystem::rename(lastFile(), previousFile(), ec);
    }
}

std::optional<std::filesystem::path> StateKeeper::leftWork() const {
    std::optional<std::filesystem::path> newest;
    std::filesystem::file_time_type newestTime;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ec)) {
        const auto slot = slotOf(entry.path().filename().string());
        if (!slot || !entry.is_regular_file(ec)) {
            continue;
        }
        const auto [number, live] = *slot;
        // This program's own work, and the live work of a program that runs now, were not left.
        if (live && ((lock_ && number == slot_) || FileLock::isHeld(lockFile(folder_, number)))) {
            continue;
        }
        const auto time = entry.last_write_time(ec);
        if (!ec && (!newest || time > newestTime)) {
            newest = entry.path();
            newestTime = time;
        }
    }
    return newest;
}

std::optional<Message> StateKeeper::write(const Game& game) {
    if (!lock_) {
        claim();
    }
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
