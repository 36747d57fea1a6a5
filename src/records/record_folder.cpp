#include "records/record_folder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>
#include <utility>

#include "storage/atomic_write.h"
#include "storage/read_file.h"

namespace peterin {

namespace fs = std::filesystem;

namespace {

bool isRecordFile(const fs::directory_entry& entry) {
    std::error_code error;
    return entry.is_regular_file(error) && entry.path().extension() == kRecordExtension;
}

} // namespace

RecordFolder::RecordFolder(fs::path folder, std::size_t maxRecords, std::uintmax_t maxBytes)
    : folder_(std::move(folder)), maxRecords_(maxRecords), maxBytes_(maxBytes),
      worker_([this] { work(); }) {}

RecordFolder::~RecordFolder() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

void RecordFolder::keep(const Record& record) {
    if (current_.empty()) {
        current_ = newName(record.date);
    }
    {
        std::lock_guard lock(mutex_);
        due_[current_] = record;
    }
    if (record.finished) {
        current_.clear();
    }
    wake_.notify_all();
}

void RecordFolder::flush() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return due_.empty() && !busy_; });
}

std::optional<Message> RecordFolder::takeFailure() {
    std::lock_guard lock(mutex_);
    return std::exchange(failure_, std::nullopt);
}

// Named by the date and this program's process, so that two programs never share a file; the
// file is made at once, exclusively, so that a name in use is never taken.
fs::path RecordFolder::newName(std::int64_t date) {
    const std::time_t time = static_cast<std::time_t>(date ? date : std::time(nullptr));
    std::tm utc{};
    gmtime_r(&time, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
    std::error_code error;
    fs::create_directories(folder_, error);
    for (;;) {
        const fs::path path = folder_ / (std::string(stamp) + '-' + std::to_string(::getpid()) +
                                         '-' + std::to_string(++named_) + kRecordExtension);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST) {
            return path; // the write will say why
        }
    }
}

void RecordFolder::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !due_.empty(); });
        if (due_.empty()) {
            return; // stopping, with everything written
        }
        auto node = due_.extract(due_.begin());
        busy_ = true;
        lock.unlock();
        write(node.key(), node.mapped());
        if (node.mapped().finished) {
            prune(node.key());
        }
        lock.lock();
        busy_ = false;
        if (due_.empty()) {
            idle_.notify_all();
        }
    }
}

void RecordFolder::write(const fs::path& path, const Record& record) {
    std::error_code error;
    fs::create_directories(folder_, error);
    // Rewritten after every turn: the rename keeps the file whole, the end of the game is
    // waited for on the disk.
    const auto why = replaceFile(path, formatRecord(record), record.finished);
    std::lock_guard lock(mutex_);
    if (!why) {
        told_ = false;
    } else if (!told_) {
        told_ = true;
        failure_ = Message{"記録を保存できませんでした。\n" + path.string() + "\n" + *why, "err",
                           MessageIcon::Warning};
    }
}

void RecordFolder::prune(const fs::path& keep) {
    struct Kept {
        fs::path path;
        fs::file_time_type time;
        std::uintmax_t bytes;
    };
    std::vector<Kept> kept;
    std::uintmax_t total = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder_, error)) {
        if (!isRecordFile(entry)) {
            continue;
        }
        std::error_code e;
        const auto time = entry.last_write_time(e);
        const auto bytes = entry.file_size(e);
        if (!e) {
            kept.push_back({entry.path(), time, bytes});
            total += bytes;
        }
    }
    std::sort(kept.begin(), kept.end(),
              [](const Kept& a, const Kept& b) { return a.time < b.time; });
    std::size_t count = kept.size();
    for (const Kept& old : kept) {
        if (count <= maxRecords_ && total <= maxBytes_) {
            break;
        }
        if (old.path == keep) {
            continue;
        }
        std::error_code e;
        if (fs::remove(old.path, e)) {
            --count;
            total -= old.bytes;
        }
    }
}

LoadedRecord loadRecord(const fs::path& path) {
    LoadedRecord loaded;
    std::string text;
    if (const auto why = readWholeFile(path, kMaxRecordBytes, text)) {
        loaded.error = path.string() + ": " + *why;
        return loaded;
    }
    ParsedRecord parsed = parseRecord(text);
    if (!parsed.record) {
        loaded.error = path.string() + ": line " + std::to_string(parsed.error.line) + ": " +
                       parsed.error.reason;
        return loaded;
    }
    loaded.record = std::move(parsed.record);
    loaded.eventLines = std::move(parsed.eventLines);
    return loaded;
}

std::optional<std::string> saveRecord(const Record& record, const fs::path& path) {
    return replaceFile(path, formatRecord(record));
}

std::vector<RecordSummary> recentRecords(const fs::path& folder, std::size_t count) {
    std::vector<std::pair<fs::file_time_type, fs::path>> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::error_code e;
        if (isRecordFile(entry)) {
            files.emplace_back(entry.last_write_time(e), entry.path());
        }
    }
    std::sort(files.begin(), files.end(), std::greater<>());
    std::vector<RecordSummary> recent;
    for (const auto& [time, path] : files) {
        if (recent.size() == count) {
            break;
        }
        const LoadedRecord loaded = loadRecord(path);
        if (loaded.record) {
            const Record& r = *loaded.record;
            recent.push_back({path, r.date, r.start.mode, r.turns(), r.largestChain()});
        }
    }
    return recent;
}

} // namespace peterin
