#pragma once

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "records/record.h"
#include "settings/message.h"

namespace peterin {

// The extension of record files.
inline constexpr const char* kRecordExtension = ".pprec";

// Keeps every game's record in a folder without being asked: rewritten after each turn while the
// game runs (a crash loses at most the turn in progress), and once more when it ends. The
// writing is done by a thread of its own, so a slow or full disk never holds up a turn; a
// record that cannot be written is told once. The oldest records go beyond `maxRecords` files
// or `maxBytes` in all.
class RecordFolder {
  public:
    static constexpr std::size_t kMaxRecords = 2000;
    static constexpr std::uintmax_t kMaxBytes = std::uintmax_t{200} << 20;

    explicit RecordFolder(std::filesystem::path folder, std::size_t maxRecords = kMaxRecords,
                          std::uintmax_t maxBytes = kMaxBytes);
    RecordFolder(const RecordFolder&) = delete;
    RecordFolder& operator=(const RecordFolder&) = delete;
    // Waits for what is still to be written.
    ~RecordFolder();

    // The record of the game in progress changed, or the game ended (`finished`): it is written
    // to the game's own file, named when its first turn comes. Returns at once.
    void keep(const Record& record);
    // Waits until everything given so far is on disk (for tests and the end of the program).
    void flush();
    // Why a record could not be written, once for each failure since the last call.
    std::optional<Message> takeFailure();

    const std::filesystem::path& folder() const { return folder_; }

  private:
    void work();
    void write(const std::filesystem::path& path, const Record& record);
    void prune(const std::filesystem::path& keep);
    std::filesystem::path newName(std::int64_t date);

    std::filesystem::path folder_;
    std::size_t maxRecords_;
    std::uintmax_t maxBytes_;
    std::filesystem::path current_; // the file of the game in progress
    int named_ = 0;                 // files named by this program

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::map<std::filesystem::path, Record> due_; // the latest of each file, still to write
    bool busy_ = false;
    bool stopping_ = false;
    std::optional<Message> failure_;
    bool told_ = false; // a failure was told and nothing has been written since
    std::thread worker_;
};

// What the list of recent records shows of one.
struct RecordSummary {
    std::filesystem::path path;
    std::int64_t date = 0;
    Mode mode = Mode::Play;
    int turns = 0;
    std::int32_t largestChain = 0;
};

// The newest `count` records of the folder that can be read, newest first.
std::vector<RecordSummary> recentRecords(const std::filesystem::path& folder, std::size_t count);

// Reads a record file whole: a file that cannot be read, or whose text is damaged, is told
// with the file, the line and the reason.
struct LoadedRecord {
    std::optional<Record> record;
    std::vector<std::int64_t> eventLines;
    std::string error; // "FILE: line N: REASON"
};
LoadedRecord loadRecord(const std::filesystem::path& path);

// Writes a record to a file the user named, through a temporary file; the reason on failure.
std::optional<std::string> saveRecord(const Record& record, const std::filesystem::path& path);

} // namespace peterin
