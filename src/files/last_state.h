#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "settings/message.h"
#include "storage/file_lock.h"

namespace peterin {

struct Game;

// The file name of the work kept across exits, in the program's state folder, and the name the
// previous run's file gets when a new run starts, so that its first change cannot overwrite it.
// These are the first program's; each program running beside it keeps its work under names of
// its own ("last-2.dat", "previous-2.dat", ...), held by a lock for as long as it runs.
inline constexpr const char* kLastStateName = "last.dat";
inline constexpr const char* kPreviousStateName = "previous.dat";

// The live position and every temporary position, with the sizes they need, as a position file.
std::string lastStateText(const Game& game);

// Keeps the work in one position file, rewritten whole after each change, so that neither an
// exit nor a crash loses it.
class StateKeeper {
  public:
    explicit StateKeeper(std::filesystem::path folder);

    // Takes the first names no running program holds, and moves aside the work that the last
    // program to hold them left (see kPreviousStateName): now when the folder exists, else at
    // the first write.
    void startRun();
    // Writes the state. The first failure is returned to be told; further failures are not,
    // until a write succeeds again.
    std::optional<Message> write(const Game& game);
    // Whether this run has written the state (an untouched run leaves the previous one alone).
    bool wroteAny() const { return wroteAny_; }

    std::filesystem::path lastFile() const;
    std::filesystem::path previousFile() const;
    // The newest work a program no longer running left, this one's previous run's included;
    // nothing when there is none.
    std::optional<std::filesystem::path> leftWork() const;

  private:
    // Takes the names and puts their last holder's work aside.
    void claim();

    std::filesystem::path folder_;
    int slot_ = 1;
    std::optional<FileLock> lock_;
    bool wroteAny_ = false;
    bool failing_ = false;
};

} // namespace peterin
