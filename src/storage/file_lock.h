#pragma once

#include <filesystem>
#include <optional>

namespace peterin {

// An advisory lock on a file, held by this open of it until the value goes (or the program
// dies: the system drops the lock with the process, so a crash never leaves one behind). Two
// holders in one process exclude each other as two programs do.
class FileLock {
  public:
    FileLock() = default;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    // The lock on `path` (created if missing), or nothing when another holds it or the file
    // cannot be made.
    static std::optional<FileLock> tryTake(const std::filesystem::path& path);
    // Waits for the lock on `path`; nothing when the file cannot be made.
    static std::optional<FileLock> take(const std::filesystem::path& path);
    // Whether someone holds the lock on `path` now. A missing file is held by no one.
    static bool isHeld(const std::filesystem::path& path);

  private:
    explicit FileLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

} // namespace peterin
